#include "DataTestSupport.h"

#include <gtest/gtest.h>

#include "core/DataFunc.h"
#include "platform/Resources.h"

namespace
{
// The data lines of the directory source: every CR LF ends a line; the first is the header and
// the text ends with one extra CR LF.
std::vector<std::string> DirectoryLines()
{
    const std::string text = ReadSourceFile("res/schools.txt");
    std::vector<std::string> lines;
    for (std::size_t nStart = 0, nEnd; (nEnd = text.find("\r\n", nStart)) != std::string::npos; nStart = nEnd + 2)
        lines.push_back(text.substr(nStart, nEnd - nStart));
    return lines;
}

class SchoolDirectory : public testing::Test
{
  protected:
    void TearDown() override { ResetResourceOverrides(); }

    // Loads resource (IDR_SCHOOL_DIRECTORY, "TXT") into m_table; the message when it fails.
    std::string LoadFails()
    {
        std::string strMessage;
        EXPECT_FALSE(LoadResourceTable(IDR_SCHOOL_DIRECTORY, "TXT", m_table, strMessage));
        return strMessage;
    }

    CMemTable m_table;
};

TEST_F(SchoolDirectory, BuiltInDirectoryLoadsEveryRow)
{
    const std::vector<std::string> lines = DirectoryLines();
    ASSERT_GE(lines.size(), 3u);
    ASSERT_EQ(lines.back(), ""); // the extra line end
    std::string strMessage;
    ASSERT_TRUE(LoadResourceTable(IDR_SCHOOL_DIRECTORY, "TXT", m_table, strMessage)) << strMessage;
    ASSERT_EQ(m_table.GetColCount(), 3);
    EXPECT_EQ(m_table.GetColName(0), Gbk("学校代码"));
    EXPECT_EQ(m_table.GetColName(2), Gbk("省市代码"));
    const int nRows = static_cast<int>(lines.size()) - 2;
    ASSERT_EQ(m_table.GetRowCount(), nRows);
    const std::string& strLast = lines[lines.size() - 2];
    EXPECT_EQ(std::string(m_table.GetCell(nRows - 1, 0)) + "\t" + m_table.GetCell(nRows - 1, 1) + "\t" +
                  m_table.GetCell(nRows - 1, 2),
              strLast);
    EXPECT_STREQ(m_table.GetCell(0, 0), "10001");
    EXPECT_EQ(m_table.GetCell(0, 1), Gbk("北京大学"));
}

TEST_F(SchoolDirectory, FindsASchoolByItsExactCode)
{
    std::string strMessage;
    ASSERT_TRUE(LoadResourceTable(IDR_SCHOOL_DIRECTORY, "TXT", g_memSchools, strMessage));
    const int nRow = FindSchoolRow("10246");
    ASSERT_GE(nRow, 0);
    EXPECT_EQ(g_memSchools.GetCell(nRow, 1), Gbk("复旦大学"));
    EXPECT_EQ(FindSchoolRow("10001"), 0);
    EXPECT_EQ(FindSchoolRow(" 10001"), -1);
    EXPECT_EQ(FindSchoolRow("10001 "), -1);
    EXPECT_EQ(FindSchoolRow(""), -1);
}

TEST_F(SchoolDirectory, DropsTheLastTwoBytesAndStopsAtANul)
{
    OverrideResource(IDR_SCHOOL_DIRECTORY, "TXT", "A\r\nabcd");
    std::string strMessage;
    ASSERT_TRUE(LoadResourceTable(IDR_SCHOOL_DIRECTORY, "TXT", m_table, strMessage));
    ASSERT_EQ(m_table.GetRowCount(), 1);
    EXPECT_STREQ(m_table.GetCell(0, 0), "ab");

    OverrideResource(IDR_SCHOOL_DIRECTORY, "TXT", std::string("A\r\nab\0cdef", 10));
    ASSERT_TRUE(LoadResourceTable(IDR_SCHOOL_DIRECTORY, "TXT", m_table, strMessage));
    EXPECT_STREQ(m_table.GetCell(0, 0), "ab");

    OverrideResource(IDR_SCHOOL_DIRECTORY, "TXT", "A"); // shorter than what is dropped: the empty text
    ASSERT_TRUE(LoadResourceTable(IDR_SCHOOL_DIRECTORY, "TXT", m_table, strMessage));
    EXPECT_EQ(m_table.GetColCount(), 1);
    EXPECT_EQ(m_table.GetRowCount(), 0);
}

TEST_F(SchoolDirectory, AcceptsAResourceJustBelowTheLimit)
{
    OverrideResource(IDR_SCHOOL_DIRECTORY, "TXT", "A\r\n" + std::string(1048576 - 1 - 3, 'x'));
    std::string strMessage;
    ASSERT_TRUE(LoadResourceTable(IDR_SCHOOL_DIRECTORY, "TXT", m_table, strMessage));
    EXPECT_EQ(m_table.GetRowCount(), 1);
}

struct FaultCase
{
    std::string bytes;
    ResourceFault fault;
    const char* lpcszMessage; // UTF-8
};

void PrintTo(const FaultCase& c, std::ostream* pOut)
{
    *pOut << "fault " << static_cast<int>(c.fault) << ", " << c.bytes.size() << " bytes";
}

class DirectoryFault : public SchoolDirectory, public testing::WithParamInterface<FaultCase>
{
};

TEST_P(DirectoryFault, ReportsTheFailure)
{
    OverrideResource(IDR_SCHOOL_DIRECTORY, "TXT", GetParam().bytes, GetParam().fault);
    EXPECT_EQ(LoadFails(), Gbk(GetParam().lpcszMessage));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DirectoryFault,
    testing::Values(
        FaultCase{"A\r\n1\r\n\r\n", ResourceFault::Missing, "不能找到指定类型的资源，可能原因，本文件已经被破坏。"},
        FaultCase{"", ResourceFault::None, "指定类型的资源为空或太大，可能原因，本文件已经被破坏。"},
        FaultCase{std::string(1048576, 'x'), ResourceFault::None,
                  "指定类型的资源为空或太大，可能原因，本文件已经被破坏。"},
        FaultCase{"A\r\n1\r\n\r\n", ResourceFault::LoadFails, "无法装入资源，可能原因，系统不兼容或系统设置不当。"},
        FaultCase{"A\r\n1\r\n\r\n", ResourceFault::LockFails, "无法锁定资源，可能原因，系统不兼容或系统设置不当。"}));

TEST_F(SchoolDirectory, AnUnparseableTextGivesTheTableError)
{
    std::string strHeader;
    for (int i = 0; i < 101; ++i)
        strHeader += "C" + std::to_string(i) + "\t";
    OverrideResource(IDR_SCHOOL_DIRECTORY, "TXT", strHeader + "\r\n\r\n");
    const std::string strMessage = LoadFails();
    EXPECT_EQ(strMessage, Gbk("列数超过限制。"));
    EXPECT_EQ(strMessage, m_table.GetErrorText());
    EXPECT_EQ(g_lpcszSystemErrorCaption, Gbk("系统错误"));
}

TEST_F(SchoolDirectory, OtherIdsAndTypesAreNotFound)
{
    std::string strMessage;
    EXPECT_FALSE(LoadResourceTable(135, "TXT", m_table, strMessage));
    EXPECT_FALSE(LoadResourceTable(IDR_SCHOOL_DIRECTORY, "BIN", m_table, strMessage));
    EXPECT_EQ(strMessage, Gbk("不能找到指定类型的资源，可能原因，本文件已经被破坏。"));
}
} // namespace
