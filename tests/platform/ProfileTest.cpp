#include "platform/Profile.h"

#include "TestKit.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/FileCalls.h"
#include "platform/LastError.h"

namespace fs = std::filesystem;

namespace
{
std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Points the configuration directory at a fresh temporary directory for each test.
class ProfileTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        const char* lpcszOld = std::getenv("XDG_CONFIG_HOME");
        m_bHadConfig = lpcszOld != nullptr;
        m_oldConfig = lpcszOld ? lpcszOld : "";
        setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
    }
    void TearDown() override
    {
        if (m_bHadConfig)
            setenv("XDG_CONFIG_HOME", m_oldConfig.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }
    fs::path IniPath() const { return m_dir / "quillmark.ini"; }

    TestKit::TempDir m_tmp;
    const fs::path m_dir = m_tmp.Path();
    bool m_bHadConfig = false;
    std::string m_oldConfig;
};

TEST_F(ProfileTest, TwoSchoolsShareOneSectionAndALaterChangeReplacesTheValue)
{
    ASSERT_TRUE(WritePrivateProfileString("security", "10001", "123", "quillmark.ini"));
    ASSERT_TRUE(WritePrivateProfileString("security", "10003", "\xc3\xdc\xc2\xeb", "quillmark.ini"));
    EXPECT_EQ(ReadBytes(IniPath()), "[security]\r\n10001=123\r\n10003=\xc3\xdc\xc2\xeb\r\n");

    ASSERT_TRUE(WritePrivateProfileString("security", "10001", "987654321", "quillmark.ini"));
    EXPECT_EQ(ReadBytes(IniPath()), "[security]\r\n10001=987654321\r\n10003=\xc3\xdc\xc2\xeb\r\n");
    EXPECT_EQ(fs::status(IniPath()).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

struct EditCase
{
    const char* lpcszName;
    std::string before;
    std::string after; // after setting [security] 10001=new
};

void PrintTo(const EditCase& editCase, std::ostream* pOut)
{
    *pOut << editCase.lpcszName;
}

class ProfileEdit : public ProfileTest, public testing::WithParamInterface<EditCase>
{
};

TEST_P(ProfileEdit, ChangesOnlyTheEntryAndKeepsEveryOtherByte)
{
    WriteBytes(IniPath(), GetParam().before);
    ASSERT_TRUE(WritePrivateProfileString("security", "10001", "new", "quillmark.ini"));
    EXPECT_EQ(ReadBytes(IniPath()), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProfileEdit,
    testing::Values(EditCase{"KeyAddedAtTheEndOfItsSectionBeforeBlankLines",
                             "[security]\r\n10003=x\r\n\r\n[other]\r\n10001=keep\r\n",
                             "[security]\r\n10003=x\r\n10001=new\r\n\r\n[other]\r\n10001=keep\r\n"},
                    EditCase{"ValueReplacedWithBlanksAroundTheNames", "; note\n[ security ]\n 10001 = old\nnext=1\n",
                             "; note\n[ security ]\n10001=new\nnext=1\n"},
                    EditCase{"CommentedKeyIsNotAnEntry", "[security]\r\n;10001=old\r\n",
                             "[security]\r\n;10001=old\r\n10001=new\r\n"},
                    EditCase{"SectionAppendedAfterALastLineWithoutLineEnd", "[other]\r\na=1",
                             "[other]\r\na=1\r\n[security]\r\n10001=new\r\n"},
                    EditCase{"KeyAddedAfterALastLineWithoutLineEnd", "[security]\r\na=1",
                             "[security]\r\na=1\r\n10001=new\r\n"},
                    EditCase{"OnlyTheFirstSectionOfTheNameIsUsed", "[security]\r\na=1\r\n[security]\r\n10001=old\r\n",
                             "[security]\r\na=1\r\n10001=new\r\n[security]\r\n10001=old\r\n"},
                    EditCase{"SectionNamesAreCaseSensitive", "[Security]\r\n10001=old\r\n",
                             "[Security]\r\n10001=old\r\n[security]\r\n10001=new\r\n"}),
    [](const testing::TestParamInfo<EditCase>& info) { return info.param.lpcszName; });

TEST_F(ProfileTest, RefusesTextsThatWouldBreakTheLinesAndLeavesTheFile)
{
    WriteBytes(IniPath(), "[security]\r\n10001=old\r\n");
    EXPECT_FALSE(WritePrivateProfileString("security", "10001", "a\r\n[x]", "quillmark.ini"));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
    EXPECT_FALSE(WritePrivateProfileString("security", "a=b", "1", "quillmark.ini"));
    EXPECT_FALSE(WritePrivateProfileString("sec]urity", "10001", "1", "quillmark.ini"));
    EXPECT_FALSE(WritePrivateProfileString("security", "", "1", "quillmark.ini"));
    EXPECT_EQ(ReadBytes(IniPath()), "[security]\r\n10001=old\r\n");
}

TEST_F(ProfileTest, CreatesAMissingConfigurationDirectory)
{
    const fs::path nested = m_dir / "a" / "b";
    setenv("XDG_CONFIG_HOME", nested.c_str(), 1);
    ASSERT_TRUE(WritePrivateProfileString("security", "10001", "", "quillmark.ini"));
    EXPECT_EQ(ReadBytes(nested / "quillmark.ini"), "[security]\r\n10001=\r\n");
}

TEST_F(ProfileTest, FallsBackToDotConfigUnderHomeWithoutAnAbsoluteConfigHome)
{
    const char* lpcszHome = std::getenv("HOME");
    const std::string oldHome = lpcszHome ? lpcszHome : "";
    setenv("HOME", m_dir.c_str(), 1);
    setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    EXPECT_EQ(GetProfileDirectory(), (m_dir / ".config").string());
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(GetProfileDirectory(), (m_dir / ".config").string());
    setenv("HOME", oldHome.c_str(), 1);
}

TEST_F(ProfileTest, UnreadableProfileIsNeverReplacedByTheNewEntryAlone)
{
    // A loop of links cannot be read even by the superuser; mode 000 stops everyone else.
    fs::create_symlink("quillmark.ini", IniPath());
    EXPECT_FALSE(WritePrivateProfileString("security", "10001", "1", "quillmark.ini"));
    EXPECT_EQ(GetLastError(), ERROR_CANT_RESOLVE_FILENAME);
    EXPECT_TRUE(fs::is_symlink(IniPath()));
    fs::remove(IniPath());

    if (::geteuid() != 0)
    {
        WriteBytes(IniPath(), "[security]\r\n10002=other\r\n");
        ::chmod(IniPath().c_str(), 0);
        EXPECT_FALSE(WritePrivateProfileString("security", "10001", "1", "quillmark.ini"));
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
        ::chmod(IniPath().c_str(), 0600);
        EXPECT_EQ(ReadBytes(IniPath()), "[security]\r\n10002=other\r\n");
    }
}

TEST_F(ProfileTest, FailingReadOrFsyncFailsTheWriteAndKeepsTheFile)
{
    // A disk error (EIO) while reading the existing profile, or while flushing the new one.
    class FailingCall : public FileCalls
    {
      public:
        explicit FailingCall(bool bFailRead) : m_bFailRead(bFailRead) {}
        ssize_t Read(int fd, void* pBuffer, size_t nSize) override
        {
            return m_bFailRead ? Fail() : FileCalls::Read(fd, pBuffer, nSize);
        }
        int Fsync(int fd) override { return m_bFailRead ? FileCalls::Fsync(fd) : Fail(); }

      private:
        static int Fail()
        {
            errno = EIO;
            return -1;
        }
        bool m_bFailRead;
    };
    for (const bool bFailRead : {true, false})
    {
        WriteBytes(IniPath(), "[security]\r\n10002=other\r\n");
        FailingCall calls(bFailRead);
        ScopedFileCalls scope(calls);
        EXPECT_FALSE(WritePrivateProfileString("security", "10001", "1", "quillmark.ini")) << bFailRead;
        EXPECT_EQ(GetLastError(), ERROR_GEN_FAILURE) << bFailRead;
        EXPECT_EQ(ReadBytes(IniPath()), "[security]\r\n10002=other\r\n") << bFailRead;
        for (const auto& entry : fs::directory_iterator(m_dir))
            EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
    }
}

TEST_F(ProfileTest, WritersInSeveralProcessesAtOnceLoseNoEntry)
{
    constexpr int kWriters = 6;
    constexpr int kEntriesEach = 15;
    std::vector<pid_t> children;
    for (int nWriter = 0; nWriter < kWriters; ++nWriter)
    {
        const pid_t child = ::fork();
        if (child == 0)
        {
            bool bAll = true;
            for (int n = 0; n < kEntriesEach; ++n)
                bAll &=
                    WritePrivateProfileString("security", std::to_string(nWriter * 100 + n), "p", "quillmark.ini") != 0;
            ::_exit(bAll ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children)
    {
        int nStatus = 0;
        ASSERT_EQ(::waitpid(child, &nStatus, 0), child);
        EXPECT_TRUE(WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0);
    }
    const std::string content = ReadBytes(IniPath());
    for (int nWriter = 0; nWriter < kWriters; ++nWriter)
        for (int n = 0; n < kEntriesEach; ++n)
            EXPECT_NE(content.find("\r\n" + std::to_string(nWriter * 100 + n) + "=p\r\n"), std::string::npos)
                << nWriter * 100 + n;
}
} // namespace
