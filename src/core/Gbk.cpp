#include "core/Gbk.h"

namespace Gbk
{
std::size_t CharLength(std::string_view text, std::size_t nPos)
{
    return IsLeadByte(text[nPos]) && nPos + 1 < text.size() ? 2 : 1;
}

std::size_t Find(std::string_view text, std::string_view needle, std::size_t nStart)
{
    if (needle.empty())
        return nStart <= text.size() ? nStart : std::string_view::npos;
    for (std::size_t pos = nStart; pos + needle.size() <= text.size(); pos += CharLength(text, pos))
    {
        if (text.compare(pos, needle.size(), needle) == 0)
            return pos;
    }
    return std::string_view::npos;
}

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

std::string_view Trim(std::string_view text)
{
    std::size_t first = 0;
    while (first < text.size() && IsBlank(text[first]))
        ++first;
    std::size_t last = text.size();
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

static char FoldAscii(char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    // Letters are folded only where they are characters, never as second bytes.
    for (std::size_t i = 0; i < a.size();)
    {
        const std::size_t len = CharLength(a, i);
        if (len == 2)
        {
            if (a.compare(i, 2, b.substr(i, 2)) != 0)
                return false;
        }
        else if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
        i += len;
    }
    return true;
}
} // namespace Gbk
