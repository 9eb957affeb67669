#include "core/CsvValue.h"

#include <algorithm>

namespace
{
// Comparisons rather than find_first_of: it searches its set once per byte, too slow for big files.
bool NeedsQuotes(std::string_view value)
{
    return std::any_of(value.begin(), value.end(),
                       [](char ch) { return ch == ',' || ch == '"' || ch == '\r' || ch == '\n'; });
}
} // namespace

void AppendCsvValue(std::string_view value, std::string& strOut)
{
    if (!NeedsQuotes(value))
    {
        strOut += value;
        return;
    }
    strOut += '"';
    for (char ch : value)
    {
        if (ch == '"')
            strOut += '"';
        strOut += ch;
    }
    strOut += '"';
}
