#include "TestKit.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <vector>

#include "platform/Encoding.h"
#include "platform/ProgramDir.h"

std::string Gbk(std::string_view utf8)
{
    std::optional<std::string> gbk = Encoding::Utf8ToGbk(utf8);
    if (!gbk)
        throw std::runtime_error("not representable in GBK: " + std::string(utf8));
    return std::move(*gbk);
}

std::string Utf8(std::string_view gbk)
{
    std::optional<std::string> utf8 = Encoding::GbkToUtf8(gbk);
    if (!utf8)
        throw std::runtime_error("not GBK text");
    return std::move(*utf8);
}

namespace TestKit
{
std::string CommandOutput(const std::string& strCommand)
{
    std::string strOut;
    FILE* pipe = popen(strCommand.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        strOut.append(buffer, n);
    if (pipe)
        pclose(pipe);
    return strOut;
}

std::string PdfText(const std::string& strPath, bool bLayout)
{
    return CommandOutput("/usr/bin/python3 " + std::string(std::getenv("VARNHOLT_SOURCE_DIR")) +
                         "/tests/support/pdf_text.py '" + strPath + "'" + (bLayout ? " -layout" : ""));
}

int PdfPageCount(const std::string& strPath)
{
    const std::string strInfo = CommandOutput("pdfinfo '" + strPath + "'");
    const std::size_t nAt = strInfo.find("Pages:");
    return nAt == std::string::npos ? -1 : std::atoi(strInfo.c_str() + nAt + 6);
}

int Occurrences(const std::string& strText, const std::string& strNeedle)
{
    int nCount = 0;
    for (std::size_t nAt = strText.find(strNeedle); nAt != std::string::npos; nAt = strText.find(strNeedle, nAt + 1))
        ++nCount;
    return nCount;
}

std::vector<std::string> SampleStudent(const std::string& strNumber, const std::string& strName)
{
    return {strNumber,
            "10001",
            "08060501",
            strName,
            "1",
            "1984-07-07",
            "31",
            "01",
            "2006-06-30",
            "11",
            "4",
            "zs@example.com",
            "01",
            "110000",
            "1",
            "A",
            "1000-2000 ",
            "10A",
            "010-62751234",
            "13800138000",
            "北京市海淀区颐和园路5号",
            "100871",
            "",
            "00"};
}

TempDir::TempDir()
{
    std::string strTemplate = (std::filesystem::temp_directory_path() / "varnholt-test-XXXXXX").string();
    if (::mkdtemp(strTemplate.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary directory");
    m_strPath = strTemplate;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::permissions(m_strPath, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(m_strPath, ec);
}

bool MakeDeviceNode(const std::string& strPath)
{
    return ::mknod(strPath.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
}

std::string TempDir::Listing() const
{
    return ListingOf(m_strPath);
}

std::string TempDir::ListingOf(const std::string& strDir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(strDir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string strListing;
    for (const auto& name : names)
        strListing += (strListing.empty() ? "" : " ") + name;
    return strListing;
}

namespace
{
std::vector<const TempProgramDir*> g_aliveProgramDirs; // oldest first
std::optional<std::string> g_realConfig;               // $XDG_CONFIG_HOME before the first one; none: unset
} // namespace

TempProgramDir::TempProgramDir()
{
    if (g_aliveProgramDirs.empty())
    {
        const char* lpszConfig = std::getenv("XDG_CONFIG_HOME");
        g_realConfig = lpszConfig ? std::optional<std::string>(lpszConfig) : std::nullopt;
    }
    g_aliveProgramDirs.push_back(this);
    UseNewest();
}

TempProgramDir::~TempProgramDir()
{
    std::erase(g_aliveProgramDirs, this);
    UseNewest();
}

void TempProgramDir::UseNewest()
{
    if (!g_aliveProgramDirs.empty())
    {
        SetProgramDirectory(g_aliveProgramDirs.back()->Path());
        ::setenv("XDG_CONFIG_HOME", g_aliveProgramDirs.back()->ConfigPath().c_str(), 1);
    }
    else
    {
        SetProgramDirectory({});
        if (g_realConfig)
            ::setenv("XDG_CONFIG_HOME", g_realConfig->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }
}
} // namespace TestKit
