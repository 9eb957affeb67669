#include "platform/Encoding.h"

#include <cerrno>
#include <iconv.h>

namespace Encoding
{
CConverter::CConverter(const char* lpcszTo, const char* lpcszFrom) : m_cd(iconv_open(lpcszTo, lpcszFrom)) {}

CConverter::~CConverter()
{
    if (m_cd != reinterpret_cast<void*>(-1))
        iconv_close(static_cast<iconv_t>(m_cd));
}

bool CConverter::Convert(std::string_view input, std::string& strOut)
{
    const auto cd = static_cast<iconv_t>(m_cd);
    if (m_cd == reinterpret_cast<void*>(-1))
        return false;
    iconv(cd, nullptr, nullptr, nullptr, nullptr); // a fresh start after an earlier failure
    strOut.resize(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    std::size_t outPos = 0;
    while (inLeft > 0)
    {
        char* outPtr = strOut.data() + outPos;
        std::size_t outLeft = strOut.size() - outPos;
        const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        outPos = strOut.size() - outLeft;
        if (rc != static_cast<std::size_t>(-1))
            break;
        if (errno != E2BIG)
            return false; // EILSEQ or EINVAL: unconvertible or incomplete input
        strOut.resize(strOut.size() * 2);
    }
    strOut.resize(outPos);
    return true;
}

namespace
{
constexpr std::uint32_t kInvalid = 0xFFFFFFFF;
} // namespace

CGbkToUtf8::CGbkToUtf8() : m_converter("UTF-8", "CP936"), m_known(0x10000, 0) {}

bool CGbkToUtf8::Append(std::string_view gbk, std::string& strOut)
{
    strOut.reserve(strOut.size() + gbk.size() + gbk.size() / 2);
    for (std::size_t nPos = 0; nPos < gbk.size();)
    {
        const auto lead = static_cast<unsigned char>(gbk[nPos]);
        if (lead < 0x80)
        {
            const std::size_t nStart = nPos;
            while (nPos < gbk.size() && static_cast<unsigned char>(gbk[nPos]) < 0x80)
                ++nPos;
            strOut.append(gbk, nStart, nPos - nStart);
            continue;
        }
        // 0x81 to 0xFE always begin a two-byte character; 0x80 and 0xFF stand alone.
        const std::size_t nLength = lead >= 0x81 && lead <= 0xFE ? 2 : 1;
        if (nPos + nLength > gbk.size())
            return false; // cut short
        const std::uint32_t nKey = nLength == 2 ? lead << 8 | static_cast<unsigned char>(gbk[nPos + 1]) : lead;
        std::uint32_t& known = m_known[nKey];
        if (known == 0)
        {
            if (!m_converter.Convert(gbk.substr(nPos, nLength), m_strChar) || m_strChar.empty() || m_strChar.size() > 3)
                known = kInvalid;
            else
            {
                known = static_cast<std::uint32_t>(m_strChar.size()) << 24;
                for (std::size_t i = 0; i < m_strChar.size(); ++i)
                    known |= static_cast<std::uint32_t>(static_cast<unsigned char>(m_strChar[i])) << (8 * i);
            }
        }
        if (known == kInvalid)
            return false;
        for (std::uint32_t i = 0; i < known >> 24; ++i)
            strOut.push_back(static_cast<char>(known >> (8 * i)));
        nPos += nLength;
    }
    return true;
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8)
{
    std::string out;
    return CConverter("CP936", "UTF-8").Convert(utf8, out) ? std::optional<std::string>(std::move(out)) : std::nullopt;
}

std::optional<std::string> GbkToUtf8(std::string_view gbk)
{
    std::string out;
    return CConverter("UTF-8", "CP936").Convert(gbk, out) ? std::optional<std::string>(std::move(out)) : std::nullopt;
}

namespace
{
// Which bytes from 0x80 up, alone or followed by each byte, iconv reads as one GBK character: asked
// once, so that a long text is checked by lookups instead of by converting all of it.
class CGbkCharacters
{
  public:
    CGbkCharacters()
    {
        iconv_t cd = iconv_open("UTF-8", "CP936");
        for (unsigned nLead = 0x80; nLead <= 0xFF; ++nLead)
        {
            const char single[1] = {static_cast<char>(nLead)};
            m_bSingle[nLead - 0x80] = cd != reinterpret_cast<iconv_t>(-1) && Converts(cd, {single, 1});
            for (unsigned nTrail = 0; nTrail <= 0xFF && !m_bSingle[nLead - 0x80]; ++nTrail)
            {
                const char pair[2] = {static_cast<char>(nLead), static_cast<char>(nTrail)};
                m_bPair[nLead - 0x80][nTrail] = cd != reinterpret_cast<iconv_t>(-1) && Converts(cd, {pair, 2});
            }
        }
        if (cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd);
    }

    bool IsValid(std::string_view bytes) const
    {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        const std::size_t n = bytes.size();
        for (std::size_t i = 0; i < n;)
        {
            if (p[i] < 0x80 || m_bSingle[p[i] - 0x80])
                ++i;
            else if (i + 1 < n && m_bPair[p[i] - 0x80][p[i + 1]])
                i += 2;
            else
                return false;
        }
        return true;
    }

  private:
    static bool Converts(iconv_t cd, std::string_view bytes)
    {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[16];
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        return iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
    }

    bool m_bSingle[0x80] = {};
    bool m_bPair[0x80][0x100] = {};
};

// Below this size one conversion costs less than asking for the table.
constexpr std::size_t kTableCheckSize = 1 << 20;
} // namespace

bool IsValidGbk(std::string_view bytes)
{
    if (bytes.size() >= kTableCheckSize)
    {
        static const CGbkCharacters characters;
        return characters.IsValid(bytes);
    }
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
