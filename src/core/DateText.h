#pragma once

#include <cstdint>
#include <string>

// "%d-%d-%d" to local midnight (tm_isdst = 0) as seconds since 1970; 0 when not greater than 0.
std::int32_t ParseDateText(const std::string& strText);
// The local calendar date of the time value as "%Y-%m-%d".
std::string FormatDateText(std::int32_t nTime);
