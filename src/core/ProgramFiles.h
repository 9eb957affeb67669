#pragma once

#include <string>

// Whether the path leads (through symbolic links) to a file the program keeps in its own directory:
// a school's data file "<code>.db", its lock file "<code>.lock", a temporary file of a save, or
// anything in the backup folder. An export written there would destroy a school, so it is refused.
bool IsProgramOwnFile(const std::string& strPath);
