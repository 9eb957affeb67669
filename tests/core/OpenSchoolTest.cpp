// The open school: its writer lock lives as long as the school that took it, and whether a change
// is unsaved follows its saves.
#include "core/OpenSchool.h"

#include "TestKit.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <utility>

#include "core/DataFunc.h"
#include "core/SchoolAccess.h"
#include "platform/LastError.h"

namespace
{
class OpenSchoolObject : public testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(g_memSchools.Load(Gbk("学校代码\t学校名称\t省市代码\r\n10001\t北京大学\t11\r\n")));
    }
    void TearDown() override { g_memSchools.Clear(); }

    TestKit::TempProgramDir m_dir;
};

TEST_F(OpenSchoolObject, HoldsTheWriterLockUntilItEndsAlsoAfterAMove)
{
    COpenSchool taken;
    {
        COpenSchool school;
        ASSERT_EQ(school.OpenToWrite("10001", "123"), SchoolAccess::Done);
        EXPECT_TRUE(school.HasNoDataFileYet());
        EXPECT_TRUE(TestKit::SchoolIsLocked("10001"));
        const CMemTable* pTable = &school.Students();
        taken = std::move(school);
        EXPECT_EQ(&taken.Students(), pTable); // views built on the table stay valid
    }                                         // the school moved from lets go of nothing
    EXPECT_TRUE(TestKit::SchoolIsLocked("10001"));
    EXPECT_TRUE(taken.HoldsLock());
    EXPECT_EQ(taken.Code(), "10001");
    EXPECT_EQ(taken.Password(), "123");
    taken = COpenSchool();
    EXPECT_FALSE(TestKit::SchoolIsLocked("10001"));
}

TEST_F(OpenSchoolObject, ARefusedOpenLeavesTheSchoolAsItWas)
{
    {
        COpenSchool school;
        ASSERT_EQ(school.OpenToWrite("10001", "123"), SchoolAccess::Done);
        ASSERT_TRUE(school.Save());
    }
    COpenSchool school;
    EXPECT_EQ(school.Open("10001", "999"), SchoolAccess::WrongPassword);
    EXPECT_EQ(school.Open("10002", "123"), SchoolAccess::CodeUnknown);
    EXPECT_TRUE(school.Code().empty());
    EXPECT_FALSE(TestKit::SchoolIsLocked("10001"));
    EXPECT_EQ(school.Open("10001", "123"), SchoolAccess::Done);
    EXPECT_FALSE(TestKit::SchoolIsLocked("10001")); // reading takes no lock
}

TEST_F(OpenSchoolObject, AFailedSaveLeavesTheChangeUnsavedUntilASaveWorks)
{
    COpenSchool school;
    ASSERT_EQ(school.OpenToWrite("10001", "123"), SchoolAccess::Done);
    school.Students().AddRows(1);
    school.Students().SetCell(0, Field::XSBSH, "2006001");
    ASSERT_TRUE(school.Save());
    const std::string strPath = GetSchoolDatabasePath("10001");
    ASSERT_EQ(chmod(strPath.c_str(), 0444), 0);
    school.Students().SetCell(0, Field::XSBSH, "2006002");
    EXPECT_EQ(school.Save().dwError, ERROR_FILE_READ_ONLY);
    EXPECT_TRUE(school.HasUnsavedChange());

    ASSERT_EQ(chmod(strPath.c_str(), 0644), 0);
    EXPECT_TRUE(school.Save());
    EXPECT_FALSE(school.HasUnsavedChange());
    CMemTable stored;
    ASSERT_TRUE(LoadSchoolDatabase("10001", "123", stored));
    EXPECT_STREQ(stored.GetCell(0, Field::XSBSH), "2006002");
}
} // namespace
