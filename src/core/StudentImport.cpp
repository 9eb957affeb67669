#include "core/StudentImport.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "core/Gbk.h"
#include "core/MemTable.h"
#include "core/MemTableTexts.h"
#include "platform/Encoding.h"

namespace
{
constexpr int kMaxColumns = 100; // the most names a table header may have

template <typename... Args> std::string FormatMessage(const char* lpcszFormat, Args... args)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, lpcszFormat, args...);
    return buffer;
}

bool HasHighByte(const std::string& value)
{
    return std::any_of(value.begin(), value.end(), [](char ch) { return static_cast<unsigned char>(ch) >= 0x80; });
}

// The data file separates values by TAB and lines by CR LF: it could not keep these.
bool HasLineBreakOrTab(const std::string& value)
{
    return std::any_of(value.begin(), value.end(), [](char ch) { return ch == '\t' || ch == '\r' || ch == '\n'; });
}
} // namespace

std::string GbkMessage(const std::string& strUtf8)
{
    return Encoding::Utf8ToGbk(strUtf8).value_or(strUtf8);
}

BOOL FailWithMessage(std::string& strError, std::string strMessage)
{
    strError = std::move(strMessage);
    return FALSE;
}

CStudentImport::CStudentImport() : m_strTable(g_lpcszStudentColumns) {}

std::string CStudentImport::DescribeField(const std::string& strName)
{
    for (const STUDENTFIELD& field : g_studentFields)
    {
        if (strName == field.lpcszName)
            return "“" + std::string(field.lpcszListLabel) + "”（" + strName + "）";
    }
    return strName;
}

BOOL CStudentImport::SetHeader(std::vector<std::string>& names, int nNames, std::string& strError)
{
    names.resize(std::min(names.size(), static_cast<std::size_t>(nNames)));
    for (std::string& name : names)
        name = std::string(Gbk::Trim(name));
    if (nNames > kMaxColumns)
        return FailWithMessage(strError, MemTableText::kTooManyColumns);
    for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
    {
        const auto found = std::find(names.begin(), names.end(), g_studentFields[f].lpcszName);
        if (found == names.end())
            return FailWithMessage(strError, "导入文件必须是CSV格式文件，并且有预定义的字段。");
        m_columnOfField[f] = static_cast<std::size_t>(found - names.begin());
    }
    if (nNames != STUDENT_FIELD_COUNT)
        return FailWithMessage(strError, "导入失败。");
    m_names = names;
    return TRUE;
}

bool CStudentImport::IsLabelRow(const std::vector<std::string>& values) const
{
    for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
    {
        if (Gbk::Trim(values[m_columnOfField[f]]) != g_studentFields[f].lpcszListLabel)
            return false;
    }
    return true;
}

BOOL CStudentImport::AddRecord(const std::vector<std::string>& values, int nValues, const std::string& strPlace,
                               bool bCheckGbk, std::string& strError)
{
    if (nValues != STUDENT_FIELD_COUNT)
        return FailWithMessage(strError, FormatMessage("%s有%d个值，应与标题行一样是%d个。", strPlace.c_str(), nValues,
                                                       STUDENT_FIELD_COUNT));
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
    {
        const char* lpcszProblem = nullptr;
        if (HasLineBreakOrTab(values[c]))
            lpcszProblem = "含有换行符或制表符，数据文件不能保存这样的值";
        else if (values[c].find('\0') != std::string::npos) // text never holds one: a binary file or a broken encoding
            lpcszProblem = "含有空字符（NUL），这不是文本，请检查文件";
        else if (bCheckGbk && HasHighByte(values[c]) && !Encoding::IsValidGbk(values[c]))
            lpcszProblem = "不是有效的GBK文本，请检查文件的编码";
        if (lpcszProblem)
            return FailWithMessage(strError, FormatMessage("%s%s的值%s。", strPlace.c_str(),
                                                           DescribeField(m_names[c]).c_str(), lpcszProblem));
    }
    const bool bFirst = std::exchange(m_bFirstRecord, false);
    if (bFirst && IsLabelRow(values))
        return TRUE;
    // No value holds a TAB, CR, LF or NUL, so the table parser takes every value back exactly.
    for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
        m_strTable.append(values[m_columnOfField[f]]).append(f + 1 < STUDENT_FIELD_COUNT ? "\t" : "\r\n");
    return TRUE;
}

BOOL CStudentImport::Finish(CMemTable& table, std::string& strError)
{
    const BOOL bLoaded = table.Load(m_strTable);
    std::string().swap(m_strTable);
    return bLoaded ? TRUE : FailWithMessage(strError, "导入失败。");
}
