#include <cerrno>

#include "platform/FileCalls.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"

namespace
{
DWORD ResultOf(int nResult)
{
    return nResult == 0 ? ERROR_SUCCESS : ErrorFromErrno(errno);
}

PathKind KindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return PathKind::RegularFile;
    if (S_ISDIR(mode))
        return PathKind::Directory;
    return S_ISLNK(mode) ? PathKind::SymbolicLink : PathKind::Other;
}
} // namespace

DWORD InspectPath(const std::string& strPath, PathKind& kind, std::uint64_t* pSize)
{
    struct stat info
    {
    };
    if (GetFileCalls().Lstat(strPath.c_str(), &info) != 0)
    {
        kind = PathKind::Missing;
        return errno == ENOENT ? ERROR_SUCCESS : ErrorFromErrno(errno);
    }
    kind = KindOf(info.st_mode);
    if (pSize)
        *pSize = static_cast<std::uint64_t>(info.st_size);
    return ERROR_SUCCESS;
}

DWORD MakeDirectory(const std::string& strPath, mode_t mode)
{
    if (GetFileCalls().Mkdir(strPath.c_str(), mode) == 0 || errno == EEXIST)
        return ERROR_SUCCESS;
    return ErrorFromErrno(errno);
}

DWORD RemoveEmptyDirectory(const std::string& strPath)
{
    return ResultOf(GetFileCalls().Rmdir(strPath.c_str()));
}

DWORD LinkFile(const std::string& strPath, const std::string& strNewPath)
{
    if (GetFileCalls().Link(strPath.c_str(), strNewPath.c_str()) == 0)
        return ERROR_SUCCESS;
    return errno == EEXIST ? ERROR_FILE_EXISTS : ErrorFromErrno(errno);
}

DWORD RemoveFile(const std::string& strPath)
{
    return ResultOf(GetFileCalls().Unlink(strPath.c_str()));
}

DWORD SetFileMode(const std::string& strPath, mode_t mode)
{
    return ResultOf(GetFileCalls().Chmod(strPath.c_str(), mode));
}
