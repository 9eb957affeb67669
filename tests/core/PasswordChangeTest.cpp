#include "core/PasswordChange.h"

#include "TestKit.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>

#include "core/DataFunc.h"
#include "core/SchoolAccess.h"
#include "core/SchoolHold.h"
#include "platform/LastError.h"
#include "platform/ProgramDir.h"

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

// A program directory and a configuration directory of its own, and a two-school directory.
class PasswordChange : public testing::Test
{
  protected:
    void SetUp() override
    {
        fs::create_directories(m_root / "program");
        SetProgramDirectory((m_root / "program").string());
        setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
        ASSERT_TRUE(
            g_memSchools.Load(Gbk("学校代码\t学校名称\t省市代码\r\n10001\t北京大学\t11\r\n10003\t清华大学\t11\r\n")));
        ASSERT_TRUE(CreateStudentTable(m_students));
    }
    void TearDown() override
    {
        SetProgramDirectory({});
        unsetenv("XDG_CONFIG_HOME");
        g_memSchools.Clear();
    }

    // Saves a data file for the school holding one record with the student number.
    void SaveSchool(const std::string& strCode, const std::string& strPassword, const char* lpcszNumber)
    {
        CMemTable table;
        ASSERT_TRUE(CreateStudentTable(table));
        table.AddRows(1);
        table.SetCell(0, Field::XSBSH, lpcszNumber);
        ASSERT_TRUE(SaveSchoolDatabase(strCode, table, strPassword));
    }
    fs::path DataFile(const char* lpcszCode) const { return m_root / "program" / (std::string(lpcszCode) + ".db"); }
    fs::path Profile() const { return m_root / "config" / "quillmark.ini"; }

    TestKit::TempDir m_dir;
    const fs::path m_root = m_dir.Path();
    CMemTable m_students;
};

struct RefusalCase
{
    const char* lpcszName;
    PasswordChangeRequest request;
    SchoolAccess expected;
};

void PrintTo(const RefusalCase& refusal, std::ostream* pOut)
{
    *pOut << refusal.lpcszName;
}

class PasswordChangeRefusal : public PasswordChange, public testing::WithParamInterface<RefusalCase>
{
};

// 10001 has a file saved with "123"; each case fails at a later step than the one before.
TEST_P(PasswordChangeRefusal, StopsAtTheFirstFailingStepAndTouchesNeitherFileNorProfile)
{
    SaveSchool("10001", "123", "2001");
    const std::string before = ReadBytes(DataFile("10001"));
    EXPECT_EQ(ChangeSchoolPassword(GetParam().request, m_students), GetParam().expected);
    EXPECT_EQ(ReadBytes(DataFile("10001")), before);
    EXPECT_FALSE(fs::exists(Profile()));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, PasswordChangeRefusal,
    testing::Values(
        RefusalCase{"CodeEmpty", {"", "x", "1", "2"}, SchoolAccess::CodeEmpty},
        RefusalCase{"CodeWithABlankIsUnknown", {" 10001", "123", "4", "4"}, SchoolAccess::CodeUnknown},
        RefusalCase{"CodeNotInDirectory", {"99999", "123", "4", "4"}, SchoolAccess::CodeUnknown},
        RefusalCase{"WrongCurrentPassword", {"10001", "124", "4", "4"}, SchoolAccess::WrongPassword},
        RefusalCase{"EmptyCurrentPassword", {"10001", "", "4", "4"}, SchoolAccess::WrongPassword},
        RefusalCase{"ConfirmationDiffers", {"10001", "123", "456", "457"}, SchoolAccess::ConfirmationDiffers},
        RefusalCase{
            "ConfirmationDiffersInLetterCase", {"10001", "123", "abc", "ABC"}, SchoolAccess::ConfirmationDiffers}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return info.param.lpcszName; });

TEST_F(PasswordChange, EachRefusalHasItsMessage)
{
    EXPECT_EQ(SchoolAccessMessage(SchoolAccess::Done), "");
    EXPECT_EQ(SchoolAccessMessage(SchoolAccess::CodeEmpty), Gbk("请输入院校代码，不知院校代码可以查询。"));
    EXPECT_EQ(SchoolAccessMessage(SchoolAccess::CodeUnknown), Gbk("院校代码不正确，请检查。"));
    EXPECT_EQ(SchoolAccessMessage(SchoolAccess::WrongPassword), Gbk("密码不正确，请检查。"));
    EXPECT_EQ(SchoolAccessMessage(SchoolAccess::DatabaseUnreachable), Gbk("不能访问该院校的数据库，请检查。"));
    const std::string strDir = (m_root / "program").string();
    EXPECT_EQ(SchoolAccessMessage(SchoolAccess::DatabaseUnreachable, "10001", ERROR_BAD_FILE_TYPE),
              Gbk("不能访问该院校的数据库，请检查。数据文件“") + strDir +
                  Gbk("/10001.db”：不是普通文件（是管道、套接字或设备）。"));
    EXPECT_EQ(SchoolAccessMessage(SchoolAccess::LockUnreachable, "10001", ERROR_DIRECTORY),
              Gbk("不能访问该院校的数据库，请检查。锁文件“") + strDir + Gbk("/10001.lock”：这是一个文件夹。"));
    EXPECT_EQ(SchoolAccessMessage(SchoolAccess::ConfirmationDiffers), Gbk("新旧密码输入不一致，请检查。"));
    EXPECT_EQ(SchoolAccessMessage(SchoolAccess::SaveFailed), Gbk("修改密码失败。"));
    EXPECT_EQ(SchoolAccessMessage(SchoolAccess::Locked), Gbk("另一个程序正在修改该院校的数据，请等它结束后再试。"));
    EXPECT_EQ(SchoolAccessMessage(SchoolAccess::FileDamaged, "10001"),
              Gbk("该院校的数据文件已损坏，没有打开，文件保持原样。备份在“") + (m_root / "program").string() +
                  Gbk("/backup/10001/”中。"));
    EXPECT_EQ(SchoolAccessMessage(SchoolAccess::ProfileNotWritten),
              Gbk("数据文件已用新密码保存，但不能把新密码记入配置文件 quillmark.ini。"));
}

TEST_F(PasswordChange, SchoolHeldByAnotherWriterIsRefusedUntouched)
{
    SaveSchool("10001", "123", "2001");
    const std::string before = ReadBytes(DataFile("10001"));
    CFileLock other; // another program's lock
    ASSERT_EQ(other.TryLock(GetSchoolLockPath("10001")), ERROR_SUCCESS);
    EXPECT_EQ(ChangeSchoolPassword({"10001", "123", "4", "4"}, m_students), SchoolAccess::Locked);
    CSchoolHold hold;
    EXPECT_EQ(OpenSchoolToWrite("10001", "123", m_students, hold), SchoolAccess::Locked);
    EXPECT_EQ(ReadBytes(DataFile("10001")), before);
    EXPECT_FALSE(fs::exists(Profile()));
    EXPECT_EQ(OpenSchool("10001", "123", m_students), SchoolAccess::Done); // reading needs no lock
    other.Unlock();
    EXPECT_EQ(ChangeSchoolPassword({"10001", "123", "4", "4"}, m_students), SchoolAccess::Done);
    EXPECT_FALSE(TestKit::SchoolIsLocked("10001")); // let go again after the change
}

TEST_F(PasswordChange, OpenToWriteHoldsTheLockInItsHoldUntilTheHoldEnds)
{
    SaveSchool("10001", "123", "2001");
    {
        CSchoolHold hold;
        ASSERT_EQ(OpenSchoolToWrite("10001", "123", m_students, hold), SchoolAccess::Done);
        EXPECT_TRUE(TestKit::SchoolIsLocked("10001"));
        CSchoolHold moved = std::move(hold);
        hold.Release(); // the moved-from hold holds nothing
        EXPECT_TRUE(TestKit::SchoolIsLocked("10001"));
        // Another hold is a second writer, refused also within this program.
        CSchoolHold second;
        EXPECT_EQ(OpenSchoolToWrite("10001", "123", m_students, second), SchoolAccess::Locked);
        // An open again through the hold that has the school keeps it, whatever the load gives.
        ASSERT_EQ(OpenSchoolToWrite("10001", "123", m_students, moved), SchoolAccess::Done);
        EXPECT_EQ(OpenSchoolToWrite("10001", "4", m_students, moved), SchoolAccess::WrongPassword);
        EXPECT_TRUE(moved.Holds("10001"));
        EXPECT_TRUE(TestKit::SchoolIsLocked("10001"));
        EXPECT_FALSE(second.Holds("10001"));
    }
    EXPECT_FALSE(TestKit::SchoolIsLocked("10001"));
}

TEST_F(PasswordChange, DamagedFileIsReportedAsDamaged)
{
    SaveSchool("10001", "", "2001");
    std::ofstream(DataFile("10001"), std::ios::binary | std::ios::app) << "2002\t";
    EXPECT_EQ(OpenSchool("10001", "", m_students), SchoolAccess::FileDamaged);
    CSchoolHold hold;
    EXPECT_EQ(OpenSchoolToWrite("10001", "", m_students, hold), SchoolAccess::FileDamaged);
    EXPECT_FALSE(TestKit::SchoolIsLocked("10001"));
}

TEST_F(PasswordChange, UnwritableProfileIsReportedAfterTheSave)
{
    fs::create_directories(Profile().parent_path());
    fs::create_symlink("quillmark.ini", Profile()); // a loop: unreadable even for the superuser
    EXPECT_EQ(ChangeSchoolPassword({"10001", "", "4", "4"}, m_students), SchoolAccess::ProfileNotWritten);
    EXPECT_EQ(OpenSchool("10001", "4", m_students), SchoolAccess::Done);
    EXPECT_TRUE(fs::is_symlink(Profile()));
}

TEST_F(PasswordChange, MismatchedConfirmationStillLeavesTheRecordsLoaded)
{
    SaveSchool("10001", "123", "2001");
    ASSERT_EQ(ChangeSchoolPassword({"10001", "123", "456", "457"}, m_students), SchoolAccess::ConfirmationDiffers);
    ASSERT_EQ(m_students.GetRowCount(), 1);
    EXPECT_STREQ(m_students.GetCell(0, Field::XSBSH), "2001");
}

TEST_F(PasswordChange, UnreadableDataFileIsReportedAsInaccessible)
{
    fs::create_directories(DataFile("10001")); // a directory where the file should be
    EXPECT_EQ(ChangeSchoolPassword({"10001", "", "1", "1"}, m_students), SchoolAccess::DatabaseUnreachable);
    EXPECT_FALSE(fs::exists(Profile()));
}

TEST_F(PasswordChange, FailedSaveIsReportedAndWritesNoProfile)
{
    SaveSchool("10001", "123", "2001");
    fs::permissions(DataFile("10001"), fs::perms::owner_read); // loads, but is not replaced
    const std::string before = ReadBytes(DataFile("10001"));
    EXPECT_EQ(ChangeSchoolPassword({"10001", "123", "1", "1"}, m_students), SchoolAccess::SaveFailed);
    EXPECT_EQ(ReadBytes(DataFile("10001")), before);
    EXPECT_FALSE(fs::exists(Profile()));

    SetProgramDirectory((m_root / "missing").string()); // not even the lock file can be made
    EXPECT_EQ(ChangeSchoolPassword({"10001", "", "1", "1"}, m_students), SchoolAccess::LockUnreachable);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(fs::exists(Profile()));
}

TEST_F(PasswordChange, RewritesTheRecordsWithTheNewPassword)
{
    SaveSchool("10001", "123", "2001");
    ASSERT_EQ(ChangeSchoolPassword({"10001", "123", "456", "456"}, m_students), SchoolAccess::Done);

    CMemTable reloaded;
    EXPECT_EQ(OpenSchool("10001", "123", reloaded), SchoolAccess::WrongPassword);
    ASSERT_EQ(OpenSchool("10001", "456", reloaded), SchoolAccess::Done);
    ASSERT_EQ(reloaded.GetRowCount(), 1);
    EXPECT_STREQ(reloaded.GetCell(0, Field::XSBSH), "2001");
}

TEST_F(PasswordChange, NewSchoolGetsAnEmptyFileWithTheNewPassword)
{
    ASSERT_EQ(ChangeSchoolPassword({"10003", "anything", "789", "789"}, m_students), SchoolAccess::Done);
    ASSERT_TRUE(fs::exists(DataFile("10003")));
    CMemTable reloaded;
    EXPECT_EQ(OpenSchool("10003", "", reloaded), SchoolAccess::WrongPassword);
    ASSERT_EQ(OpenSchool("10003", "789", reloaded), SchoolAccess::Done);
    EXPECT_EQ(reloaded.GetRowCount(), 0);
}

TEST_F(PasswordChange, LongPasswordScramblesWithItsFirstEightBytesAndIsRecordedWhole)
{
    ASSERT_EQ(ChangeSchoolPassword({"10001", "", "123456789", "123456789"}, m_students), SchoolAccess::Done);
    CMemTable reloaded;
    EXPECT_EQ(OpenSchool("10001", "12345678", reloaded), SchoolAccess::Done);
    EXPECT_EQ(ReadBytes(Profile()), "[security]\r\n10001=123456789\r\n");
}

TEST_F(PasswordChange, ProfileRecordsTheLatestPasswordOfEachSchool)
{
    const std::string gbkPassword = Gbk("密码");
    ASSERT_EQ(ChangeSchoolPassword({"10001", "", "111", "111"}, m_students), SchoolAccess::Done);
    ASSERT_EQ(ChangeSchoolPassword({"10003", "", gbkPassword, gbkPassword}, m_students), SchoolAccess::Done);
    EXPECT_EQ(ReadBytes(Profile()), "[security]\r\n10001=111\r\n10003=" + gbkPassword + "\r\n");
    ASSERT_EQ(ChangeSchoolPassword({"10001", "111", "", ""}, m_students), SchoolAccess::Done);
    EXPECT_EQ(ReadBytes(Profile()), "[security]\r\n10001=\r\n10003=" + gbkPassword + "\r\n");
}
} // namespace
