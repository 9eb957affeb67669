#pragma once

#include <cstdint>

// The numeric results the program's interfaces use: BOOL results with TRUE/FALSE and 32-bit codes.
using BOOL = int;
using DWORD = std::uint32_t;
constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
