#include "core/CodeLookup.h"

#include "core/Gbk.h"
#include "core/StudentSchema.h"

namespace
{
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

// The majors whose code ends in "0000" but not in "000000" (those are disciplines).
std::vector<CODEITEM> CollectMajorCategories()
{
    std::vector<CODEITEM> rows;
    for (int i = 0; i < g_codeMajors.nCount; ++i)
    {
        const CODEITEM& item = g_codeMajors.pItems[i];
        if (CodeTail(item.code, 2) != "000000" && CodeTail(item.code, 4) == "0000")
            rows.push_back(item);
    }
    return rows;
}
} // namespace

const CODETABLE& MajorCategories()
{
    static const std::vector<CODEITEM> rows = CollectMajorCategories();
    static const CODETABLE table = {rows.data(), static_cast<int>(rows.size())};
    return table;
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

const CODEITEM* FindCodeRow(const CODETABLE& table, std::string_view code)
{
    for (int i = 0; i < table.nCount; ++i)
        if (Gbk::EqualsNoCase(table.pItems[i].code, code))
            return &table.pItems[i];
    return nullptr;
}

std::string LookupCodeName(const std::string& strCode, const CODETABLE* pTable)
{
    const CODEITEM* pRow = pTable != nullptr ? FindCodeRow(*pTable, strCode) : nullptr;
    return pRow != nullptr ? pRow->name : strCode;
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
    return LookupCodeName(PrefixPlusZeros(strMajorCode, 4), &MajorCategories());
}

std::vector<const CODEITEM*> RegionsOfProvince(const std::string& strProvinceName)
{
    return RowsWithPrefix(g_codeRegions, FindCodeByName(strProvinceName, g_codeProvinces).substr(0, 2));
}

std::vector<const CODEITEM*> MajorsOfCategory(const std::string& strCategoryName)
{
    return RowsWithPrefix(g_codeMajors, FindCodeByName(strCategoryName, MajorCategories()).substr(0, 4));
}
