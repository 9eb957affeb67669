#include "DataTestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>

#include "core/DataFunc.h"

namespace
{
struct TableCase
{
    const CODETABLE* pTable;
    const char* lpcszSource; // data/ file the table is built from
    int nCount;
    const char* lpcszFirstCode;
    const char* lpcszFirstName; // UTF-8
    const char* lpcszLastCode;
    const char* lpcszLastName; // UTF-8
};

void PrintTo(const TableCase& c, std::ostream* pOut)
{
    *pOut << c.lpcszSource;
}

class CodeTableContent : public testing::TestWithParam<TableCase>
{
};

// The built-in rows must be the data file's rows in GBK, in order: catches a table compiled
// with the wrong character set as well as a lost or reordered row.
TEST_P(CodeTableContent, HoldsTheDataFileRowsInGbk)
{
    const TableCase& c = GetParam();
    ASSERT_EQ(c.pTable->nCount, c.nCount);
    std::istringstream lines(Gbk(ReadSourceFile(std::string("data/") + c.lpcszSource)));
    std::string line;
    int nRow = 0;
    while (std::getline(lines, line))
    {
        ASSERT_LT(nRow, c.nCount);
        EXPECT_EQ(std::string(c.pTable->pItems[nRow].code) + "\t" + c.pTable->pItems[nRow].name, line) << nRow;
        ++nRow;
    }
    EXPECT_EQ(nRow, c.nCount);
    EXPECT_STREQ(c.pTable->pItems[0].code, c.lpcszFirstCode);
    EXPECT_EQ(c.pTable->pItems[0].name, Gbk(c.lpcszFirstName));
    EXPECT_STREQ(c.pTable->pItems[c.nCount - 1].code, c.lpcszLastCode);
    EXPECT_EQ(c.pTable->pItems[c.nCount - 1].name, Gbk(c.lpcszLastName));
}

INSTANTIATE_TEST_SUITE_P(
    Tables, CodeTableContent,
    testing::Values(TableCase{&g_codeMajors, "majors.tsv", 1597, "01000000", "哲学", "12070800", "体育保健学"},
                    TableCase{&g_codeSexes, "sexes.tsv", 2, "1", "男", "2", "女"},
                    TableCase{&g_codeEducations, "educations.tsv", 18, "01", "本科生毕业", "61", "高职"},
                    TableCase{&g_codeLanguages, "languages.tsv", 138, "en", "英语", "vi", "越南语"},
                    TableCase{&g_codeLanguageLevels, "language_levels.tsv", 6, "1", "精通", "8", "八级"},
                    TableCase{&g_codeProvinces, "provinces.tsv", 32, "0", "--不限--", "650000", "新疆"},
                    TableCase{&g_codePoliticalStatus, "political_status.tsv", 13, "01", "群众", "13", "无党派民主人士"},
                    TableCase{&g_codeRegions, "regions.tsv", 338, "0", "--不限--", "654300", "阿勒泰地区"},
                    TableCase{&g_codeEmployerTypes, "employer_types.tsv", 9, "0", "--不限--", "FA", "其它"},
                    TableCase{&g_codeIndustries, "industries.tsv", 29, "0", "--不限--", "T", "国际组织"},
                    TableCase{&g_codeJobCategories, "job_categories.tsv", 35, "0", "--不限--", "26A", "其他"},
                    TableCase{&g_codeGrassroots, "grassroots.tsv", 10, "00", "--无--", "09",
                              "地处省会及计划单列市以下地区的艰苦行业企、事业单位"}));

std::string NameOf(const CODETABLE& table, const char* lpcszCode)
{
    for (int i = 0; i < table.nCount; ++i)
        if (std::string(table.pItems[i].code) == lpcszCode)
            return table.pItems[i].name;
    return "(missing)";
}

TEST(CodeTables, KeepTheNamesThatLookLikeSlips)
{
    EXPECT_EQ(NameOf(g_codeLanguages, "tk"), Gbk("土库曼捂"));
    EXPECT_EQ(NameOf(g_codeLanguages, "m1"), Gbk("马拉亚拉姆语"));
    EXPECT_EQ(NameOf(g_codeLanguages, "rm"), Gbk("利托—罗曼语"));
    EXPECT_EQ(NameOf(g_codeJobCategories, "04B"), Gbk("---网络．通讯"));
    EXPECT_EQ(NameOf(g_codeIndustries, "S97"), Gbk("--基层群众自治组织"));
}

TEST(CodeTables, RegionsFollowTheProvincesInCodeOrder)
{
    const std::map<std::string, int> expected = {
        {"0", 1},   {"11", 1},  {"12", 1},  {"31", 1},  {"50", 1},  {"13", 11}, {"14", 11}, {"15", 12},
        {"21", 14}, {"22", 9},  {"23", 13}, {"32", 13}, {"33", 11}, {"34", 17}, {"35", 9},  {"36", 11},
        {"37", 17}, {"41", 17}, {"42", 13}, {"43", 14}, {"44", 21}, {"45", 14}, {"46", 3},  {"51", 21},
        {"52", 9},  {"53", 16}, {"54", 7},  {"61", 10}, {"62", 14}, {"63", 8},  {"64", 4},  {"65", 14}};
    std::map<std::string, int> counts;
    std::set<std::string> codes, names;
    for (int i = 0; i < g_codeRegions.nCount; ++i)
    {
        const std::string code = g_codeRegions.pItems[i].code;
        ++counts[code.substr(0, 2)];
        codes.insert(code);
        names.insert(g_codeRegions.pItems[i].name);
        if (i > 5)
        {
            EXPECT_LT(std::string(g_codeRegions.pItems[i - 1].code), code);
        }
    }
    EXPECT_EQ(counts, expected);
    EXPECT_EQ(codes.size(), 338u);
    EXPECT_EQ(names.size(), 338u);
    EXPECT_STREQ(g_codeRegions.pItems[4].code, "500000");
    EXPECT_STREQ(g_codeRegions.pItems[5].code, "130100");
    EXPECT_EQ(NameOf(g_codeRegions, "469000"), Gbk("省直辖县级行政单位"));
}

TEST(CodeTables, MajorsFormThreeLevelsPerDiscipline)
{
    // discipline -> {categories, majors}
    const std::map<std::string, std::pair<int, int>> expected = {
        {"01", {1, 6}},   {"02", {1, 58}},   {"03", {5, 58}}, {"04", {3, 76}}, {"05", {4, 190}}, {"06", {1, 12}},
        {"07", {17, 65}}, {"08", {27, 668}}, {"09", {7, 79}}, {"10", {9, 66}}, {"11", {6, 141}}, {"12", {7, 78}}};
    std::map<std::string, std::pair<int, int>> counts;
    std::map<std::string, int> names;
    for (int i = 0; i < g_codeMajors.nCount; ++i)
    {
        const std::string code = g_codeMajors.pItems[i].code;
        ASSERT_EQ(code.size(), 8u);
        if (i > 0)
        {
            EXPECT_LT(std::string(g_codeMajors.pItems[i - 1].code), code);
        }
        if (code.substr(4) == "0000" && code.substr(2) != "000000")
            ++counts[code.substr(0, 2)].first;
        else if (code.substr(2) != "000000")
            ++counts[code.substr(0, 2)].second;
        ++names[g_codeMajors.pItems[i].name];
    }
    EXPECT_EQ(counts, expected);
    std::set<std::string> twice;
    for (const auto& [name, n] : names)
        if (n > 1)
            twice.insert(name);
    EXPECT_EQ(twice, (std::set<std::string>{Gbk("哲学"), Gbk("经济学"), Gbk("法学"), Gbk("教育学"), Gbk("历史学"),
                                            Gbk("农学"), Gbk("广播电视工程")}));
}
} // namespace
