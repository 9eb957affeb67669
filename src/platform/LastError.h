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
constexpr DWORD ERROR_INVALID_PASSWORD = 86;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_INTERNAL_ERROR = 1359;

// The calling thread's last-error value.
void SetLastError(DWORD dwCode);
DWORD GetLastError();

// Maps a C library errno value to the nearest code above (ENOENT -> 2, EACCES -> 5, ENOSPC -> 112 ...).
DWORD ErrorFromErrno(int nErrno);
