// Finding the sheet and the rows that hold the records, as a person reading the workbook would.
#include "exchange/SheetTableSink.h"

#include "TestKit.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/ColumnMapping.h"
#include "core/DataFunc.h"
#include "core/ImportRecords.h"
#include "core/ImportTable.h"
#include "platform/Encoding.h"

namespace
{
using Cells = std::vector<std::string>; // one row's texts (UTF-8); "" leaves the cell out

void SendRow(ISheetSink& sink, int nRow, const Cells& cells)
{
    for (std::size_t c = 0; c < cells.size(); ++c)
        sink.SetText(nRow, static_cast<int>(c), cells[c]);
}

Cells FieldNames()
{
    Cells names;
    for (const STUDENTFIELD& field : g_studentFields)
        names.push_back(field.lpcszName);
    return names;
}

Cells ListTitles()
{
    Cells titles;
    for (const STUDENTFIELD& field : g_studentFields)
        titles.push_back(Utf8(field.lpcszListLabel));
    return titles;
}

// The sample student's values (UTF-8), as a sheet of our own export holds them.
Cells Student(const std::string& strNumber)
{
    return TestKit::SampleStudent(strNumber);
}

void ReadRecords(const CImportTable& table, ImportedRecords& records)
{
    std::string strError;
    EXPECT_TRUE(MakeImportRecords(table, ProposeMapping(table), records, strError)) << Utf8(strError);
}

std::string Message(const std::string& strGbk)
{
    return Encoding::GbkToUtf8(strGbk).value_or("<not GBK>");
}
} // namespace

TEST(SheetTableSink, ReadsTheFirstSheetWhoseRowNamesTheFieldsFromThatRowOn)
{
    CImportTable table;
    CSheetTableSink sink(table);
    ASSERT_TRUE(sink.BeginSheet("说明"));
    SendRow(sink, 0, {"请按下表填写毕业生信息"});
    sink.EndSheet();
    ASSERT_FALSE(sink.Stopped());
    ASSERT_TRUE(sink.BeginSheet("名单"));
    SendRow(sink, 0, {"2006届毕业生名单"});
    sink.MergeRange(0, 0, 0, 23);
    SendRow(sink, 2, ListTitles()); // the list's Chinese titles, under a title and a blank row
    SendRow(sink, 3, Student("2006001"));
    SendRow(sink, 4, Student("2006002"));
    sink.EndSheet();
    EXPECT_TRUE(sink.Stopped());
    EXPECT_FALSE(sink.BeginSheet("其他"));
    std::string strError;
    ASSERT_TRUE(sink.Finish(strError));

    EXPECT_EQ(table.SheetName(), Gbk("名单"));
    EXPECT_EQ(table.Note(), "");
    EXPECT_EQ(table.FileRow(0), 3);
    ImportedRecords records;
    ReadRecords(table, records);
    ASSERT_EQ(records.table.GetRowCount(), 2);
    EXPECT_EQ(records.fileRows, (std::vector<int>{4, 5}));
    EXPECT_EQ(records.table.GetCell(1, Field::XSBSH), std::string("2006002"));
    EXPECT_EQ(records.table.GetCell(1, Field::TXDZ), Gbk(Student("2006002")[Field::TXDZ]));
}

TEST(SheetTableSink, MergedCellsReadAsTheRangesValueAndTrailingEmptyCellsAsEmptyValues)
{
    CImportTable table;
    CSheetTableSink sink(table);
    ASSERT_TRUE(sink.BeginSheet("Sheet1"));
    SendRow(sink, 0, FieldNames());
    for (int r = 1; r <= 3; ++r)
    {
        Cells student = Student("200600" + std::to_string(r));
        student[Field::YXDM] = r == 1 ? student[Field::YXDM] : "";
        student.resize(Field::BZ); // the row ends before its empty remark and grassroots cells
        SendRow(sink, r, student);
    }
    sink.MergeRange(1, Field::YXDM, 3, Field::YXDM); // the school code merged down its column
    sink.EndSheet();
    std::string strError;
    ASSERT_TRUE(sink.Finish(strError));
    ImportedRecords records;
    ReadRecords(table, records);
    ASSERT_EQ(records.table.GetRowCount(), 3);
    for (int r = 0; r < 3; ++r)
    {
        EXPECT_EQ(records.table.GetCell(r, Field::YXDM), std::string("10001")) << r;
        EXPECT_EQ(records.table.GetCell(r, Field::JICENG), std::string()) << r;
    }
}

TEST(SheetTableSink, WithoutAHeaderKeepsTheLikeliestRowAndNamesEachSheetLookedAt)
{
    CImportTable table;
    CSheetTableSink sink(table);
    ASSERT_TRUE(sink.BeginSheet("封面"));
    SendRow(sink, 0, {"毕业生名单"});
    SendRow(sink, 1, {"学号", "姓名", "", "性别"}); // an empty column in the middle
    SendRow(sink, 2, {"2006001", "张三", "", "男"});
    sink.EndSheet();
    ASSERT_TRUE(sink.BeginSheet("空表"));
    sink.EndSheet();
    std::string strError;
    ASSERT_TRUE(sink.Finish(strError));
    EXPECT_EQ(Message(table.Note()), "没有一个工作表在前20行中有一行写着24个字段名（如XSBSH）或列表的中文列名。"
                                     "看过的工作表“封面”第1行是“毕业生名单”；工作表“空表”是空的。");
    EXPECT_EQ(table.FileRow(0), 2);
    EXPECT_EQ(table.UsedColumns(), (std::vector<int>{0, 1, 3}));
    const ColumnMapping mapping = ProposeMapping(table);
    EXPECT_EQ(mapping.columnOf[Field::XSBSH], 0);
    EXPECT_EQ(mapping.columnOf[Field::XBDM], 3);
    EXPECT_EQ(mapping.columnOf[Field::CSNY], -1);

    CImportTable empty;
    CSheetTableSink nothing(empty);
    ASSERT_TRUE(nothing.BeginSheet("Sheet1"));
    nothing.EndSheet();
    EXPECT_FALSE(nothing.Finish(strError));
    EXPECT_EQ(Message(strError), "工作簿中没有可以导入的内容。没有一个工作表在前20行中有一行写着24个字段名（如XSBSH）"
                                 "或列表的中文列名。看过的工作表“Sheet1”是空的。");
}

// Our export's sheet of names, moved first: every coded value is read as the name it is.
TEST(SheetTableSink, OurSheetOfNamesIsReadByItsNames)
{
    CImportTable table;
    CSheetTableSink sink(table);
    ASSERT_TRUE(sink.BeginSheet("记录（名称）"));
    SendRow(sink, 0, FieldNames());
    SendRow(sink, 1, ListTitles());
    Cells named = Student("2006001");
    for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
    {
        if (const CODETABLE* pTable = g_studentFields[f].pTable; pTable && !named[f].empty())
            named[f] = Utf8(LookupCodeName(Gbk(named[f]), pTable));
    }
    SendRow(sink, 2, named);
    sink.EndSheet();
    std::string strError;
    ASSERT_TRUE(sink.Finish(strError));
    ImportedRecords records;
    ReadRecords(table, records);
    ASSERT_EQ(records.table.GetRowCount(), 1);
    for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
        EXPECT_EQ(records.table.GetCell(0, f), Gbk(Student("2006001")[f])) << g_studentFields[f].lpcszName;
}
