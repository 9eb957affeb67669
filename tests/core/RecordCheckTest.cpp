#include "core/RecordCheck.h"

#include "TestKit.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
// A record that breaks every rule: empty values, no dates, a number already stored, add mode.
RecordCheckInput BrokenRecord()
{
    RecordCheckInput input;
    input.isStudentNumberFree = [](const std::string&) { return false; };
    return input;
}

struct CheckStep
{
    const char* lpcszMessage;                   // UTF-8
    std::function<void(RecordCheckInput&)> fix; // makes this check pass
};

std::function<void(RecordCheckInput&)> Set(int nField, const char* lpcszValue)
{
    return [=](RecordCheckInput& in) { in.values[nField] = lpcszValue; };
}

// The rules in order with the change that satisfies each.
const std::vector<CheckStep>& Steps()
{
    static const std::vector<CheckStep> steps = {
        {"学号就是学生在学校的编号，这是必填内容。", Set(Field::XSBSH, "2006001")},
        {"请选择正确的专业，如果觉得可选项多，可输关键字进行快选，比如：“数学类”的输入“数”。", Set(Field::ZYDM, "x")},
        {"请输入姓名，这要求必须填写。", Set(Field::XM, " ")}, // a blank counts as content
        {"性别要求必须填写正确。", Set(Field::XBDM, "x")},
        {"学历代码请选择一项。", Set(Field::XLDM, "x")},
        {"主修外语语种必须选择。", Set(Field::ZXWYYZDM, "x")},
        {"生源所在地址必须选择一项。", Set(Field::SYSZDQDM, "x")},
        {"外语水平请指明一项。", Set(Field::WYSPDM, "x")},
        {"政治面貌请选择一项。", Set(Field::ZZMMDM, "x")},
        {"意向工作地址请选择一项。", Set(Field::YXGZDQDM, "x")},
        {"意向单位性质请选择一项。", Set(Field::YXDWXZDM, "x")},
        {"意向单位行业请选择一项。", Set(Field::YXDWHYDM, "x")},
        {"意向薪水请选择一项。", Set(Field::YXYX, "x")},
        {"意向职业类别请选择一项。", Set(Field::YXZYLBM, "x")},
        {"手机号码和联系电话至少必须填写一个。", Set(Field::SJHM, "1")},
        {"通信地址要求填写，以便联系。", Set(Field::TXDZ, "x")},
        {"邮政编码要求填写，以便联系。", Set(Field::YZBM, "12345")},
        {"参加下基层项目请选择一项。", Set(Field::JICENG, "x")},
        {"出生年月要求必须填写。", [](RecordCheckInput& in) { in.timeCSNY = 1; }},
        {"毕业时间要求必须填写。", [](RecordCheckInput& in) { in.timeBYSJ = 1; }},
        {"您输入的邮箱地址格式不对，请重新输入！", Set(Field::DZXX, "a@")},
        {"您输入的邮政编码位数不对，邮件编码规定是六位数！", Set(Field::YZBM, "123456")},
        {"您已经把这个学号加入到数据里了，不能重复加入！",
         [](RecordCheckInput& in) { in.isStudentNumberFree = [](const std::string&) { return true; }; }},
    };
    return steps;
}

RecordCheckInput ValidRecord()
{
    RecordCheckInput input = BrokenRecord();
    for (const CheckStep& step : Steps())
        step.fix(input);
    return input;
}

class RecordCheckOrder : public testing::TestWithParam<int>
{
};

// With the rules before check n satisfied and all others broken, check n is the one reported.
TEST_P(RecordCheckOrder, ReportsTheFirstFailedCheck)
{
    const int nCheck = GetParam();
    RecordCheckInput input = BrokenRecord();
    for (int i = 0; i < nCheck - 1; ++i)
        Steps()[i].fix(input);
    const RecordCheckResult result = CheckStudentRecord(input);
    EXPECT_EQ(result.nCheck, nCheck);
    ASSERT_NE(result.lpcszMessage, nullptr);
    EXPECT_EQ(std::string(result.lpcszMessage), Gbk(Steps()[nCheck - 1].lpcszMessage));
}

INSTANTIATE_TEST_SUITE_P(AllChecks, RecordCheckOrder, testing::Range(1, 24));

TEST(RecordCheck, AcceptsARecordThatKeepsEveryRule)
{
    const RecordCheckResult result = CheckStudentRecord(ValidRecord());
    EXPECT_EQ(result.nCheck, 0);
    EXPECT_EQ(result.lpcszMessage, nullptr);
    EXPECT_EQ(std::string(g_lpcszCheckCaption), Gbk("帮助信息"));
}

struct FieldCase
{
    const char* lpcszName;
    int nField;
    std::string value;
    int nExpectedCheck;
};

class RecordCheckField : public testing::TestWithParam<FieldCase>
{
};

TEST_P(RecordCheckField, JudgesTheValue)
{
    RecordCheckInput input = ValidRecord();
    input.values[GetParam().nField] = GetParam().value;
    EXPECT_EQ(CheckStudentRecord(input).nCheck, GetParam().nExpectedCheck);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RecordCheckField,
    testing::Values(FieldCase{"OneLetterBeforeAtPasses", Field::DZXX, "a@", 0},
                    FieldCase{"LeadingAtFails", Field::DZXX, "@a", 21},
                    FieldCase{"NoAtFails", Field::DZXX, "ab.cn", 21}, FieldCase{"EmptyMailFails", Field::DZXX, "", 21},
                    // 0x81 0x40 is one Chinese character whose second byte has the at sign's value.
                    FieldCase{"AtByteInsideACharacterDoesNotCount", Field::DZXX, "\x81\x40x", 21},
                    FieldCase{"AtAfterAChineseCharacterPasses", Field::DZXX, "\x81\x40@", 0},
                    FieldCase{"FiveDigitPostalCodeFails", Field::YZBM, "12345", 22},
                    FieldCase{"SevenBytePostalCodeFails", Field::YZBM, "1234567", 22},
                    // Three Chinese characters are six bytes: the length rule counts bytes.
                    FieldCase{"SixBytesOfPostalCodePass", Field::YZBM, Gbk("邮政码"), 0},
                    FieldCase{"MobileAloneIsEnough", Field::LXDH, "", 0},
                    FieldCase{"EmptyRemarksPass", Field::BZ, "", 0},
                    FieldCase{"EmptySchoolCodePasses", Field::YXDM, "", 0}),
    [](const testing::TestParamInfo<FieldCase>& info) { return std::string(info.param.lpcszName); });

TEST(RecordCheck, EitherTelephoneIsEnough)
{
    RecordCheckInput input = ValidRecord();
    input.values[Field::SJHM] = "";
    input.values[Field::LXDH] = "010";
    EXPECT_EQ(CheckStudentRecord(input).nCheck, 0);
    input.values[Field::LXDH] = "";
    EXPECT_EQ(CheckStudentRecord(input).nCheck, 15);
}

TEST(RecordCheck, DuplicateNumberCountsInAddModeOnly)
{
    RecordCheckInput input = ValidRecord();
    input.isStudentNumberFree = [](const std::string&) { return false; };
    EXPECT_EQ(CheckStudentRecord(input).nCheck, 23);
    input.bAddMode = false;
    EXPECT_EQ(CheckStudentRecord(input).nCheck, 0);
}

TEST(RecordCheck, StudentNumberIsComparedByteForByteWithTheStoredOnes)
{
    CMemTable students;
    ASSERT_TRUE(CreateStudentTable(students));
    students.AddRows(2);
    students.SetCell(0, Field::XSBSH, "2006001");
    students.SetCell(1, Field::XSBSH, "2006002");

    EXPECT_FALSE(IsStudentNumberFree(students, "2006002"));
    EXPECT_TRUE(IsStudentNumberFree(students, "2006002 "));
    EXPECT_TRUE(IsStudentNumberFree(students, "2006003"));

    // The editor's check asks the student table.
    RecordCheckInput input = ValidRecord();
    input.isStudentNumberFree = [&students](const std::string& strNumber) {
        return IsStudentNumberFree(students, strNumber);
    };
    input.values[Field::XSBSH] = "2006001";
    EXPECT_EQ(CheckStudentRecord(input).nCheck, 23);
    input.values[Field::XSBSH] = "2006009";
    EXPECT_EQ(CheckStudentRecord(input).nCheck, 0);
}
} // namespace
