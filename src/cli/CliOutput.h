#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Types.h"

// Exit codes of every command.
enum CliExit : int
{
    CLI_OK = 0,        // done; for the checks: every record passed
    CLI_INVALID = 1,   // records or an import file failed the checks
    CLI_USAGE = 2,     // bad command line: unknown option, missing value, unknown school
    CLI_DATA_ERROR = 3 // a file could not be read or written; the message gives the error code
};

// The program keeps GBK; the terminal gets UTF-8. A byte sequence that is not GBK is shown as
// "\xHH" per byte instead of being dropped or replaced.
std::string TerminalText(std::string_view gbk);

// A command-line text (UTF-8) as the GBK bytes the data files hold; nullopt when GBK cannot hold it.
std::optional<std::string> ArgumentAsGbk(std::string_view utf8);

// "varnholt-cli: <message>" on standard error. Messages are UTF-8.
void PrintError(std::string_view message);
// Prints the message and returns CLI_USAGE.
int UsageError(std::string_view message);
// Prints "<message>（错误代码 N）" and returns CLI_DATA_ERROR.
int DataError(std::string_view message, DWORD dwCode);
// Prints "<message>：<why, in the program's words>（错误代码 N）" and returns CLI_DATA_ERROR.
int FileError(std::string_view message, DWORD dwCode);
