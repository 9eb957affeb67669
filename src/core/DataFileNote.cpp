#include "core/DataFileNote.h"

#include <algorithm>
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

namespace
{
// FNV-1a over 8-byte words: cheap enough for every save, and any cut or change shows.
constexpr std::uint64_t kPrime = 0x100000001b3ULL;

std::uint64_t HashWord(std::uint64_t nHash, const char* p)
{
    std::uint64_t nWord = 0;
    std::memcpy(&nWord, p, 8);
    return (nHash ^ nWord) * kPrime;
}
} // namespace

FileMark MarkOf(std::string_view bytes)
{
    CFileMarker marker;
    marker.Add(bytes);
    return marker.Mark();
}

void CFileMarker::Add(std::string_view bytes)
{
    m_nSize += bytes.size();
    if (!m_strPending.empty())
    {
        const std::size_t nTake = std::min(bytes.size(), 8 - m_strPending.size());
        m_strPending.append(bytes.substr(0, nTake));
        bytes.remove_prefix(nTake);
        if (m_strPending.size() < 8)
            return;
        m_nHash = HashWord(m_nHash, m_strPending.data());
        m_strPending.clear();
    }
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8)
        m_nHash = HashWord(m_nHash, bytes.data() + i);
    m_strPending.assign(bytes.substr(i));
}

FileMark CFileMarker::Mark() const
{
    // The bytes after the last whole word count one at a time.
    std::uint64_t nHash = m_nHash;
    for (const char ch : m_strPending)
        nHash = (nHash ^ static_cast<unsigned char>(ch)) * kPrime;
    return {m_nSize, nHash};
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
