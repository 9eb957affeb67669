#pragma once

#include <optional>
#include <string>

#include "cli/CliArgs.h"
#include "core/OpenSchool.h"

enum class SchoolAccess;
struct SaveResult;

// Points the data functions at --dir (default: the program's own directory) and loads the built-in
// school directory. CLI_OK, or the exit code after telling the user why not.
int PrepareDataDirectory(const CCliArgs& args);

// Opens the school of --school with the password from --password, --password-stdin or the
// environment variable VARNHOLT_PASSWORD (in that order; none: the empty password) as the command's
// open school, with the login's rules and messages. A command that writes (bToWrite) holds the
// school's writer lock in the school until the command ends, waiting --wait SECONDS for another
// writer (default: refused at once, exit CLI_DATA_ERROR). CLI_OK, or the exit code after telling why not.
int OpenSchoolOfArgs(const CCliArgs& args, COpenSchool& school, bool bToWrite = false);

// The seconds of --wait (0 when not given); nullopt after a usage error was printed.
std::optional<int> WaitSecondsOfArgs(const CCliArgs& args);

// The school of --school (a row of the school directory) and the password as OpenSchoolOfArgs takes
// it, without opening the data file (the school's table is not loaded, its lock not taken). CLI_OK,
// or the exit code after telling the user why not.
int SchoolOfArgs(const CCliArgs& args, COpenSchool& school);

// The exit code for a refused login or password change, after printing the program's message.
int ReportSchoolAccess(SchoolAccess result, const std::string& strCode = {});

// The option of the commands that write.
extern const CliOption kWaitOption;
// The option of the commands that open a school: a data file that is not the one its last save
// noted is opened as it is instead of refused.
extern const CliOption kAcceptChangedOption;
extern const char* const kAcceptChangedUsage;

// After a save: tells the user on standard error when the file it replaced could not be kept as a
// backup ("备份失败：..."), from the save's result; the save itself went on.
void ReportBackupFailure(const SaveResult& saved);
