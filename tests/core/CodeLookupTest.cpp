#include "DataTestSupport.h"

#include <gtest/gtest.h>

#include "core/DataFunc.h"

namespace
{
std::vector<std::string> Names(const std::vector<const CODEITEM*>& rows)
{
    std::vector<std::string> names;
    for (const CODEITEM* pRow : rows)
        names.push_back(pRow->name);
    return names;
}

std::vector<std::string> GbkList(std::initializer_list<const char*> utf8)
{
    std::vector<std::string> out;
    for (const char* lpcsz : utf8)
        out.push_back(Gbk(lpcsz));
    return out;
}

// No test builds anything first: every lookup works from the first call.
class CodeLookup : public testing::Test
{
};

TEST_F(CodeLookup, MajorCategoriesAreTheLevelTwoRows)
{
    const CODETABLE& categories = MajorCategories();
    EXPECT_EQ(&MajorCategories(), &categories); // built once
    ASSERT_EQ(categories.nCount, 88);
    EXPECT_STREQ(categories.pItems[0].code, "01010000");
    EXPECT_EQ(categories.pItems[0].name, Gbk("哲学类"));
    EXPECT_STREQ(categories.pItems[87].code, "12070000");
    EXPECT_EQ(categories.pItems[87].name, Gbk("军事体育类"));
}

struct FieldCodeCase
{
    const char* lpcszText; // UTF-8
    const char* lpcszField;
    const char* lpcszCode; // UTF-8
};

void PrintTo(const FieldCodeCase& c, std::ostream* pOut)
{
    *pOut << c.lpcszField << " \"" << c.lpcszText << '"';
}

class FieldCode : public CodeLookup, public testing::WithParamInterface<FieldCodeCase>
{
};

TEST_P(FieldCode, TurnsTheDisplayTextIntoTheStoredCode)
{
    const FieldCodeCase& c = GetParam();
    EXPECT_EQ(LookupFieldCode(Gbk(c.lpcszText), c.lpcszField), Gbk(c.lpcszCode));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FieldCode,
    testing::Values(FieldCodeCase{"男", "XBDM", "1"}, FieldCodeCase{"男", "xbdm", "1"}, FieldCodeCase{"男", "XM", "男"},
                    FieldCodeCase{"1000-2000 ", "YXYX", "1000-2000 "},
                    // the first of two equal names wins
                    FieldCodeCase{"哲学", "ZYDM", "01000000"}, FieldCodeCase{"广播电视工程", "ZYDM", "05035200"},
                    FieldCodeCase{"it、通信类工程师", "YXZYLBM", "04A"}, FieldCodeCase{"--不限--", "YXGZDQDM", "0"},
                    FieldCodeCase{"--无--", "JICENG", "00"}, FieldCodeCase{"海南省", "SYSZDQDM", "460000"},
                    FieldCodeCase{"火星语", "ZXWYYZDM", "火星语"}, FieldCodeCase{"", "XBDM", ""}));

TEST_F(CodeLookup, CodeNameIgnoresLetterCaseAndFallsBackToTheCode)
{
    EXPECT_EQ(LookupCodeName("ab", &g_codeLanguages), Gbk("阿布哈兹语"));
    EXPECT_EQ(LookupCodeName("AB", &g_codeLanguages), Gbk("阿布哈兹语"));
    EXPECT_EQ(LookupCodeName("xx", &g_codeLanguages), "xx");
    EXPECT_EQ(LookupCodeName("s93", &g_codeIndustries), Gbk("--中国共产党机关"));
    EXPECT_EQ(LookupCodeName("1", nullptr), "1");
    const CODETABLE empty = {nullptr, 0};
    EXPECT_EQ(LookupCodeName("1", &empty), "1");
}

TEST_F(CodeLookup, FindCodeByNameIsExact)
{
    EXPECT_EQ(FindCodeByName(Gbk("IT、通信类工程师"), g_codeJobCategories), "04A");
    EXPECT_EQ(FindCodeByName(Gbk("it、通信类工程师"), g_codeJobCategories), "");
    EXPECT_EQ(FindCodeByName(Gbk("哲学"), g_codeMajors), "01000000");
    EXPECT_EQ(FindCodeByName(Gbk("北京市 "), g_codeProvinces), "");
}

TEST_F(CodeLookup, ProvinceSelectsItsRegions)
{
    EXPECT_EQ(Names(RegionsOfProvince(Gbk("--不限--"))), GbkList({"--不限--"}));
    EXPECT_EQ(Names(RegionsOfProvince(Gbk("北京市"))), GbkList({"北京市"}));
    EXPECT_EQ(Names(RegionsOfProvince(Gbk("海南省"))), GbkList({"海口市", "三亚市", "省直辖县级行政单位"}));
    EXPECT_EQ(RegionsOfProvince(Gbk("江苏省")).size(), 13u);
}

TEST_F(CodeLookup, CategorySelectsItselfAndItsMajors)
{
    EXPECT_EQ(Names(MajorsOfCategory(Gbk("数学类"))),
              GbkList({"数学类", "数学与应用数学", "信息与计算科学", "计算数学及其应用软件", "数学", "应用数学",
                       "信息科学"}));
    EXPECT_EQ(RowsWithPrefix(g_codeSexes, "").size(), 2u);
    EXPECT_TRUE(RowsWithPrefix(g_codeMajors, "99").empty());
}

TEST_F(CodeLookup, DerivedEditorValues)
{
    EXPECT_EQ(DeriveWorkProvince("460200"), Gbk("海南省"));
    EXPECT_EQ(DeriveWorkProvince("110000"), Gbk("北京市"));
    EXPECT_EQ(DeriveWorkProvince("0"), "00000");
    EXPECT_EQ(DeriveMajorCategory("07014100"), Gbk("数学类"));
    EXPECT_EQ(DeriveMajorCategory("07000000"), "07000000");
}
} // namespace
