#pragma once

#include <string>
#include <string_view>

#include "platform/Types.h"

// Whole-file reads and writes of the data files. Results are last-error codes (0: success);
// platform failures are mapped with ErrorFromErrno.

// Reads the regular file whole. Something other than a regular file (a directory) gives
// ERROR_ACCESS_DENIED; fewer bytes than the file's size, ERROR_READ_FAULT; no storage,
// ERROR_NOT_ENOUGH_MEMORY.
DWORD ReadWholeFile(const std::string& strPath, std::string& strBytes);

// Replaces the file's content with the bytes without ever leaving it damaged: the bytes go to
// a new file in the same directory, which is flushed to disk and then renamed over the file.
// On failure the previous file is untouched and the new one removed. A write that makes no
// progress gives ERROR_WRITE_FAULT; a missing directory, ERROR_PATH_NOT_FOUND.
DWORD ReplaceFileContent(const std::string& strPath, std::string_view bytes);
