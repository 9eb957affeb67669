#include "core/RecordCheck.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "core/Gbk.h"

const char* const g_lpcszCheckCaption = "帮助信息";

namespace
{
// What a rule tests when it is more than "the field is empty".
enum class Test
{
    Empty,
    BothPhonesEmpty,
    NoBirthDate,
    NoGraduationDate,
    BadMailAddress,
    BadPostalCodeLength,
    NumberAlreadyStored,
};

// One acceptance rule: the field it is about and its test.
struct CheckRule
{
    int nField;
    Test test;
    const char* lpcszMessage;
};

// The checks in the order the user is told about them; the first that fails is reported.
constexpr std::array<CheckRule, 23> kRules = {{
    {Field::XSBSH, Test::Empty, "学号就是学生在学校的编号，这是必填内容。"},
    {Field::ZYDM, Test::Empty, "请选择正确的专业，如果觉得可选项多，可输关键字进行快选，比如：“数学类”的输入“数”。"},
    {Field::XM, Test::Empty, "请输入姓名，这要求必须填写。"},
    {Field::XBDM, Test::Empty, "性别要求必须填写正确。"},
    {Field::XLDM, Test::Empty, "学历代码请选择一项。"},
    {Field::ZXWYYZDM, Test::Empty, "主修外语语种必须选择。"},
    {Field::SYSZDQDM, Test::Empty, "生源所在地址必须选择一项。"},
    {Field::WYSPDM, Test::Empty, "外语水平请指明一项。"},
    {Field::ZZMMDM, Test::Empty, "政治面貌请选择一项。"},
    {Field::YXGZDQDM, Test::Empty, "意向工作地址请选择一项。"},
    {Field::YXDWXZDM, Test::Empty, "意向单位性质请选择一项。"},
    {Field::YXDWHYDM, Test::Empty, "意向单位行业请选择一项。"},
    {Field::YXYX, Test::Empty, "意向薪水请选择一项。"},
    {Field::YXZYLBM, Test::Empty, "意向职业类别请选择一项。"},
    {Field::LXDH, Test::BothPhonesEmpty, "手机号码和联系电话至少必须填写一个。"},
    {Field::TXDZ, Test::Empty, "通信地址要求填写，以便联系。"},
    {Field::YZBM, Test::Empty, "邮政编码要求填写，以便联系。"},
    {Field::JICENG, Test::Empty, "参加下基层项目请选择一项。"},
    {Field::CSNY, Test::NoBirthDate, "出生年月要求必须填写。"},
    {Field::BYSJ, Test::NoGraduationDate, "毕业时间要求必须填写。"},
    {Field::DZXX, Test::BadMailAddress, "您输入的邮箱地址格式不对，请重新输入！"},
    {Field::YZBM, Test::BadPostalCodeLength, "您输入的邮政编码位数不对，邮件编码规定是六位数！"},
    {Field::XSBSH, Test::NumberAlreadyStored, "您已经把这个学号加入到数据里了，不能重复加入！"},
}};

// The at sign is looked for by characters, so the second byte of a Chinese character never counts.
// Before an at sign that only single-byte characters precede, no second byte can be one.
bool BadMailAddress(std::string_view mail)
{
    const std::size_t nByte = mail.find('@');
    if (nByte == std::string_view::npos)
        return true;
    const bool bSingleBytes = std::all_of(mail.begin(), mail.begin() + static_cast<std::ptrdiff_t>(nByte),
                                          [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
    const std::size_t nAt = bSingleBytes ? nByte : Gbk::Find(mail, "@");
    return nAt == std::string_view::npos || nAt == 0;
}

// Whether the student number is stored already: asked of the editor's input only when every other
// check passed, and known beforehand for viewed values.
bool NumberTaken(const RecordCheckInput& in)
{
    return in.bAddMode && in.isStudentNumberFree && !in.isStudentNumberFree(in.values[Field::XSBSH]);
}

bool NumberTaken(const RecordCheckValues& in)
{
    return in.bNumberTaken;
}

template <typename Input> bool Fails(const CheckRule& rule, const Input& in)
{
    const auto value = [&in](int nField) { return std::string_view(in.values[nField]); };
    switch (rule.test)
    {
    case Test::Empty:
        return value(rule.nField).empty();
    case Test::BothPhonesEmpty:
        return value(Field::LXDH).empty() && value(Field::SJHM).empty();
    case Test::NoBirthDate:
        return in.timeCSNY <= 0;
    case Test::NoGraduationDate:
        return in.timeBYSJ <= 0;
    case Test::BadMailAddress:
        return BadMailAddress(value(Field::DZXX));
    case Test::BadPostalCodeLength:
        return value(Field::YZBM).size() != 6;
    case Test::NumberAlreadyStored:
        return NumberTaken(in);
    }
    return false;
}

template <typename Input> RecordCheckResult FirstFailing(const Input& in)
{
    for (std::size_t i = 0; i < kRules.size(); ++i)
    {
        if (Fails(kRules[i], in))
            return {static_cast<int>(i) + 1, kRules[i].nField, kRules[i].lpcszMessage};
    }
    return {};
}
} // namespace

RecordCheckResult CheckStudentRecord(const RecordCheckInput& input)
{
    return FirstFailing(input);
}

RecordCheckResult CheckStudentRecord(const RecordCheckValues& values)
{
    return FirstFailing(values);
}

RecordCheckResult CheckStudentField(const RecordCheckInput& input, int nField)
{
    for (std::size_t i = 0; i < kRules.size(); ++i)
    {
        const CheckRule& rule = kRules[i];
        const bool bAbout = rule.nField == nField || (rule.test == Test::BothPhonesEmpty && nField == Field::SJHM);
        if (bAbout && Fails(rule, input))
            return {static_cast<int>(i) + 1, rule.nField, rule.lpcszMessage};
    }
    return {};
}

BOOL IsStudentNumberFree(const CMemTable& students, const std::string& strNumber)
{
    const int nRows = students.GetRowCount();
    for (int nRow = 0; nRow < nRows; ++nRow)
    {
        if (strNumber == students.GetCell(nRow, g_studentFields[Field::XSBSH].lpcszName))
            return FALSE;
    }
    return TRUE;
}
