// The exchange's one import and one export, as both front ends call them: the format follows the
// name, the front end is asked only for what that format needs, and the program's own data files
// are refused before anything is made.
#include "exchange/StudentsFile.h"

#include "TestKit.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#include "core/ImportTable.h"
#include "core/MemTable.h"
#include "core/StudentSchema.h"
#include "platform/Encoding.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"

namespace
{
using TestKit::SampleStudent;
using TestKit::TempProgramDir;

// Counts what the exchange asked of the front end.
struct FrontEnd
{
    int nEncodingAsked = 0;
    int nRunnerCalls = 0;

    ExchangeRunner Runner()
    {
        return [this](const ExchangeWork& work) {
            ++nRunnerCalls;
            return work({});
        };
    }
    StudentsFileReading Reading(std::optional<TextEncoding> answer = TextEncoding::Gbk)
    {
        return {[this, answer](std::string_view) {
                    ++nEncodingAsked;
                    return answer;
                },
                Runner()};
    }
};

// The student table with one record.
void FillOneStudent(CMemTable& table)
{
    CreateStudentTable(table);
    table.AddRows(1);
    const std::vector<std::string> student = SampleStudent("20060010010001", "路梅");
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
        table.SetCell(0, c, Gbk(student[c]));
}

std::string FileBytes(const std::string& strPath)
{
    std::string strBytes;
    ReadRegularFile(strPath, strBytes);
    return strBytes;
}

struct FormatCase
{
    const char* lpcszName;
    TextEncoding csvEncoding;
    const char* lpcszStart; // the file's first bytes
    bool bWorkbook;
};

class StudentsFileFormats : public testing::TestWithParam<FormatCase>
{
};
} // namespace

TEST_P(StudentsFileFormats, WritesByTheNameAndReadsBackAskingOnlyWhatTheFormatNeeds)
{
    const FormatCase& c = GetParam();
    const TempProgramDir dir;
    const std::string strPath = dir.FilePath(c.lpcszName);
    CMemTable students;
    FillOneStudent(students);
    FrontEnd writer;
    StudentsFileWriting writing;
    writing.strSchoolCode = "10001";
    writing.csvEncoding = c.csvEncoding;
    writing.runWorkbook = writer.Runner();
    ASSERT_TRUE(WriteStudentsFile(strPath, students, writing));
    EXPECT_TRUE(FileBytes(strPath).starts_with(c.lpcszStart));
    EXPECT_EQ(writer.nRunnerCalls, c.bWorkbook ? 1 : 0);

    FrontEnd reader;
    CImportTable table;
    const ExchangeOutcome outcome = ReadStudentsFile(strPath, table, reader.Reading(c.csvEncoding));
    ASSERT_TRUE(outcome) << Utf8(outcome.strError);
    EXPECT_EQ(reader.nRunnerCalls, c.bWorkbook ? 1 : 0);
    EXPECT_EQ(reader.nEncodingAsked, c.bWorkbook ? 0 : 1);
    ASSERT_EQ(table.RowCount(), c.bWorkbook ? 3 : 2) << "names, (titles,) the record";
    EXPECT_EQ(Utf8(table.At(table.RowCount() - 1, Field::XM).text), "路梅");
}

INSTANTIATE_TEST_SUITE_P(Names, StudentsFileFormats,
                         testing::Values(FormatCase{"out.xlsx", TextEncoding::Gbk, "PK", true},
                                         FormatCase{"OUT.CSV", TextEncoding::Gbk, "XSBSH,", false},
                                         FormatCase{"out.txt", TextEncoding::Gbk, "XSBSH,",
                                                    false}, // any other name is CSV
                                         FormatCase{"utf8.csv", TextEncoding::Utf8, "\xEF\xBB\xBFXSBSH,", false}));

TEST(StudentsFile, RefusesTheProgramsOwnFilesBeforeMakingAnything)
{
    const TempProgramDir dir;
    std::filesystem::create_directories(dir.FilePath("backup/10001"));
    CMemTable students;
    FillOneStudent(students);
    for (const char* lpcszName : {"10001.db", "10002.db", "10001.lock", "backup/10001/copy.xlsx"})
    {
        const std::string strPath = dir.FilePath(lpcszName);
        ASSERT_EQ(ReplaceFileAtomically(strPath, "old"), ERROR_SUCCESS);
        FrontEnd writer;
        StudentsFileWriting writing;
        writing.strSchoolCode = "10001";
        writing.runWorkbook = writer.Runner();
        const ExchangeOutcome outcome = WriteStudentsFile(strPath, students, writing);
        EXPECT_EQ(outcome.fault, ExchangeFault::DataFile) << lpcszName;
        EXPECT_EQ(writer.nRunnerCalls, 0) << lpcszName << ": no workbook is made for a refused target";
        EXPECT_EQ(FileBytes(strPath), "old") << lpcszName;
    }
}

TEST(StudentsFile, ReadTellsTheFileLayersRefusalTheFormatsFaultAndACancel)
{
    const TempProgramDir dir;
    std::filesystem::create_directories(dir.FilePath("folder.csv"));
    ASSERT_EQ(ReplaceFileAtomically(dir.FilePath("broken.xlsx"), "not a workbook"), ERROR_SUCCESS);
    ASSERT_EQ(ReplaceFileAtomically(dir.FilePath("names.csv"), "XSBSH,XM\r\n1,2\r\n"), ERROR_SUCCESS);
    FrontEnd front;
    CImportTable table;

    ExchangeOutcome outcome = ReadStudentsFile(dir.FilePath("folder.csv"), table, front.Reading());
    EXPECT_EQ(outcome.fault, ExchangeFault::File);
    EXPECT_EQ(outcome.dwCode, ERROR_DIRECTORY);

    outcome = ReadStudentsFile(dir.FilePath("broken.xlsx"), table, front.Reading());
    EXPECT_EQ(outcome.fault, ExchangeFault::Format);
    EXPECT_NE(Utf8(outcome.strError).find("不是zip压缩包"), std::string::npos) << Utf8(outcome.strError);

    outcome = ReadStudentsFile(dir.FilePath("names.csv"), table, front.Reading(std::nullopt));
    EXPECT_EQ(outcome.fault, ExchangeFault::Cancelled);
    EXPECT_EQ(table.RowCount(), 0);
    EXPECT_EQ(front.nEncodingAsked, 1) << "asked only for the CSV file";
}
