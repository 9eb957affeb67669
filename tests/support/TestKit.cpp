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

#include "core/SchoolPaths.h"
#include "core/StudentSchema.h"
#include "platform/Encoding.h"
#include "platform/FileLock.h"
#include "platform/LastError.h"
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

StudentRecord::StudentRecord(int n)
    : m_values{std::to_string(2006000 + n),
               "10001",
               "07010100",
               n % 2 ? "张三" : "欧阳明月",
               "1",
               "1984-07-07",
               "01",
               "en",
               "2006-06-30",
               "110000",
               "4",
               "s" + std::to_string(n) + "@pku.edu.cn",
               "04",
               "460100",
               "CA",
               "G61",
               "1000-2000 ",
               "04E",
               "010-62751234",
               "",
               "北京市海淀区颐和园路5号",
               "100871",
               n % 3 ? "" : "备注：英语六级",
               "00"}
{
}

StudentRecord StudentRecord::With(int nField, std::string strUtf8) const
{
    StudentRecord record = *this;
    record.m_values.at(static_cast<std::size_t>(nField)) = std::move(strUtf8);
    return record;
}

std::vector<std::string> StudentRecord::Gbk() const
{
    std::vector<std::string> values;
    for (const std::string& value : m_values)
        values.push_back(::Gbk(value));
    return values;
}

std::vector<std::string> SampleStudent(const std::string& strNumber, const std::string& strName)
{
    return StudentRecord()
        .With(Field::XSBSH, strNumber)
        .With(Field::ZYDM, "08060501")
        .With(Field::XM, strName)
        .With(Field::XLDM, "31")
        .With(Field::ZXWYYZDM, "01")
        .With(Field::SYSZDQDM, "11")
        .With(Field::DZXX, "zs@example.com")
        .With(Field::ZZMMDM, "01")
        .With(Field::YXGZDQDM, "110000")
        .With(Field::YXDWXZDM, "1")
        .With(Field::YXDWHYDM, "A")
        .With(Field::YXZYLBM, "10A")
        .With(Field::SJHM, "13800138000")
        .Utf8();
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

bool SchoolIsLocked(const std::string& strCode)
{
    CFileLock probe;
    return probe.TryLock(GetSchoolLockPath(strCode)) == ERROR_LOCK_VIOLATION;
}
} // namespace TestKit
