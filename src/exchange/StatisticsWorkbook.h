#pragma once

#include <string>
#include <vector>

#include "core/Statistics.h"
#include "platform/Types.h"

// The statistics table as an Excel workbook (.xlsx): one sheet "统计" with the grid's rows, names
// as text cells, counts as numbers and shares as numbers shown as percentages, so that a
// spreadsheet can sum and chart them. On FALSE, strError holds the reason (GBK) and strBytes is empty.
BOOL BuildStatisticsWorkbook(const std::vector<std::vector<StatCell>>& grid, std::string& strBytes,
                             std::string& strError);
