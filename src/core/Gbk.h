#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Byte rules of GBK (code page 936): a byte 0x81..0xFE starts a double-byte character, whose
// second byte may look like any ASCII character from 0x40 on. Walks that must not start a match
// on a second byte step through the text character by character.
namespace Gbk
{
inline bool IsLeadByte(char ch)
{
    const auto byte = static_cast<unsigned char>(ch);
    return byte >= 0x81 && byte <= 0xFE;
}

// Length of the character that starts at text[nPos]: 2 for a lead byte followed by another byte, else 1.
std::size_t CharLength(std::string_view text, std::size_t nPos);

// First occurrence of the needle that begins on a character boundary at or after nStart
// (nStart itself must be a boundary); npos when none. An empty needle is found at nStart.
std::size_t Find(std::string_view text, std::string_view needle, std::size_t nStart = 0);

// The white space the table engine trims: space, TAB, LF, vertical tab, form feed, CR.
bool IsBlank(char ch);
// The text without leading and trailing white space (double-byte characters are never removed).
std::string_view Trim(std::string_view text);

// Comparison that folds ASCII letters only (never the second byte of a double-byte character).
bool EqualsNoCase(std::string_view a, std::string_view b);
} // namespace Gbk
