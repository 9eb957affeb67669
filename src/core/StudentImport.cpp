#include "core/StudentImport.h"

#include <utility>

#include "core/StudentSchema.h"

BOOL FailWithMessage(std::string& strError, std::string strMessage)
{
    strError = std::move(strMessage);
    return FALSE;
}

std::string DescribeField(const std::string& strName)
{
    for (const STUDENTFIELD& field : g_studentFields)
    {
        if (strName == field.lpcszName)
            return "“" + std::string(field.lpcszListLabel) + "”（" + strName + "）";
    }
    return strName;
}
