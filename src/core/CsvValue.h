#pragma once

#include <string>
#include <string_view>

// Appends one value as every CSV file of the program writes it (the exchange file, the
// statistics): in double quotes (its quotes doubled) when it holds a comma, a double quote, a CR or
// an LF, else as it is.
void AppendCsvValue(std::string_view value, std::string& strOut);
