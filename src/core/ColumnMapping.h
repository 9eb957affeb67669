#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/StudentSchema.h"
#include "platform/Types.h"

class CImportTable;

// Which column of an imported file each of the 24 student fields takes its values from.
struct ColumnMapping
{
    std::array<int, STUDENT_FIELD_COUNT> columnOf; // the file's column (0-based), -1: none

    ColumnMapping() { columnOf.fill(-1); }
    bool operator==(const ColumnMapping&) const = default;
};

// The field whose own name (XSBSH, any case) or list title (学号) the text is, or -1.
int FieldOfExactTitle(std::string_view title);
// The field a usual column title stands for: its own name or list title, its editor label, or a
// title other programs use for it (学籍号, 出生日期, 手机...); -1 for none.
int FieldOfUsualTitle(std::string_view title);
// Whether the titles name every one of the 24 fields by its own name or its list title, each once
// (a field named twice leaves open which column is meant).
bool NamesEveryField(const std::vector<std::string_view>& titles);

// The titles of the table's header row in column order (empty for a column without one).
std::vector<std::string_view> HeaderTitles(const CImportTable& table);
// A mapping pre-filled from the header: the first column whose title names a field exactly, else
// the first with a usual title for it. No column serves two fields.
ColumnMapping ProposeMapping(const CImportTable& table);

// Reads lines "FIELD=column title" (GBK; blank lines and lines starting with # are skipped) into
// mapping: each field named takes the column with that title ("FIELD=": none); the others keep the
// column they had. On FALSE, strError names the line at fault.
BOOL ParseMappingText(std::string_view text, const CImportTable& table, ColumnMapping& mapping, std::string& strError);
// The mapping as such lines, every field in record order, each line ended by "\n".
std::string MappingText(const ColumnMapping& mapping, const CImportTable& table);
