#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Conversion between the program's GBK bytes (code page 936) and UTF-8, for the places outside
// the desktop program that need it (files written by spreadsheet programs, the terminal).
namespace Encoding
{
// The byte-order mark that opens a UTF-8 file written by spreadsheet programs.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// One direction of conversion, kept open for many small texts (the cells of a workbook).
class CConverter
{
  public:
    // Encoding names as iconv knows them ("UTF-8", "CP936").
    CConverter(const char* lpcszTo, const char* lpcszFrom);
    ~CConverter();
    CConverter(const CConverter&) = delete;
    CConverter& operator=(const CConverter&) = delete;

    // Converts the whole input into strOut; false (strOut unspecified) when a character has no
    // equivalent or the input is malformed or cut short.
    bool Convert(std::string_view input, std::string& strOut);

  private:
    void* m_cd;
};

// GBK to UTF-8 for long texts: the converter above decides each character once, and its UTF-8 is
// remembered for the next occurrence; ASCII is copied as it is. The same results as GbkToUtf8.
class CGbkToUtf8
{
  public:
    CGbkToUtf8();
    // Appends the UTF-8 of the text to strOut; false (strOut unspecified) where GbkToUtf8 fails.
    bool Append(std::string_view gbk, std::string& strOut);

  private:
    CConverter m_converter;
    std::string m_strChar;
    // For each one- or two-byte character (its bytes as a number): its UTF-8 length in the top
    // byte and its bytes below; 0 when not decided yet, kInvalid when it does not convert.
    std::vector<std::uint32_t> m_known;
};

// nullopt when the text holds a character that code page 936 cannot represent, or invalid UTF-8.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);
// nullopt when the bytes are not valid code page 936.
std::optional<std::string> GbkToUtf8(std::string_view gbk);
// Whether the bytes are valid code page 936 text (a NUL byte counts as valid). Checks in pieces,
// so it needs no memory in proportion to the text.
bool IsValidGbk(std::string_view bytes);
// Whether the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);
} // namespace Encoding
