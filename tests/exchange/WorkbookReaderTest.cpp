#include "TestKit.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "exchange/SheetLimits.h"
#include "exchange/SheetSink.h"
#include "exchange/WorkbookImport.h"
#include "platform/FileSystem.h"

// The readers are checked by what they hand to a sink that writes every call down, on workbooks
// made by independent writers (odfpy, openpyxl, xlwt) and, for the damaged and hostile ones, by hand.
namespace
{
// Writes down every call: cells as "B3 t:text", "n:3.5", "d:2006-07-01" or "f"; merged ranges apart.
class CRecordingSink : public ISheetSink
{
  public:
    void SetDateOrigin(int nYear, int nMonth, int nDay) override
    {
        m_calls.push_back("origin " + Date(nYear, nMonth, nDay));
    }
    bool BeginSheet(const std::string& strName) override
    {
        if (strName == m_strSkip)
            return false;
        m_calls.push_back("sheet " + strName);
        m_strSheet = strName;
        return true;
    }
    void SetText(int nRow, int nCol, std::string_view utf8) override { Cell(nRow, nCol, "t:" + std::string(utf8)); }
    void SetNumber(int nRow, int nCol, double value) override
    {
        std::ostringstream number;
        number << value;
        Cell(nRow, nCol, "n:" + number.str());
    }
    void SetDate(int nRow, int nCol, int nYear, int nMonth, int nDay) override
    {
        Cell(nRow, nCol, "d:" + Date(nYear, nMonth, nDay));
    }
    void SetFormula(int nRow, int nCol) override { Cell(nRow, nCol, "f"); }
    void MergeRange(int nFirstRow, int nFirstCol, int nLastRow, int nLastCol) override
    {
        m_merges.push_back(m_strSheet + " " + CellName(nFirstRow, nFirstCol) + ":" + CellName(nLastRow, nLastCol));
    }
    void EndSheet() override
    {
        m_calls.push_back("end");
        ++m_nEnded;
    }
    bool Stopped() const override { return m_nEnded >= m_nStopAfter; }

    std::vector<std::string> m_calls, m_merges;
    std::string m_strSkip;      // the sheet the sink does not want
    int m_nStopAfter = 1 << 30; // sheets ended before the sink stops the reader

  private:
    static std::string Date(int nYear, int nMonth, int nDay)
    {
        return std::to_string(nYear) + "-" + std::to_string(nMonth) + "-" + std::to_string(nDay);
    }
    void Cell(int nRow, int nCol, const std::string& strValue)
    {
        m_calls.push_back(CellName(nRow, nCol) + " " + strValue);
    }
    std::string m_strSheet;
    int m_nEnded = 0;
};

class WorkbookReaders : public testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        s_pDir = new TestKit::TempDir;
        const std::string strCommand = "/usr/bin/python3 " + std::string(std::getenv("VARNHOLT_SOURCE_DIR")) +
                                       "/tests/exchange/reader_fixtures.py " + s_pDir->Path();
        ASSERT_EQ(std::system(strCommand.c_str()), 0);
    }
    static void TearDownTestSuite() { delete s_pDir; }

    // The reader's message as UTF-8, empty when it read the file.
    static std::string Read(const std::string& strName, CRecordingSink& sink)
    {
        const std::string strPath = s_pDir->FilePath(strName);
        std::string strBytes, strError;
        ReadRegularFile(strPath, strBytes);
        return ReadWorkbookSheets(strPath, strBytes, FormatOfPath(strPath), sink, strError) ? std::string()
                                                                                            : Utf8(strError);
    }

    static TestKit::TempDir* s_pDir;
};
TestKit::TempDir* WorkbookReaders::s_pDir = nullptr;

const std::vector<std::string> kNoteSheet = {"sheet 说明", "A1 t:请看第二页", "end"};
const std::vector<std::string> kTableSheet = {"sheet 学生", "A1 t:XSBSH", "B1 t:YXDM",    "C1 t:CJ", "A2 t:2006001",
                                              "B2 t:10001", "C2 n:3.5",   "A3 t:2006002", "end"};

std::vector<std::string> Joined(std::vector<std::string> first, const std::vector<std::string>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}
} // namespace

TEST_F(WorkbookReaders, HandEverySheetInWorkbookOrderWithItsMergedRanges)
{
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"sheets.xlsx", {"学生 B2:B3"}},
        {"sheets.ods", {"学生 B2:B3"}},
        {"sheets.xls", {"学生 B2:B3"}},
    };
    for (const auto& [name, merges] : cases)
    {
        CRecordingSink sink;
        EXPECT_EQ(Read(name, sink), "") << name;
        EXPECT_EQ(sink.m_calls, Joined(kNoteSheet, kTableSheet)) << name;
        EXPECT_EQ(sink.m_merges, merges) << name;
    }
}

TEST_F(WorkbookReaders, SkipASheetTheSinkDoesNotWantAndStopWhenItSaysSo)
{
    for (const char* name : {"sheets.xlsx", "sheets.ods", "sheets.xls"})
    {
        CRecordingSink skipping;
        skipping.m_strSkip = "说明";
        EXPECT_EQ(Read(name, skipping), "") << name;
        EXPECT_EQ(skipping.m_calls, kTableSheet) << name;

        CRecordingSink stopping;
        stopping.m_nStopAfter = 1;
        EXPECT_EQ(Read(name, stopping), "") << name;
        EXPECT_EQ(stopping.m_calls, kNoteSheet) << name;
    }
}

// Number styles for text and dates in the content's styles, equal neighbours and empty runs stored
// once, rich text with a comment, a formula: what made the former reader crash or misread.
TEST_F(WorkbookReaders, ReadOpenDocumentCellsAsASpreadsheetProgramWritesThem)
{
    CRecordingSink sink;
    EXPECT_EQ(Read("calc.ods", sink), "");
    const std::vector<std::string> expected = {
        "sheet 学生",   "A1 t:XSBSH", "B1 t:CSNY",     "C1 t:YXDM",
        "D1 t:YXDM",    "A2 t:01",    "B2 d:1985-3-9", "C2 t:北京   海淀\t\n\n100871", // the comment is no part of it
        "A3 t:2006002", "C3 n:1",     "D3 n:0.25",     "A4 t:2006002",
        "C4 n:1",       "D4 n:0.25",  "A1048576 f",    "end",
    };
    EXPECT_EQ(sink.m_calls, expected);
}

TEST_F(WorkbookReaders, EmptyRepeatsCostNothingHoweverLarge)
{
    CRecordingSink sink;
    EXPECT_EQ(Read("empty.ods", sink), "");
    EXPECT_EQ(sink.m_calls, (std::vector<std::string>{"sheet 学生", "A1 t:XSBSH", "A2 t:2006001", "end"}));
}

TEST_F(WorkbookReaders, RefuseDamagedAndHostileFilesSayingWhy)
{
    const std::string kTooLong = "太大：它的文本超过64 KB，没有哪一项能存这么长的值。";
    const std::string kTooLarge =
        "文件太大：xl/sheet.xml 超出了本程序能读的大小（整个文件解压后最多512 MB，其中一段标记最多4 MB）。";
    const std::pair<const char*, std::string> cases[] = {
        {"longcell.xlsx", "工作表“学生”的单元格C2" + kTooLong},
        {"longshared.xlsx", "工作表“学生”的单元格B1" + kTooLong}, // through the shared texts
        {"spaces.ods", "工作表“学生”的单元格A1" + kTooLong},      // a billion spaces in one element
        {"hugetag.xlsx", kTooLarge},                              // one tag of 5 MB
        {"stated.xlsx", kTooLarge},                               // refused before unpacking
        {"rows.ods", "文件太大：工作表“学生”第2行起重复存放的单元格展开后超出了本程序能读的大小。"},
        {"columns.ods", "文件太大：工作表“学生”有单元格超出了1048576行、16384列。"},
        {"twice.xlsx",
         "文件不是有效的Excel工作簿（.xlsx）：它有两个名为 xl/sheet.xml 的部件，不同的程序会读出不同的内容"},
        {"twice.ods", "文件不是有效的OpenDocument电子表格（.ods）：它有两个名为 content.xml 的部件，"
                      "不同的程序会读出不同的内容"},
        {"cut.xlsx", "文件不是有效的Excel工作簿（.xlsx）：xl/sheet.xml 第1行不是有效的XML（"},
        {"pastend.xlsx", "文件不是有效的Excel工作簿（.xlsx）：工作表“学生”的单元格A1指向不存在的文本。"},
        {"emoji.xlsx", // the message stays GBK, the character it cannot hold shown as "?"
         "文件不是有效的Excel工作簿（.xlsx）：工作表“学生”的单元格A1的日期“2006?”无效。"},
        {"encrypted.ods", "文件已经加密：请在电子表格程序中取消密码后再导入。"},
        {"codepage.xls", "文件的文字编码（代码页）本程序不能读：请在电子表格程序中把它另存为 .xlsx 工作簿后再导入。"},
    };
    for (const auto& [name, message] : cases)
    {
        CRecordingSink sink;
        const std::string strMessage = Read(name, sink);
        EXPECT_EQ(strMessage.substr(0, message.size()), message) << name << ": " << strMessage;
    }
}
