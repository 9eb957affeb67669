#include "exchange/FileText.h"

#include <algorithm>
#include <optional>

#include "platform/Encoding.h"

namespace
{
// The length of the UTF-8 sequence the lead byte opens (1 for a byte that opens none).
std::size_t SequenceLength(unsigned char chLead)
{
    if (chLead >= 0xF0 && chLead < 0xF8)
        return 4;
    if (chLead >= 0xE0)
        return chLead < 0xF0 ? 3 : 1;
    if (chLead >= 0xC0)
        return 2;
    return 1;
}
} // namespace

std::string GbkOfFileText(std::string_view utf8)
{
    if (std::optional<std::string> gbk = Encoding::Utf8ToGbk(utf8))
        return std::move(*gbk);
    std::string strOut;
    for (std::size_t nAt = 0; nAt < utf8.size();)
    {
        const std::size_t nLength = std::min(SequenceLength(static_cast<unsigned char>(utf8[nAt])), utf8.size() - nAt);
        const std::string_view piece = utf8.substr(nAt, nLength);
        const std::optional<std::string> gbk = Encoding::Utf8ToGbk(piece);
        strOut += gbk ? *gbk : std::string("?");
        nAt += gbk || Encoding::IsValidUtf8(piece) ? nLength : 1; // a stray byte is one "?" of its own
    }
    return strOut;
}
