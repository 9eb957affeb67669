#include <vector>

#include "core/DataFunc.h"
#include "core/Gbk.h"

CODETABLE g_codeMajorCategories = {nullptr, 0};

namespace
{
// Storage of the category table: room for every major, filled once at start-up.
std::vector<CODEITEM>& CategoryRows()
{
    static std::vector<CODEITEM> rows;
    return rows;
}

// The code from byte nFrom on ("" when shorter).
std::string_view CodeTail(const char* lpcszCode, std::size_t nFrom)
{
    const std::string_view code(lpcszCode);
    return code.size() < nFrom ? std::string_view() : code.substr(nFrom);
}

// The first nLength bytes of the code (all of it when shorter) followed by "0000".
std::string PrefixPlusZeros(const std::string& strCode, std::size_t nLength)
{
    return strCode.substr(0, nLength) + "0000";
}
} // namespace

void BuildMajorCategories()
{
    std::vector<CODEITEM>& rows = CategoryRows();
    rows.assign(static_cast<std::size_t>(g_codeMajors.nCount), CODEITEM{nullptr, nullptr});
    int nCount = 0;
    for (int i = 0; i < g_codeMajors.nCount; ++i)
    {
        const CODEITEM& item = g_codeMajors.pItems[i];
        if (CodeTail(item.code, 2) == "000000")
            continue; // a discipline
        if (CodeTail(item.code, 4) == "0000")
            rows[static_cast<std::size_t>(nCount++)] = item;
    }
    g_codeMajorCategories = {rows.data(), nCount};
}

std::string LookupFieldCode(const std::string& strText, const char* lpcszField)
{
    // The coded fields of the record are the bindings; no two field names are equal even
    // ignoring case, so at most one binding applies and their order cannot change a result.
    for (const STUDENTFIELD& field : g_studentFields)
    {
        if (field.pTable == nullptr || !Gbk::EqualsNoCase(field.lpcszName, lpcszField))
            continue;
        for (int i = 0; i < field.pTable->nCount; ++i)
            if (Gbk::EqualsNoCase(field.pTable->pItems[i].name, strText))
                return field.pTable->pItems[i].code;
    }
    return strText;
}

std::string LookupCodeName(const std::string& strCode, const CODETABLE* pTable)
{
    if (pTable == nullptr)
        return strCode;
    for (int i = 0; i < pTable->nCount; ++i)
        if (Gbk::EqualsNoCase(pTable->pItems[i].code, strCode))
            return pTable->pItems[i].name;
    return strCode;
}

std::string FindCodeByName(const std::string& strName, const CODETABLE& table)
{
    for (int i = 0; i < table.nCount; ++i)
        if (strName == table.pItems[i].name)
            return table.pItems[i].code;
    return {};
}

std::vector<const CODEITEM*> RowsWithPrefix(const CODETABLE& table, std::string_view prefix)
{
    std::vector<const CODEITEM*> rows;
    for (int i = 0; i < table.nCount; ++i)
        if (std::string_view(table.pItems[i].code).starts_with(prefix))
            rows.push_back(&table.pItems[i]);
    return rows;
}

std::string DeriveWorkProvince(const std::string& strRegionCode)
{
    return LookupCodeName(PrefixPlusZeros(strRegionCode, 2), &g_codeProvinces);
}

std::string DeriveMajorCategory(const std::string& strMajorCode)
{
    return LookupCodeName(PrefixPlusZeros(strMajorCode, 4), &g_codeMajorCategories);
}

std::vector<const CODEITEM*> RegionsOfProvince(const std::string& strProvinceName)
{
    return RowsWithPrefix(g_codeRegions, FindCodeByName(strProvinceName, g_codeProvinces).substr(0, 2));
}

std::vector<const CODEITEM*> MajorsOfCategory(const std::string& strCategoryName)
{
    return RowsWithPrefix(g_codeMajors, FindCodeByName(strCategoryName, g_codeMajorCategories).substr(0, 4));
}
