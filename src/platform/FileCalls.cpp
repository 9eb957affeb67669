#include "platform/FileCalls.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace
{
// Never destroyed: locks held by global objects are let go through it at exit.
FileCalls& PosixCalls()
{
    static FileCalls& s_calls = *new FileCalls;
    return s_calls;
}

FileCalls*& CurrentCalls()
{
    static FileCalls* s_pCalls = &PosixCalls();
    return s_pCalls;
}
} // namespace

int FileCalls::Open(const char* lpcszPath, int nFlags, mode_t mode)
{
    return ::open(lpcszPath, nFlags, mode);
}

ssize_t FileCalls::Read(int fd, void* pBuffer, size_t nSize)
{
    return ::read(fd, pBuffer, nSize);
}

ssize_t FileCalls::Write(int fd, const void* pBuffer, size_t nSize)
{
    return ::write(fd, pBuffer, nSize);
}

ssize_t FileCalls::Pread(int fd, void* pBuffer, size_t nSize, off_t nOffset)
{
    return ::pread(fd, pBuffer, nSize, nOffset);
}

ssize_t FileCalls::Pwrite(int fd, const void* pBuffer, size_t nSize, off_t nOffset)
{
    return ::pwrite(fd, pBuffer, nSize, nOffset);
}

int FileCalls::Ftruncate(int fd, off_t nSize)
{
    return ::ftruncate(fd, nSize);
}

int FileCalls::Fsync(int fd)
{
    return ::fsync(fd);
}

int FileCalls::Close(int fd)
{
    return ::close(fd);
}

int FileCalls::Fstat(int fd, struct stat* pInfo)
{
    return ::fstat(fd, pInfo);
}

int FileCalls::Stat(const char* lpcszPath, struct stat* pInfo)
{
    return ::stat(lpcszPath, pInfo);
}

int FileCalls::Lstat(const char* lpcszPath, struct stat* pInfo)
{
    return ::lstat(lpcszPath, pInfo);
}

int FileCalls::Rename(const char* lpcszFrom, const char* lpcszTo)
{
    return ::rename(lpcszFrom, lpcszTo);
}

int FileCalls::Unlink(const char* lpcszPath)
{
    return ::unlink(lpcszPath);
}

int FileCalls::Link(const char* lpcszFrom, const char* lpcszTo)
{
    return ::link(lpcszFrom, lpcszTo);
}

int FileCalls::Mkdir(const char* lpcszPath, mode_t mode)
{
    return ::mkdir(lpcszPath, mode);
}

int FileCalls::Rmdir(const char* lpcszPath)
{
    return ::rmdir(lpcszPath);
}

int FileCalls::Chmod(const char* lpcszPath, mode_t mode)
{
    return ::chmod(lpcszPath, mode);
}

int FileCalls::Fchmod(int fd, mode_t mode)
{
    return ::fchmod(fd, mode);
}

int FileCalls::Fchown(int fd, uid_t uid, gid_t gid)
{
    return ::fchown(fd, uid, gid);
}

int FileCalls::FcntlLock(int fd, int nCommand, struct flock* pLock)
{
    return ::fcntl(fd, nCommand, pLock);
}

int FileCalls::Realpath(const char* lpcszPath, std::string& strResolved)
{
    char* lpszResolved = ::realpath(lpcszPath, nullptr);
    if (lpszResolved == nullptr)
        return -1;
    strResolved = lpszResolved;
    std::free(lpszResolved);
    return 0;
}

int FileCalls::ListDirectory(const char* lpcszDir, std::vector<std::string>& names)
{
    DIR* pDir = ::opendir(lpcszDir);
    if (pDir == nullptr)
        return -1;
    errno = 0;
    while (const dirent* pEntry = ::readdir(pDir))
    {
        const std::string_view name = pEntry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    const int nErrno = errno;
    ::closedir(pDir);
    errno = nErrno;
    return nErrno == 0 ? 0 : -1;
}

FileCalls& GetFileCalls()
{
    return *CurrentCalls();
}

ScopedFileCalls::ScopedFileCalls(FileCalls& calls) : m_pPrevious(CurrentCalls())
{
    CurrentCalls() = &calls;
}

ScopedFileCalls::~ScopedFileCalls()
{
    CurrentCalls() = m_pPrevious;
}
