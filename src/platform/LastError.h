#pragma once

#include "platform/Types.h"

// Error codes that the data functions report through the last-error value.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_INVALID_DATA = 13;
constexpr DWORD ERROR_WRITE_FAULT = 29;
constexpr DWORD ERROR_READ_FAULT = 30;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_LOCK_VIOLATION = 33; // another program holds the lock of the file
constexpr DWORD ERROR_FILE_EXISTS = 80;    // every name that could be given is taken
constexpr DWORD ERROR_INVALID_PASSWORD = 86;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_BAD_PATHNAME = 161;         // something other than a folder where a folder belongs
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206; // a path or name too long for the system
constexpr DWORD ERROR_BAD_FILE_TYPE = 222;        // a FIFO, socket or device where a regular file belongs
constexpr DWORD ERROR_FILE_TOO_LARGE = 223;       // the process's file-size limit was reached
constexpr DWORD ERROR_DIRECTORY = 267;            // a directory where a regular file belongs
constexpr DWORD ERROR_DATA_CHECKSUM_ERROR = 323;  // the file is not the one its note describes
constexpr DWORD ERROR_STOPPED_ON_SYMLINK = 681;   // a symbolic link where the program writes only real folders
constexpr DWORD ERROR_FILE_INVALID = 1006;        // the file on disk is no longer the one that was loaded
constexpr DWORD ERROR_INTERNAL_ERROR = 1359;
constexpr DWORD ERROR_FILE_CORRUPT = 1392;          // the file's text is damaged (cut short, NUL bytes)
constexpr DWORD ERROR_CANT_RESOLVE_FILENAME = 1921; // a symbolic link that leads nowhere or in a loop
constexpr DWORD ERROR_FILE_READ_ONLY = 6009;        // the file's owner may not write it

// The calling thread's last-error value.
void SetLastError(DWORD dwCode);
DWORD GetLastError();
// Sets the last-error value and returns FALSE: a failure in one line.
BOOL FailWith(DWORD dwCode);

// Maps a C library errno value to the nearest code above (ENOENT -> 2, EACCES -> 5, ENOSPC -> 112,
// EFBIG -> 223 ...).
DWORD ErrorFromErrno(int nErrno);
