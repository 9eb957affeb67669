// Build-time check of how the core writes text: the core keeps its text in GBK, and its .cpp files
// are compiled with the GBK execution character set, so Chinese is written readably in them and
// the compiler turns it into GBK. This tool fails the build when a core file escapes that rule:
//
//   - a non-ASCII character in a literal of a header: headers are compiled by the desktop program
//     and the CLI too, where such a literal stays UTF-8;
//   - a non-ASCII character in a literal with an encoding prefix (u8, u, U, L): never GBK;
//   - a byte escape from \x80 (or \200) on: text written as hand-made GBK bytes.
//
//   CheckCoreText STAMP FILE...   checks every FILE and touches STAMP when all pass
//
// Comments may hold any text. Each finding is printed as "file:line: reason".
#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace
{
struct Finding
{
    int nLine;
    std::string reason;
};

bool IsIdentifierChar(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_';
}

// The value of a hexadecimal digit, or -1.
int HexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

// Walks one source text and collects what breaks the rule.
class Scanner
{
  public:
    Scanner(std::string_view text, bool bHeader) : m_text(text), m_bHeader(bHeader) {}

    std::vector<Finding> Run()
    {
        while (m_nPos < m_text.size())
            Step();
        return std::move(m_findings);
    }

  private:
    char At(std::size_t nPos) const { return nPos < m_text.size() ? m_text[nPos] : '\0'; }

    void Advance(std::size_t nCount)
    {
        for (; nCount > 0 && m_nPos < m_text.size(); --nCount)
            if (m_text[m_nPos++] == '\n')
                ++m_nLine;
    }

    void Step()
    {
        const char ch = m_text[m_nPos];
        if (ch == '/' && At(m_nPos + 1) == '/')
            return SkipPast("\n");
        if (ch == '/' && At(m_nPos + 1) == '*')
            return SkipPast("*/");
        if (ch == '"' || (ch == '\'' && !InsideNumber()))
            return Literal(ch);
        if (IsIdentifierChar(ch) && (m_nPos == 0 || !IsIdentifierChar(m_text[m_nPos - 1])))
            m_nTokenStart = m_nPos;
        Advance(1);
    }

    void SkipPast(std::string_view end)
    {
        const std::size_t nEnd = m_text.find(end, m_nPos + 2);
        Advance(nEnd == std::string_view::npos ? m_text.size() : nEnd + end.size() - m_nPos);
    }

    // A quote inside a number is a digit separator (1'000).
    bool InsideNumber() const
    {
        return m_nPos > 0 && IsIdentifierChar(m_text[m_nPos - 1]) && m_text[m_nTokenStart] >= '0' &&
               m_text[m_nTokenStart] <= '9';
    }

    // The identifier characters just before the quote: the literal's prefix (u8, L, R, u8R...).
    std::string_view Prefix() const
    {
        if (m_nPos == 0 || !IsIdentifierChar(m_text[m_nPos - 1]))
            return {};
        return m_text.substr(m_nTokenStart, m_nPos - m_nTokenStart);
    }

    void Literal(char quote)
    {
        const std::string_view prefix = Prefix();
        const bool bRaw = !prefix.empty() && prefix.back() == 'R';
        const bool bEncoded = !prefix.empty() && prefix != "R";
        Advance(1);
        if (bRaw)
            return RawLiteral(bEncoded);
        while (m_nPos < m_text.size() && m_text[m_nPos] != quote && m_text[m_nPos] != '\n')
        {
            if (m_text[m_nPos] == '\\')
            {
                Escape();
                continue;
            }
            Character(bEncoded);
            Advance(1);
        }
        Advance(1);
    }

    void RawLiteral(bool bEncoded)
    {
        const std::size_t nOpen = m_text.find('(', m_nPos);
        if (nOpen == std::string_view::npos)
            return Advance(m_text.size());
        const std::string end = ")" + std::string(m_text.substr(m_nPos, nOpen - m_nPos)) + "\"";
        Advance(nOpen + 1 - m_nPos);
        const std::size_t nEnd = m_text.find(end, m_nPos);
        const std::size_t nStop = nEnd == std::string_view::npos ? m_text.size() : nEnd;
        while (m_nPos < nStop)
        {
            Character(bEncoded);
            Advance(1);
        }
        Advance(end.size());
    }

    void Character(bool bEncoded)
    {
        if (static_cast<unsigned char>(m_text[m_nPos]) < 0x80 || m_nReportedLine == m_nLine)
            return;
        if (m_bHeader)
            Report("non-ASCII text in a literal of a header; define it in a .cpp file of the core");
        else if (bEncoded)
            Report("non-ASCII text in a literal with an encoding prefix; write a plain literal");
    }

    // One escape sequence: flags bytes from 0x80 on, written by hand.
    void Escape()
    {
        const char kind = At(m_nPos + 1);
        std::size_t nLength = 2;
        unsigned nValue = 0;
        if (kind == 'x')
        {
            for (int nDigit = HexValue(At(m_nPos + nLength)); nDigit >= 0; nDigit = HexValue(At(m_nPos + ++nLength)))
                nValue = std::min(nValue * 16 + static_cast<unsigned>(nDigit), 0x100u); // no wrap-around
        }
        else if (kind >= '0' && kind <= '7')
        {
            nLength = 1;
            while (nLength < 4 && At(m_nPos + nLength) >= '0' && At(m_nPos + nLength) <= '7')
                nValue = nValue * 8 + static_cast<unsigned>(At(m_nPos + nLength++) - '0');
        }
        if (nValue >= 0x80 && m_nReportedLine != m_nLine)
            Report("a byte escape from \\x80 on; write the text itself, the compiler makes it GBK");
        Advance(nLength);
    }

    void Report(std::string reason)
    {
        m_findings.push_back({m_nLine, std::move(reason)});
        m_nReportedLine = m_nLine;
    }

    std::string_view m_text;
    bool m_bHeader;
    std::size_t m_nPos = 0;
    std::size_t m_nTokenStart = 0;
    int m_nLine = 1;
    int m_nReportedLine = 0;
    std::vector<Finding> m_findings;
};

bool EndsWith(const std::string& text, std::string_view end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::cerr << "usage: CheckCoreText STAMP FILE...\n";
        return 2;
    }
    int nFindings = 0;
    for (int i = 2; i < argc; ++i)
    {
        const std::string path = argv[i];
        std::ifstream in(path, std::ios::binary);
        if (!in)
        {
            std::cerr << path << ": cannot read\n";
            return 2;
        }
        std::ostringstream bytes;
        bytes << in.rdbuf();
        const std::string text = bytes.str();
        for (const Finding& finding : Scanner(text, EndsWith(path, ".h")).Run())
        {
            std::cerr << path << ':' << finding.nLine << ": " << finding.reason << '\n';
            ++nFindings;
        }
    }
    if (nFindings > 0)
        return 1;
    std::ofstream(argv[1]) << "checked\n";
    return 0;
}
