#include "core/StudentSchema.h"

// Byte limits are those of the editor's text controls; lists, dates and codes have none.
const STUDENTFIELD g_studentFields[STUDENT_FIELD_COUNT] = {
    {"XSBSH", "学号", "学号", 15, nullptr},
    {"YXDM", "院校代码", "院校代码", 5, nullptr},
    {"ZYDM", "专业", "专业名称", 0, &g_codeMajors},
    {"XM", "姓名", "姓名", 30, nullptr},
    {"XBDM", "性别", "姓别", 0, &g_codeSexes},
    {"CSNY", "出生年月", "出生年月", 0, nullptr},
    {"XLDM", "学历", "学历名称", 0, &g_codeEducations},
    {"ZXWYYZDM", "主修外语语种", "主修外语语种", 0, &g_codeLanguages},
    {"BYSJ", "毕业时间", "毕业时间", 0, nullptr},
    {"SYSZDQDM", "生源地", "生源所在地", 0, &g_codeProvinces},
    {"WYSPDM", "外语水平", "外语水平", 0, &g_codeLanguageLevels},
    {"DZXX", "电子信箱", "电子信箱", 30, nullptr},
    {"ZZMMDM", "政治面貌", "政治面貌", 0, &g_codePoliticalStatus},
    {"YXGZDQDM", "意向工作地区", "意向工作地区", 0, &g_codeRegions},
    {"YXDWXZDM", "意向单位性质", "单位性质", 0, &g_codeEmployerTypes},
    {"YXDWHYDM", "意向单位行业", "意向单位行业", 0, &g_codeIndustries},
    {"YXYX", "意向月薪", "意向月薪", 0, nullptr},
    {"YXZYLBM", "意向职业", "意向职业类别", 0, &g_codeJobCategories},
    {"LXDH", "联系电话", "联系电话", 20, nullptr},
    {"SJHM", "手机号码", "移动电话", 12, nullptr},
    {"TXDZ", "通信地址", "通讯地址", 50, nullptr},
    {"YZBM", "邮政编码", "邮政编码", 6, nullptr},
    {"BZ", "备注", "备注", 50, nullptr},
    {"JICENG", "参加下基层项目", "参加下基层项目", 0, &g_codeGrassroots},
};

const char* const g_lpcszStudentColumns =
    "XSBSH\tYXDM\tZYDM\tXM\tXBDM\tCSNY\tXLDM\tZXWYYZDM\tBYSJ\tSYSZDQDM\tWYSPDM\tDZXX\tZZMMDM\tYXGZDQDM\tYXDWXZDM\t"
    "YXDWHYDM\tYXYX\tYXZYLBM\tLXDH\tSJHM\tTXDZ\tYZBM\tBZ\tJICENG\r\n";

// The second and third bands end in one space; it is part of the stored value.
const char* const g_szSalaryBands[4] = {"1000以下", "1000-2000 ", "2000-3000 ", "3000以上"};

BOOL CreateStudentTable(CMemTable& table)
{
    return table.Load(g_lpcszStudentColumns);
}
