#pragma once

#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

struct flock;

// The system calls of the file layer, replaceable as a whole so that tests can make any one of them
// fail (a failing fsync, a short read, EFBIG) with a plain subclass. Every member behaves like the
// POSIX call of its name: a result of -1 sets errno.
class FileCalls
{
  public:
    virtual ~FileCalls() = default;

    virtual int Open(const char* lpcszPath, int nFlags, mode_t mode);
    virtual ssize_t Read(int fd, void* pBuffer, size_t nSize);
    virtual ssize_t Write(int fd, const void* pBuffer, size_t nSize);
    virtual ssize_t Pread(int fd, void* pBuffer, size_t nSize, off_t nOffset);
    virtual ssize_t Pwrite(int fd, const void* pBuffer, size_t nSize, off_t nOffset);
    virtual int Ftruncate(int fd, off_t nSize);
    virtual int Fsync(int fd);
    virtual int Close(int fd);
    virtual int Fstat(int fd, struct stat* pInfo);
    virtual int Stat(const char* lpcszPath, struct stat* pInfo);
    virtual int Lstat(const char* lpcszPath, struct stat* pInfo);
    virtual int Rename(const char* lpcszFrom, const char* lpcszTo);
    virtual int Unlink(const char* lpcszPath);
    virtual int Fchmod(int fd, mode_t mode);
    virtual int Fchown(int fd, uid_t uid, gid_t gid);
    // fcntl with a lock argument (F_OFD_SETLK, F_SETLK ...).
    virtual int FcntlLock(int fd, int nCommand, struct flock* pLock);
    // realpath: the absolute path with every link resolved, into strResolved.
    virtual int Realpath(const char* lpcszPath, std::string& strResolved);
    // The names in the directory, without "." and "..".
    virtual int ListDirectory(const char* lpcszDir, std::vector<std::string>& names);
    // A second name for a file (hard link); fails with EEXIST rather than replace a name.
    virtual int Link(const char* lpcszFrom, const char* lpcszTo);
    virtual int Mkdir(const char* lpcszPath, mode_t mode);
    virtual int Rmdir(const char* lpcszPath);
    virtual int Chmod(const char* lpcszPath, mode_t mode);
};

// The calls in use: the POSIX ones unless a ScopedFileCalls is alive.
FileCalls& GetFileCalls();

// Puts the calls in use for the scope's life (tests); the previous ones come back at its end.
class ScopedFileCalls
{
  public:
    explicit ScopedFileCalls(FileCalls& calls);
    ~ScopedFileCalls();
    ScopedFileCalls(const ScopedFileCalls&) = delete;
    ScopedFileCalls& operator=(const ScopedFileCalls&) = delete;

  private:
    FileCalls* m_pPrevious;
};
