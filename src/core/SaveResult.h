#pragma once

#include "platform/LastError.h"

// How a save of a school's data file ended, in one value: the save's code and the outcome of the
// backup of the file it replaced. A backup that cannot be made never stops the save, so a save
// can succeed with dwBackupError set; the front end then tells the user.
struct SaveResult
{
    DWORD dwError = ERROR_SUCCESS;       // ERROR_SUCCESS: saved; else the save's code, the file unchanged
    DWORD dwBackupError = ERROR_SUCCESS; // ERROR_SUCCESS: kept as a backup, or there was no file to keep

    explicit operator bool() const { return dwError == ERROR_SUCCESS; }
};
