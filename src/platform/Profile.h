#pragma once

#include <string>
#include <string_view>

#include "platform/Types.h"

// The directory that holds the program's profile files: $XDG_CONFIG_HOME when it is an absolute
// path, else ~/.config. Empty when neither can be determined.
std::string GetProfileDirectory();

// Sets key = value in [section] of the profile file, a plain INI file of GBK bytes with CR LF line
// ends, kept in GetProfileDirectory() (created when missing) with owner-only permissions (0600).
// Replaces the value of the first such key in the first such section, else adds the key at the
// end of the section, else adds the section at the end of the file; every other line stays as it
// was. Names compare byte for byte after trimming blanks around them.
// FALSE (and the last-error value) when a text would break the line structure (a CR or LF
// anywhere, '=' in the key, ']' in the section, an empty section or key) or the file cannot be
// written; the previous file then stays as it was. An existing profile that cannot be read (no
// permission, a loop of links) is never replaced. Writers are serialised by a lock on
// "<file>.lock" beside it, so entries written by two programs at once are both kept.
BOOL WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               std::string_view fileName);
