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
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case ENOSPC:
        return ERROR_DISK_FULL;
    default:
        return ERROR_GEN_FAILURE;
    }
}
