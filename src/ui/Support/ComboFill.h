#pragma once

#include <cstddef>
#include <string_view>

#include "core/DataSet.h"

class QComboBox;

// The two drop-down operations of the record editor and the search by major.

// Replaces the entries with the names of the table rows whose code begins with the prefix (every
// row for an empty prefix), in table order, then selects entry 0 (none when no row matched).
void FillComboFromTable(QComboBox* pCombo, const CODETABLE& table, std::string_view prefix = {});

// Selects the entry whose whole text equals the GBK text, ASCII letters compared without case.
// Returns whether one was found; otherwise the selection stays as it was.
bool SelectComboText(QComboBox* pCombo, std::string_view text);

// The cascade of a filter list onto a dependent list: refills pList with the listTable rows whose
// code begins with the first nPrefix characters of the code of the filter's chosen name (looked up
// in filterTable); without a choice in the filter, pList holds one empty entry.
void FillComboByFilter(const QComboBox* pFilter, const CODETABLE& filterTable, QComboBox* pList,
                       const CODETABLE& listTable, std::size_t nPrefix);
