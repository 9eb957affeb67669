#include "SisSheet.h"

#include "TestKit.h"

#include "core/CodeLookup.h"
#include "core/StudentSchema.h"

namespace TestKit
{
namespace
{
struct SisColumn
{
    const char* lpcszTitle; // UTF-8
    int nField;             // -1: a column the program has no field for
    bool bName;             // the field's code is written as its name
};

const SisColumn kColumns[] = {
    {"序号", -1, false},
    {"学籍号", Field::XSBSH, false},
    {"姓名", Field::XM, false},
    {"性别", Field::XBDM, true},
    {"身份证号", -1, false},
    {"出生日期", Field::CSNY, false},
    {"班级", -1, false},
    {"专业名称", Field::ZYDM, true},
    {"学历", Field::XLDM, true},
    {"院校代码", Field::YXDM, false},
    {"生源所在地", Field::SYSZDQDM, true},
    {"手机", Field::SJHM, false},
    {"联系电话", Field::LXDH, false},
    {"邮编", Field::YZBM, false},
    {"电子邮箱", Field::DZXX, false},
    {"政治面貌", Field::ZZMMDM, true},
    {"主修外语语种", Field::ZXWYYZDM, true},
    {"毕业时间", Field::BYSJ, false},
    {"外语水平", Field::WYSPDM, false},
    {"意向工作地区", Field::YXGZDQDM, false},
    {"意向单位性质", Field::YXDWXZDM, false},
    {"意向单位行业", Field::YXDWHYDM, true},
    {"意向月薪", Field::YXYX, false},
    {"意向职业", Field::YXZYLBM, false},
    {"通讯地址", Field::TXDZ, false},
    {"备注", Field::BZ, false},
    {"参加下基层项目", Field::JICENG, false},
};
} // namespace

Row SisStudent(int n, bool bNewer)
{
    const std::string strSerial = std::to_string(10000000 + n);
    return StudentRecord(n)
        .With(Field::XBDM, n % 2 ? "1" : "2")
        .With(Field::SJHM, (bNewer ? "138" : "139") + strSerial)
        .With(Field::TXDZ, bNewer ? "北京市海淀区颐和园路5号" : "北京市西城区旧地址1号")
        .With(Field::BZ, "")
        .Gbk();
}

std::vector<Row> SisSheet(const std::vector<Row>& students)
{
    std::vector<Row> rows(1);
    for (const SisColumn& column : kColumns)
        rows[0].push_back(Gbk(column.lpcszTitle));
    for (std::size_t i = 0; i < students.size(); ++i)
    {
        Row row;
        for (const SisColumn& column : kColumns)
        {
            if (column.nField < 0)
                row.push_back(column.lpcszTitle == std::string("班级") ? Gbk("软件1班") : std::to_string(i + 1));
            else if (column.bName)
                row.push_back(LookupCodeName(students[i][column.nField], g_studentFields[column.nField].pTable));
            else
                row.push_back(students[i][column.nField]);
        }
        rows.push_back(row);
    }
    return rows;
}

std::string CsvOfRows(const std::vector<Row>& rows)
{
    std::string strText;
    for (const Row& row : rows)
    {
        for (std::size_t i = 0; i < row.size(); ++i)
            strText.append(i > 0 ? "," : "").append(row[i]);
        strText += "\r\n";
    }
    return strText;
}

std::string SisMapText()
{
    std::string strText = "# 学籍系统导出的名单\n";
    for (const SisColumn& column : kColumns)
    {
        if (column.nField >= 0)
            strText += std::string(g_studentFields[column.nField].lpcszName) + "=" + column.lpcszTitle + "\n";
    }
    return strText;
}
} // namespace TestKit
