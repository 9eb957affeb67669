#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <new>

#include "platform/FileDescriptor.h"
#include "platform/FileSystem.h"
#include "platform/FileTarget.h"
#include "platform/LargePages.h"
#include "platform/LastError.h"
#include "platform/MapPages.h"

namespace
{
FileIdentity IdentityOf(const struct stat& info)
{
    return {true, info.st_dev, info.st_ino, info.st_size, info.st_mtim};
}

DWORD ClassifyFileType(mode_t mode)
{
    if (S_ISREG(mode))
        return ERROR_SUCCESS;
    return S_ISDIR(mode) ? ERROR_DIRECTORY : ERROR_BAD_FILE_TYPE;
}

// Reads exactly nSize bytes into the empty strBytes, appended a piece at a time through a buffer that
// stays in the cache: the string's storage is written once, never zero-filled first.
DWORD ReadWhole(int fd, std::size_t nSize, std::string& strBytes, const FilePieceVisitor& visitPiece)
{
    constexpr std::size_t kPiece = 64 * 1024;
    char piece[kPiece];
    while (strBytes.size() < nSize)
    {
        const std::size_t nWanted = std::min(kPiece, nSize - strBytes.size());
        const ssize_t nRead = GetFileCalls().Read(fd, piece, nWanted);
        if (nRead < 0 && errno == EINTR)
            continue;
        if (nRead < 0)
            return LastSystemError();
        if (nRead == 0)
            return ERROR_READ_FAULT; // the file ended before its size: never pad with zeros
        if (visitPiece)
            visitPiece(piece, static_cast<std::size_t>(nRead), strBytes.size());
        strBytes.append(piece, static_cast<std::size_t>(nRead));
    }
    return ERROR_SUCCESS;
}
} // namespace

bool FileIdentity::operator==(const FileIdentity& other) const
{
    if (bExists != other.bExists)
        return false;
    return !bExists || (device == other.device && inode == other.inode && size == other.size &&
                        modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec);
}

DWORD LastSystemError()
{
    return ErrorFromErrno(errno);
}

DWORD ResolveRegularFile(const std::string& strPath, FileTarget& target)
{
    target = FileTarget{strPath};
    FileCalls& calls = GetFileCalls();
    if (calls.Lstat(strPath.c_str(), &target.info) != 0)
        return errno == ENOENT ? ERROR_SUCCESS : LastSystemError();
    if (S_ISLNK(target.info.st_mode))
    {
        if (calls.Realpath(strPath.c_str(), target.strPath) != 0)
            return errno == ENOENT || errno == ELOOP ? ERROR_CANT_RESOLVE_FILENAME : LastSystemError();
        if (calls.Stat(target.strPath.c_str(), &target.info) != 0)
            return errno == ENOENT ? ERROR_CANT_RESOLVE_FILENAME : LastSystemError();
    }
    target.bExists = true;
    return ClassifyFileType(target.info.st_mode);
}

DWORD GetFileIdentity(const std::string& strPath, FileIdentity& identity)
{
    FileTarget target;
    identity = {};
    if (const DWORD dwCode = ResolveRegularFile(strPath, target); dwCode != ERROR_SUCCESS)
        return dwCode;
    if (target.bExists)
        identity = IdentityOf(target.info);
    return ERROR_SUCCESS;
}

DWORD ReadRegularFile(const std::string& strPath, std::string& strBytes, FileIdentity* pIdentity,
                      const FilePieceVisitor& visitPiece)
{
    FileTarget target;
    if (const DWORD dwCode = ResolveRegularFile(strPath, target); dwCode != ERROR_SUCCESS)
        return dwCode;
    if (!target.bExists)
        return ERROR_FILE_NOT_FOUND;
    // O_NONBLOCK: should the name turn into a FIFO meanwhile, the open still returns at once.
    FileDescriptor file(GetFileCalls().Open(target.strPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0));
    if (!file.IsOpen())
        return LastSystemError();
    struct stat info
    {
    };
    if (GetFileCalls().Fstat(file.Get(), &info) != 0)
        return LastSystemError();
    if (const DWORD dwCode = ClassifyFileType(info.st_mode); dwCode != ERROR_SUCCESS)
        return dwCode;
    std::jthread mappingAhead; // maps in the buffer's second half while the first is read
    try
    {
        strBytes.clear();
        // One byte more: a reader that cuts texts out in place may need a NUL after the last.
        strBytes.reserve(static_cast<std::size_t>(info.st_size) + 1);
        AdviseLargePages(strBytes.data(), strBytes.capacity());
        mappingAhead = MapPagesAhead(strBytes.data(), strBytes.capacity());
    }
    catch (const std::bad_alloc&)
    {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    if (const DWORD dwCode = ReadWhole(file.Get(), static_cast<std::size_t>(info.st_size), strBytes, visitPiece);
        dwCode != ERROR_SUCCESS)
        return dwCode;
    if (pIdentity != nullptr)
        *pIdentity = IdentityOf(info);
    return ERROR_SUCCESS;
}
