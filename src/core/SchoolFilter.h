#pragma once

#include <string_view>
#include <vector>

class CMemTable;

// The directory rows (column 0 code, column 1 name) that the school code lookup shows for a filter
// text, in directory order. The filter is trimmed of ASCII white space; an empty filter keeps every
// row. Otherwise a row is kept when its name holds the filter as a contiguous part that starts on a
// GBK character boundary, compared byte for byte and case-sensitively; codes are not searched.
std::vector<int> FilterSchoolRows(const CMemTable& schools, std::string_view filter);
