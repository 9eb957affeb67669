#include "platform/Encoding.h"

#include <cerrno>
#include <iconv.h>

namespace
{
std::optional<std::string> Convert(const char* to, const char* from, std::string_view input)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(input.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    std::size_t outPos = 0;
    bool ok = true;
    while (inLeft > 0)
    {
        char* outPtr = out.data() + outPos;
        std::size_t outLeft = out.size() - outPos;
        const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        outPos = out.size() - outLeft;
        if (rc != static_cast<std::size_t>(-1))
            break;
        if (errno != E2BIG)
        {
            ok = false; // EILSEQ or EINVAL: unconvertible or incomplete input
            break;
        }
        out.resize(out.size() * 2);
    }
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    out.resize(outPos);
    return out;
}
} // namespace

namespace Encoding
{
std::optional<std::string> Utf8ToGbk(std::string_view utf8)
{
    return Convert("CP936", "UTF-8", utf8);
}

std::optional<std::string> GbkToUtf8(std::string_view gbk)
{
    return Convert("UTF-8", "CP936", gbk);
}

bool IsValidGbk(std::string_view bytes)
{
    iconv_t cd = iconv_open("UTF-8", "CP936");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    char buffer[16384];
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    bool ok = true;
    while (inLeft > 0)
    {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) && errno != E2BIG)
        {
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    return ok;
}

bool IsValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size())
    {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t len = 0;
        unsigned minimum = 0;
        if (lead < 0x80)
            len = 1;
        else if ((lead & 0xE0) == 0xC0)
            len = 2, minimum = 0x80;
        else if ((lead & 0xF0) == 0xE0)
            len = 3, minimum = 0x800;
        else if ((lead & 0xF8) == 0xF0)
            len = 4, minimum = 0x10000;
        else
            return false;
        if (i + len > bytes.size())
            return false;
        unsigned code = len == 1 ? lead : (lead & (0x7F >> len));
        for (std::size_t k = 1; k < len; ++k)
        {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}
} // namespace Encoding
