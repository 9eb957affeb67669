#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

// The one place where the program converts between its GBK bytes and Qt's text.
// Invalid GBK bytes come out as U+FFFD (display only).
QString FromGbk(std::string_view bytes);
// nullopt when the text holds a character that code page 936 cannot represent.
std::optional<std::string> ToGbk(const QString& text);
// For fixed texts of the program (UTF-8 literals in the source) that are known to fit GBK.
std::string GbkLiteral(const QString& text);
