#include "platform/LastError.h"

#include <cerrno>

namespace
{
thread_local DWORD t_dwLastError = ERROR_SUCCESS;
}

void SetLastError(DWORD dwCode)
{
    t_dwLastError = dwCode;
}

DWORD GetLastError()
{
    return t_dwLastError;
}

BOOL FailWith(DWORD dwCode)
{
    SetLastError(dwCode);
    return FALSE;
}

DWORD ErrorFromErrno(int nErrno)
{
    switch (nErrno)
    {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EISDIR:
        return ERROR_DIRECTORY;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EFBIG:
        return ERROR_FILE_TOO_LARGE;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ELOOP:
        return ERROR_CANT_RESOLVE_FILENAME;
    case ENXIO:
        return ERROR_BAD_FILE_TYPE;
    default:
        return ERROR_GEN_FAILURE;
    }
}
