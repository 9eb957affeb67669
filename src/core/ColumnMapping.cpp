#include "core/ColumnMapping.h"

#include <algorithm>

#include "core/Gbk.h"
#include "core/ImportTable.h"
#include "core/StudentImport.h"

namespace
{
struct UsualTitle
{
    int nField;
    const char* lpcszTitle;
};

// Titles that student information systems and registrars' own sheets give the fields, beside
// the fields' own names and the program's labels.
const UsualTitle kUsualTitles[] = {
    {Field::XSBSH, "学生号"},
    {Field::XSBSH, "学籍号"},
    {Field::XSBSH, "学生编号"},
    {Field::YXDM, "学校代码"},
    {Field::ZYDM, "专业名称"},
    {Field::ZYDM, "专业代码"},
    {Field::XM, "学生姓名"},
    {Field::CSNY, "出生日期"},
    {Field::XLDM, "学历层次"},
    {Field::ZXWYYZDM, "外语语种"},
    {Field::BYSJ, "毕业日期"},
    {Field::SYSZDQDM, "生源所在地"},
    {Field::SYSZDQDM, "生源地区"},
    {Field::DZXX, "电子邮箱"},
    {Field::DZXX, "邮箱"},
    {Field::DZXX, "Email"},
    {Field::DZXX, "E-mail"},
    {Field::YXDWXZDM, "单位性质"},
    {Field::YXZYLBM, "意向职业类别"},
    {Field::LXDH, "电话"},
    {Field::SJHM, "手机"},
    {Field::SJHM, "手机号"},
    {Field::SJHM, "移动电话"},
    {Field::TXDZ, "通讯地址"},
    {Field::TXDZ, "地址"},
    {Field::YZBM, "邮编"},
    {Field::JICENG, "基层项目"},
};

bool IsTitle(std::string_view title, const char* lpcszName)
{
    return Gbk::EqualsNoCase(title, lpcszName);
}
} // namespace

int FieldOfExactTitle(std::string_view title)
{
    title = Gbk::Trim(title);
    for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
    {
        if (IsTitle(title, g_studentFields[f].lpcszName) || title == g_studentFields[f].lpcszListLabel)
            return f;
    }
    return -1;
}

int FieldOfUsualTitle(std::string_view title)
{
    title = Gbk::Trim(title);
    if (const int nField = FieldOfExactTitle(title); nField >= 0)
        return nField;
    for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
    {
        if (title == g_studentFields[f].lpcszEditorLabel)
            return f;
    }
    for (const UsualTitle& usual : kUsualTitles)
    {
        if (IsTitle(title, usual.lpcszTitle))
            return usual.nField;
    }
    return -1;
}

bool NamesEveryField(const std::vector<std::string_view>& titles)
{
    std::array<int, STUDENT_FIELD_COUNT> named{};
    for (std::string_view title : titles)
    {
        if (const int nField = FieldOfExactTitle(title); nField >= 0)
            ++named[static_cast<std::size_t>(nField)];
    }
    return std::all_of(named.begin(), named.end(), [](int n) { return n == 1; });
}

std::vector<std::string_view> HeaderTitles(const CImportTable& table)
{
    std::vector<std::string_view> titles;
    for (int c = 0; c < table.ColCount(); ++c)
        titles.push_back(table.Title(c));
    return titles;
}

ColumnMapping ProposeMapping(const CImportTable& table)
{
    ColumnMapping mapping;
    std::vector<bool> taken(static_cast<std::size_t>(table.ColCount()), false);
    // Exact names first, so that a usual title never takes the column a field is named in. Only a
    // title names a field, and a column with one is never empty: no pass over the rows is needed.
    for (int (*pfnFieldOf)(std::string_view) : {&FieldOfExactTitle, &FieldOfUsualTitle})
    {
        for (int c = 0; c < table.ColCount(); ++c)
        {
            const int nField = pfnFieldOf(table.Title(c));
            if (nField >= 0 && mapping.columnOf[nField] < 0 && !taken[static_cast<std::size_t>(c)])
            {
                mapping.columnOf[nField] = c;
                taken[static_cast<std::size_t>(c)] = true;
            }
        }
    }
    return mapping;
}

BOOL ParseMappingText(std::string_view text, const CImportTable& table, ColumnMapping& mapping, std::string& strError)
{
    const std::vector<int> columns = table.UsedColumns();
    int nLine = 0;
    while (!text.empty())
    {
        const std::size_t nEnd = std::min(text.find('\n'), text.size());
        const std::string_view line = Gbk::Trim(text.substr(0, nEnd));
        text.remove_prefix(std::min(nEnd + 1, text.size()));
        ++nLine;
        if (line.empty() || line.front() == '#')
            continue;
        const std::string strPlace = "对照文件第" + std::to_string(nLine) + "行";
        const std::size_t nEqual = line.find('=');
        const std::string_view name = Gbk::Trim(line.substr(0, nEqual));
        const auto field = std::find_if(std::begin(g_studentFields), std::end(g_studentFields),
                                        [&](const STUDENTFIELD& f) { return IsTitle(name, f.lpcszName); });
        if (nEqual == std::string_view::npos || field == std::end(g_studentFields))
            return FailWithMessage(strError, strPlace + "应是“字段名=列标题”，字段名是24个字段名之一（如XSBSH）。");
        const std::string_view title = Gbk::Trim(line.substr(nEqual + 1));
        const auto nField = static_cast<std::size_t>(field - std::begin(g_studentFields));
        mapping.columnOf[nField] = -1;
        if (title.empty())
            continue;
        const auto column =
            std::find_if(columns.begin(), columns.end(), [&](int c) { return table.Title(c) == title; });
        if (column == columns.end())
            return FailWithMessage(strError, strPlace + "：文件中没有标题为“" + std::string(title) + "”的列。");
        mapping.columnOf[nField] = *column;
    }
    return TRUE;
}

std::string MappingText(const ColumnMapping& mapping, const CImportTable& table)
{
    std::string strText;
    for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
    {
        strText.append(g_studentFields[f].lpcszName).append("=");
        if (mapping.columnOf[f] >= 0)
            strText.append(table.Title(mapping.columnOf[f]));
        strText.append("\n");
    }
    return strText;
}
