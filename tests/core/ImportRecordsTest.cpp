// Values as the person meant them: names in coded fields, numbers whose digits are certain, and one
// message naming every cell that cannot be stored.
#include "core/ImportRecords.h"

#include "TestKit.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "core/ImportTable.h"
#include "core/ImportValues.h"
#include "core/SchoolDirectory.h"
#include "platform/Encoding.h"

namespace
{
// A workbook sheet "名单" with the field names in row 1 and the cells of each later row set by
// the callback; returns the import's message (UTF-8, empty on success).
template <typename FillRow> std::string Import(int nRows, FillRow fillRow, ImportedRecords& records)
{
    CImportTable table;
    table.SetSheet(Gbk("名单"));
    table.BeginRow(1);
    ColumnMapping mapping;
    for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
    {
        table.SetText(f, g_studentFields[f].lpcszName);
        mapping.columnOf[f] = f;
    }
    for (int r = 0; r < nRows; ++r)
    {
        table.BeginRow(r + 2);
        table.SetText(Field::XSBSH, std::to_string(2006001 + r));
        fillRow(table, r);
    }
    std::string strError;
    if (MakeImportRecords(table, mapping, records, strError))
        return std::string();
    return Encoding::GbkToUtf8(strError).value_or("<not GBK>");
}

struct CodedCase
{
    int nField;
    std::string text; // UTF-8, or a number when empty
    double number;
    std::string stored; // UTF-8
};
} // namespace

TEST(ImportValues, CodedFieldsTakeCodesNamesAndCertainNumbers)
{
    ASSERT_TRUE(g_memSchools.Load(Gbk("学校代码\t学校名称\t省市代码\r\n10001\t北京大学\t11\r\n")));
    const CodedCase cases[] = {
        {Field::XBDM, "男", 0, "1"},
        {Field::XBDM, " 2 ", 0, "2"},            // a code, blanks around it
        {Field::YXDWHYDM, "--软件业", 0, "G61"}, // the list's indent dashes
        {Field::YXDWHYDM, "软件业", 0, "G61"},
        {Field::ZYDM, "哲学", 0, "01010100"}, // the major, not its discipline of the same name
        {Field::XLDM, "", 1, "01"},           // the zero a two-digit code lost
        {Field::ZZMMDM, "", 4, "04"},
        {Field::JICENG, "", 0, "00"},      // a code of zeros only
        {Field::YXDM, "", 10001, "10001"}, // a school of the directory
        {Field::XBDM, "", 1, "1"},         // the digits are a code
        {Field::SYSZDQDM, "", 110000, "110000"},
        {Field::CSNY, "", 30870, "1984-07-07"}, // a date serial in a date field
        {Field::XBDM, "未知", 0, "未知"},       // neither code nor name: kept, and the checks list it
    };
    for (const CodedCase& c : cases)
    {
        ImportedRecords records;
        const std::string strError = Import(
            1,
            [&](CImportTable& table, int) {
                if (c.text.empty())
                    table.SetNumber(c.nField, c.number);
                else
                    table.SetText(c.nField, Gbk(c.text));
            },
            records);
        ASSERT_EQ(strError, "") << c.text << c.number;
        EXPECT_EQ(records.table.GetCell(0, c.nField), Gbk(c.stored)) << c.text << c.number;
        EXPECT_TRUE(records.ambiguous.empty());
    }
    g_memSchools.Clear();
}

TEST(ImportValues, ANameOfSeveralCodesIsKeptAndNamesTheCandidates)
{
    // The same name on the next rows (read again or remembered) with a plain code between them.
    ImportedRecords records;
    ASSERT_EQ(
        Import(
            3,
            [](CImportTable& table, int r) { table.SetText(Field::ZYDM, Gbk(r == 1 ? "07010100" : "广播电视工程")); },
            records),
        "");
    for (int r : {0, 2})
    {
        EXPECT_EQ(records.table.GetCell(r, Field::ZYDM), Gbk("广播电视工程"));
        ASSERT_EQ(records.ambiguous.count(r), 1u);
        EXPECT_EQ(Utf8(records.ambiguous.at(r).front().strText),
                  "专业：C" + std::to_string(r + 2) + "“广播电视工程”有多个代码：05035200、08061700");
    }
    EXPECT_EQ(records.table.GetCell(1, Field::ZYDM), std::string("07010100"));
    EXPECT_EQ(records.ambiguous.count(1), 0u);
}

// Every cell that cannot be stored, in one message: per column how many and the first few.
TEST(ImportValues, OneRefusalNamesEveryColumnWithItsCountAndFirstCells)
{
    ImportedRecords records;
    const std::string strError = Import(
        5,
        [](CImportTable& table, int r) {
            table.SetNumber(Field::XSBSH, 2006001 + r); // student numbers lose their zeros
            if (r < 2)
                table.SetNumber(Field::XBDM, 3); // no code, whatever zeros
            if (r == 4)
                table.SetDate(Field::XM, 2006, 7, 1);
            if (r == 1)
                table.SetKind(Field::BZ, CImportTable::Kind::Formula);
        },
        records);
    EXPECT_EQ(strError, "工作表“名单”中有9个单元格的值不能导入，没有导入任何记录：\n"
                        "“学号”（XSBSH），A列：5个单元格是数字，不是文本，它的数字可能已经改掉了（例如长学号变成"
                        "2.006E+13，代码01变成1）（A2、A3、A4等）。\n"
                        "“姓名”（XM），D列：1个单元格是日期，不是文本（D6）。\n"
                        "“性别”（XBDM），E列：2个单元格是数字，不是文本，它的数字可能已经改掉了（例如长学号变成"
                        "2.006E+13，代码01变成1）（E2、E3）。\n"
                        "“备注”（BZ），W列：1个单元格是公式（W3）。\n"
                        "请在电子表格中把这些列设为文本格式并按原样重新输入，或者在原来的程序中按文本导出，"
                        "或者把工作表另存为CSV文件后导入CSV文件。\n"
                        "请在电子表格中把公式换成它的值（复制后“只粘贴值”）再导入。\n");
    EXPECT_EQ(records.table.GetRowCount(), 0);
}

// A big sheet's second half is read ahead on another thread: its values, names of several codes
// and refusals must come out as the first half's do, in row order.
TEST(ImportValues, ABigSheetReadsItsSecondHalfAsItsFirst)
{
    constexpr int kRows = 10000;
    const char* const sexes[][2] = {{"1", "1"}, {" 2 ", "2"}, {"男", "1"}, {"未知", "未知"}}; // as written, stored
    ImportedRecords records;
    ASSERT_EQ(Import(
                  kRows,
                  [&](CImportTable& table, int r) {
                      table.SetText(Field::XBDM, Gbk(sexes[r % 4][0]));
                      table.SetText(Field::ZYDM, Gbk(r % 3 == 0 ? "广播电视工程" : "07010100"));
                      table.SetText(Field::XM, Gbk("张" + std::to_string(r)));
                  },
                  records),
              "");
    ASSERT_EQ(records.table.GetRowCount(), kRows);
    for (int r = 0; r < kRows; ++r)
    {
        ASSERT_EQ(Utf8(records.table.GetCell(r, Field::XBDM)), sexes[r % 4][1]) << r;
        ASSERT_EQ(Utf8(records.table.GetCell(r, Field::XM)), "张" + std::to_string(r)) << r;
        ASSERT_EQ(records.ambiguous.count(r), r % 3 == 0 ? 1u : 0u) << r;
        if (r % 3 == 0)
        {
            ASSERT_EQ(Utf8(records.ambiguous.at(r).front().strText),
                      "专业：C" + std::to_string(r + 2) + "“广播电视工程”有多个代码：05035200、08061700");
        }
    }

    const std::string strError = Import(
        kRows,
        [](CImportTable& table, int r) {
            if (r == 10 || r == 6000 || r == 7000 || r == 9000)
                table.SetKind(Field::BZ, CImportTable::Kind::Formula);
        },
        records);
    EXPECT_NE(strError.find("4个单元格是公式（W12、W6002、W7002等）"), std::string::npos) << strError;
    EXPECT_EQ(records.table.GetRowCount(), 0);
}

// A TAB, CR, LF or NUL is found wherever it lies in a text, long or short; a NUL wins over the others.
TEST(ImportValues, ControlBytesAreFoundAtEveryPlace)
{
    const std::pair<char, ValueProblem> bytes[] = {{'\t', ValueProblem::LineBreak}, {'\r', ValueProblem::LineBreak},
                                                   {'\n', ValueProblem::LineBreak}, {'\0', ValueProblem::Nul},
                                                   {'\x01', ValueProblem::None},    {'\x0e', ValueProblem::None},
                                                   {'\xb0', ValueProblem::None}};
    CImportTable table;
    const std::string strLong = "abcdefghijklmn";
    std::vector<std::pair<std::string, ValueProblem>> texts = {
        {"", ValueProblem::None},
        {"a\n" + strLong + '\0', ValueProblem::Nul},
        {std::string(1, '\0') + strLong + '\n', ValueProblem::Nul}};
    for (const auto& [byte, problem] : bytes)
        for (std::size_t nLength : {1u, 7u, 8u, 9u, 17u})
            for (std::size_t nAt = 0; nAt < nLength; ++nAt)
                texts.emplace_back(std::string(nAt, 'a') + byte + std::string(nLength - nAt - 1, 'b'), problem);
    for (std::size_t i = 0; i < texts.size(); ++i)
    {
        table.BeginRow(static_cast<int>(i) + 1);
        table.SetText(0, texts[i].first);
    }
    CImportValueReader reader(table);
    std::string strValue, strCandidates;
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(reader.Read(static_cast<int>(i), 0, Field::BZ, strValue, strCandidates), texts[i].second)
            << testing::PrintToString(texts[i].first);
}
