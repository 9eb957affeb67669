#include "platform/FileAttributes.h"

#include <cerrno>
#include <sys/stat.h>

#include "platform/LastError.h"

BOOL SetFileAttributesA(const char* lpcszFileName, DWORD dwAttributes)
{
    mode_t mode = (dwAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) ? 0600 : 0644;
    if (dwAttributes & FILE_ATTRIBUTE_READONLY)
        mode &= ~mode_t{0222};
    if (lpcszFileName == nullptr || ::chmod(lpcszFileName, mode) != 0)
    {
        SetLastError(lpcszFileName == nullptr ? ERROR_FILE_NOT_FOUND : ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}
