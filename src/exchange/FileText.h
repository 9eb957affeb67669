#pragma once

#include <string>
#include <string_view>

// Text read from a workbook (UTF-8: the names of sheets and parts, cell values, the XML parser's
// words) as it goes into one of the program's messages, which are GBK: a character GBK cannot
// hold, or a byte that is not UTF-8, becomes "?". Every such text is converted where it joins a
// message, so that no message is glued from GBK and UTF-8 halves.
std::string GbkOfFileText(std::string_view utf8);
