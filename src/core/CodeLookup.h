#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/DataSet.h"

// The level-2 rows of g_codeMajors (88 categories such as "哲学类"), in table order; built on
// first use and kept for the life of the program.
const CODETABLE& MajorCategories();

// Display text to stored code for a field (bindings tried in order, names ASCII case-insensitive).
std::string LookupFieldCode(const std::string& strText, const char* lpcszField);
// Stored code to display name (ASCII case-insensitive); the code itself when not found or no table.
std::string LookupCodeName(const std::string& strCode, const CODETABLE* pTable);
// The row whose code equals the code (ASCII case ignored), or null.
const CODEITEM* FindCodeRow(const CODETABLE& table, std::string_view code);
// Code of the row with exactly this name, or the empty text.
std::string FindCodeByName(const std::string& strName, const CODETABLE& table);
// The rows whose code begins with the prefix (all rows for an empty prefix), in table order.
std::vector<const CODEITEM*> RowsWithPrefix(const CODETABLE& table, std::string_view prefix);
// The cascades of the editor's lists: the regions of a province and the majors of a category,
// both given by display name (a name not in its table selects every row).
std::vector<const CODEITEM*> RegionsOfProvince(const std::string& strProvinceName);
std::vector<const CODEITEM*> MajorsOfCategory(const std::string& strCategoryName);
// Editor values derived from a record, as display names: the work province (YXGZSF) of a
// region code and the major category (ZYDLDM) of a major code; the looked-up code when the
// table has no such row ("00000" for the region "0").
std::string DeriveWorkProvince(const std::string& strRegionCode);
std::string DeriveMajorCategory(const std::string& strMajorCode);
