#include "cli/CliOutput.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "core/Gbk.h"
#include "platform/Encoding.h"
#include "platform/ErrorText.h"

namespace
{
void AppendEscaped(std::string_view bytes, std::string& strOut)
{
    for (char ch : bytes)
    {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "\\x%02X", static_cast<unsigned char>(ch));
        strOut += buffer;
    }
}

// Character by character, for the rare line that does not convert whole.
void AppendLineByCharacters(std::string_view line, std::string& strOut)
{
    for (std::size_t nPos = 0; nPos < line.size();)
    {
        const std::string_view ch = line.substr(nPos, Gbk::CharLength(line, nPos));
        if (const std::optional<std::string> utf8 = Encoding::GbkToUtf8(ch))
            strOut += *utf8;
        else
            AppendEscaped(ch, strOut);
        nPos += ch.size();
    }
}
} // namespace

std::string TerminalText(std::string_view gbk)
{
    static Encoding::CGbkToUtf8 s_converter; // remembers the characters of all the program prints
    std::string strOut;
    if (s_converter.Append(gbk, strOut))
        return strOut;
    strOut.clear();
    for (std::size_t nStart = 0; nStart < gbk.size();)
    {
        const std::size_t nEnd = std::min(gbk.find('\n', nStart), gbk.size() - 1) + 1;
        const std::string_view line = gbk.substr(nStart, nEnd - nStart);
        if (const std::optional<std::string> utf8 = Encoding::GbkToUtf8(line))
            strOut += *utf8;
        else
            AppendLineByCharacters(line, strOut);
        nStart = nEnd;
    }
    return strOut;
}

std::optional<std::string> ArgumentAsGbk(std::string_view utf8)
{
    return Encoding::Utf8ToGbk(utf8);
}

void PrintError(std::string_view message)
{
    std::cerr << "varnholt-cli: " << message << '\n';
}

int UsageError(std::string_view message)
{
    PrintError(message);
    return CLI_USAGE;
}

int DataError(std::string_view message, DWORD dwCode)
{
    PrintError(std::string(message) + "（错误代码 " + std::to_string(dwCode) + "）");
    return CLI_DATA_ERROR;
}

int FileError(std::string_view message, DWORD dwCode)
{
    return DataError(std::string(message) + "：" + TerminalText(GetErrorReasonText(dwCode)), dwCode);
}
