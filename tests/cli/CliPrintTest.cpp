// print: the list and the verification sheets as PDF files, read back with pdftotext.
#include "CliTestSupport.h"

#include <filesystem>

#ifdef VARNHOLT_CLI_PRINT
namespace
{
using TestKit::Occurrences;
using TestKit::PdfPageCount;
using TestKit::PdfText;

const char* const CODE = "10001";

// A student whose values are the longest the fields allow, with characters only GBK (not GB2312) has.
Record LongestStudent()
{
    Record record = ValidRecord(99);
    record[0] = "123456789012345";
    record[3] = Gbk("喆堃镕喆堃镕喆堃镕喆堃镕喆堃镕");                    // 30 bytes
    record[11] = "abcdefghijklmnopqrstuvwxyz@x.c";                        // 30 bytes
    record[18] = "0101-12345678-123456";                                  // 20 bytes
    record[19] = "138001380001";                                          // 12 bytes
    record[20] = Gbk("北京市海淀区颐和园路五号北京大学燕园宿舍四十号楼"); // 50 bytes
    record[22] = Gbk("备注备注备注备注备注备注备注备注备注备注备注备注备注备注备注备注备注备注备注备注备注备注备注备注"
                     "备注"); // 50 bytes
    record[6] = "77";         // an education code no table has
    return record;
}

class CliPrint : public CliTest
{
  protected:
    CliResult Print(std::vector<std::string> extra)
    {
        std::vector<std::string> args = {"print", "--school", CODE, "--password", "123"};
        args.insert(args.end(), extra.begin(), extra.end());
        // Qt and the font library keep their caches until the process ends; in the sanitizer
        // build those are not leaks of the tool's.
        return Run(args, {}, {"ASAN_OPTIONS=detect_leaks=0"});
    }
};
} // namespace

TEST_F(CliPrint, ListRepeatsHeadingAndTitlesOnEveryPageAndContinuesWideColumns)
{
    std::vector<Record> records;
    for (int n = 1; n <= 60; ++n)
        records.push_back(ValidRecord(n));
    records.push_back(LongestStudent());
    WriteSchool(CODE, "123", records);
    const CliResult result = Print({"--list", "--out", FilePath("list.pdf")});
    ASSERT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_EQ(result.strErr, "");
    const int nPages = PdfPageCount(FilePath("list.pdf"));
    const std::string strText = PdfText(FilePath("list.pdf"));
    ASSERT_GE(nPages, 4) << "61 rows need two pages, the 24 columns at least two widths";
    EXPECT_EQ(Occurrences(strText, "学生名单"), nPages);
    EXPECT_EQ(Occurrences(strText, "院校代码：10001"), nPages);
    EXPECT_EQ(Occurrences(strText, "院校名称：北京大学"), nPages);
    EXPECT_EQ(Occurrences(strText, "学号"), nPages) << "the student number begins every page";
    for (int nPage = 1; nPage <= nPages; ++nPage)
        EXPECT_EQ(Occurrences(strText, "第" + std::to_string(nPage) + "页/共" + std::to_string(nPages) + "页"), 1);
    for (const char* lpcszTitle : {"院校代码", "出生年月", "电子信箱", "通信地址", "参加下基层项目"})
        EXPECT_GE(Occurrences(strText, lpcszTitle), 2) << lpcszTitle;
    // Whole values, never cut: the longest ones the fields allow.
    EXPECT_NE(strText.find("喆堃镕喆堃镕喆堃镕喆堃镕喆堃镕"), std::string::npos);
    EXPECT_NE(strText.find("北京市海淀区颐和园路五号北京大学燕园宿舍四十号楼"), std::string::npos);
    EXPECT_NE(strText.find("abcdefghijklmnopqrstuvwxyz@x.c"), std::string::npos);
}

TEST_F(CliPrint, SheetsGiveEveryFieldAsNameWithCodeAndTheSignatureLine)
{
    WriteSchool(CODE, "123", {ValidRecord(1), LongestStudent(), ValidRecord(2)});
    ASSERT_EQ(Print({"--sheets", "--out", FilePath("sheets.pdf")}).nExit, 0);
    EXPECT_EQ(PdfPageCount(FilePath("sheets.pdf")), 3);
    const std::string strText = PdfText(FilePath("sheets.pdf"));
    EXPECT_EQ(Occurrences(strText, "学生信息核对表"), 3);
    EXPECT_EQ(Occurrences(strText, "院校：北京大学（10001）"), 3);
    EXPECT_EQ(Occurrences(strText, "本人已核对以上信息无误。本人签字：______ 日期：______"), 3);
    EXPECT_EQ(Occurrences(strText, "姓别"), 3) << "the editor's labels";
    EXPECT_EQ(Occurrences(strText, "参加下基层项目"), 3);
    for (const char* lpcszValue : {"数学与应用数学（07010100）", "本科生毕业（01）", "77（无效代码）", "英语（en）",
                                   "--无--（00）", "喆堃镕喆堃镕喆堃镕喆堃镕喆堃镕", "123456789012345"})
        EXPECT_NE(strText.find(lpcszValue), std::string::npos) << lpcszValue;
    const std::size_t nFirst = strText.find("2006001"), nLong = strText.find("123456789012345");
    EXPECT_LT(nFirst, nLong) << "sheets in list order";

    ASSERT_EQ(Print({"--sheets", "--two-per-page", "--out", FilePath("two.pdf")}).nExit, 0);
    EXPECT_EQ(PdfPageCount(FilePath("two.pdf")), 2);
    EXPECT_EQ(Occurrences(PdfText(FilePath("two.pdf")), "本人签字"), 3);
}

TEST_F(CliPrint, NumbersFileChoosesTheStudentsAndAnUnknownNumberWritesNothing)
{
    WriteSchool(CODE, "123", {ValidRecord(1), ValidRecord(2), ValidRecord(3)});
    WriteFileBytes(FilePath("numbers.txt"), "2006003\r\n\n  2006001\n");
    ASSERT_EQ(Print({"--sheets", "--numbers", FilePath("numbers.txt"), "--out", FilePath("some.pdf")}).nExit, 0);
    const std::string strText = PdfText(FilePath("some.pdf"));
    EXPECT_EQ(PdfPageCount(FilePath("some.pdf")), 2);
    EXPECT_EQ(strText.find("2006002"), std::string::npos);
    EXPECT_LT(strText.find("2006001"), strText.find("2006003"));

    WriteFileBytes(FilePath("numbers.txt"), "2006001\n2006009\n");
    const CliResult unknown = Print({"--list", "--numbers", FilePath("numbers.txt"), "--out", FilePath("none.pdf")});
    EXPECT_EQ(unknown.nExit, 1);
    EXPECT_NE(unknown.strErr.find("没有学号为 2006009 的记录"), std::string::npos) << unknown.strErr;
    EXPECT_EQ(m_dir.Listing().find("none.pdf"), std::string::npos);

    EXPECT_EQ(Print({"--list", "--sheets", "--out", FilePath("x.pdf")}).nExit, 2);
}

// The tool runs print as the program beside it; installed without that program, print fails
// with the program's path, while the other commands run as before.
TEST_F(CliPrint, WithoutThePrintProgramBesideTheToolPrintFailsAndTheRestRuns)
{
    WriteSchool(CODE, "123", {ValidRecord(1)});
    const std::string strTool = FilePath("bin/varnholt-cli");
    std::filesystem::create_directory(FilePath("bin"));
    std::filesystem::copy_file(VARNHOLT_CLI_PATH, strTool);
    m_strProgram = strTool;

    const CliResult result = Print({"--list", "--out", FilePath("list.pdf")});
    EXPECT_EQ(result.nExit, 3);
    EXPECT_NE(result.strErr.find("不能运行“" + FilePath("bin/varnholt-print") + "”"), std::string::npos)
        << result.strErr;
    EXPECT_EQ(m_dir.Listing().find("list.pdf"), std::string::npos);
    EXPECT_EQ(Run({"check", "--school", CODE, "--password", "123"}).nExit, 0);
}
#endif
