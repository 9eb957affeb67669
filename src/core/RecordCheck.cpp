#include "core/RecordCheck.h"

#include <array>

#include "core/Gbk.h"

const char* const g_lpcszCheckCaption = "帮助信息";

namespace
{
using FailsFn = bool (*)(const RecordCheckInput&);

// One acceptance rule: the field it is about and, when it is more than "the field is empty", its test.
struct CheckRule
{
    int nField;
    FailsFn pfnFails; // null: fails when the field is empty
    const char* lpcszMessage;
};

bool BothPhonesEmpty(const RecordCheckInput& in)
{
    return in.values[Field::LXDH].empty() && in.values[Field::SJHM].empty();
}

bool NoBirthDate(const RecordCheckInput& in)
{
    return in.timeCSNY <= 0;
}

bool NoGraduationDate(const RecordCheckInput& in)
{
    return in.timeBYSJ <= 0;
}

// The at sign is looked for by characters, so the second byte of a Chinese character never counts.
bool BadMailAddress(const RecordCheckInput& in)
{
    const std::size_t nAt = Gbk::Find(in.values[Field::DZXX], "@");
    return nAt == std::string::npos || nAt == 0;
}

bool BadPostalCodeLength(const RecordCheckInput& in)
{
    return in.values[Field::YZBM].size() != 6;
}

bool NumberAlreadyStored(const RecordCheckInput& in)
{
    if (!in.bAddMode)
        return false;
    const std::string& strNumber = in.values[Field::XSBSH];
    return in.isStudentNumberFree && !in.isStudentNumberFree(strNumber);
}

// The checks in the order the user is told about them; the first that fails is reported.
constexpr std::array<CheckRule, 23> kRules = {{
    {Field::XSBSH, nullptr, "学号就是学生在学校的编号，这是必填内容。"},
    {Field::ZYDM, nullptr, "请选择正确的专业，如果觉得可选项多，可输关键字进行快选，比如：“数学类”的输入“数”。"},
    {Field::XM, nullptr, "请输入姓名，这要求必须填写。"},
    {Field::XBDM, nullptr, "性别要求必须填写正确。"},
    {Field::XLDM, nullptr, "学历代码请选择一项。"},
    {Field::ZXWYYZDM, nullptr, "主修外语语种必须选择。"},
    {Field::SYSZDQDM, nullptr, "生源所在地址必须选择一项。"},
    {Field::WYSPDM, nullptr, "外语水平请指明一项。"},
    {Field::ZZMMDM, nullptr, "政治面貌请选择一项。"},
    {Field::YXGZDQDM, nullptr, "意向工作地址请选择一项。"},
    {Field::YXDWXZDM, nullptr, "意向单位性质请选择一项。"},
    {Field::YXDWHYDM, nullptr, "意向单位行业请选择一项。"},
    {Field::YXYX, nullptr, "意向薪水请选择一项。"},
    {Field::YXZYLBM, nullptr, "意向职业类别请选择一项。"},
    {Field::LXDH, BothPhonesEmpty, "手机号码和联系电话至少必须填写一个。"},
    {Field::TXDZ, nullptr, "通信地址要求填写，以便联系。"},
    {Field::YZBM, nullptr, "邮政编码要求填写，以便联系。"},
    {Field::JICENG, nullptr, "参加下基层项目请选择一项。"},
    {Field::CSNY, NoBirthDate, "出生年月要求必须填写。"},
    {Field::BYSJ, NoGraduationDate, "毕业时间要求必须填写。"},
    {Field::DZXX, BadMailAddress, "您输入的邮箱地址格式不对，请重新输入！"},
    {Field::YZBM, BadPostalCodeLength, "您输入的邮政编码位数不对，邮件编码规定是六位数！"},
    {Field::XSBSH, NumberAlreadyStored, "您已经把这个学号加入到数据里了，不能重复加入！"},
}};
} // namespace

RecordCheckResult CheckStudentRecord(const RecordCheckInput& input)
{
    for (std::size_t i = 0; i < kRules.size(); ++i)
    {
        const CheckRule& rule = kRules[i];
        const bool bFails = rule.pfnFails ? rule.pfnFails(input) : input.values[rule.nField].empty();
        if (bFails)
            return {static_cast<int>(i) + 1, rule.nField, rule.lpcszMessage};
    }
    return {};
}

RecordCheckResult CheckStudentField(const RecordCheckInput& input, int nField)
{
    for (std::size_t i = 0; i < kRules.size(); ++i)
    {
        const CheckRule& rule = kRules[i];
        const bool bAbout = rule.nField == nField || (rule.pfnFails == BothPhonesEmpty && nField == Field::SJHM);
        if (bAbout && (rule.pfnFails ? rule.pfnFails(input) : input.values[rule.nField].empty()))
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
