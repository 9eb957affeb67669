#include "core/DataFileNote.h"

#include <charconv>
#include <cstring>

namespace
{
constexpr std::string_view kFirstLine = "varnholt-note 1\n";
constexpr std::string_view kLastLine = "end\n";

bool TakeNumber(std::string_view& text, std::uint64_t& nValue, int nBase, char chAfter)
{
    const auto [pEnd, error] = std::from_chars(text.data(), text.data() + text.size(), nValue, nBase);
    if (error != std::errc() || pEnd == text.data() + text.size() || *pEnd != chAfter)
        return false;
    text.remove_prefix(static_cast<std::size_t>(pEnd - text.data()) + 1);
    return true;
}
} // namespace

FileMark MarkOf(std::string_view bytes)
{
    // FNV-1a over 8-byte words: cheap enough for every save, and any cut or change shows.
    constexpr std::uint64_t kPrime = 0x100000001b3ULL;
    std::uint64_t nHash = 0xcbf29ce484222325ULL;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8)
    {
        std::uint64_t nWord = 0;
        std::memcpy(&nWord, bytes.data() + i, 8);
        nHash = (nHash ^ nWord) * kPrime;
    }
    for (; i < bytes.size(); ++i)
        nHash = (nHash ^ static_cast<unsigned char>(bytes[i])) * kPrime;
    return {bytes.size(), nHash};
}

std::string MakeFileNote(const std::vector<FileMark>& marks)
{
    std::string strNote(kFirstLine);
    char szHex[17];
    for (const FileMark& mark : marks)
    {
        const auto [pEnd, error] = std::to_chars(szHex, szHex + sizeof szHex, mark.nChecksum, 16);
        strNote += std::to_string(mark.nSize) + ' ' + std::string(szHex, pEnd) + '\n';
    }
    return strNote += kLastLine;
}

std::optional<std::vector<FileMark>> ParseFileNote(std::string_view text)
{
    if (!text.starts_with(kFirstLine) || !text.ends_with(kLastLine))
        return std::nullopt;
    text = text.substr(kFirstLine.size(), text.size() - kFirstLine.size() - kLastLine.size());
    std::vector<FileMark> marks;
    while (!text.empty())
    {
        FileMark mark;
        if (!TakeNumber(text, mark.nSize, 10, ' ') || !TakeNumber(text, mark.nChecksum, 16, '\n'))
            return std::nullopt;
        marks.push_back(mark);
    }
    return marks;
}
