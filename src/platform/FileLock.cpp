#include "platform/FileLock.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <thread>

#include "platform/FileTarget.h"
#include "platform/LastError.h"

namespace
{
// A write lock on the whole file, without waiting.
DWORD LockWholeFile(int fd)
{
    struct flock lock
    {
    };
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    FileCalls& calls = GetFileCalls();
    int nResult = calls.FcntlLock(fd, F_OFD_SETLK, &lock);
    if (nResult != 0 && errno == EINVAL) // a system or file system without open-file-description locks
    {
        lock = {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        nResult = calls.FcntlLock(fd, F_SETLK, &lock);
    }
    if (nResult == 0)
        return ERROR_SUCCESS;
    return errno == EAGAIN || errno == EACCES ? ERROR_LOCK_VIOLATION : LastSystemError();
}
} // namespace

DWORD CFileLock::TryLock(const std::string& strLockPath)
{
    Unlock();
    FileTarget target;
    if (const DWORD dwCode = ResolveRegularFile(strLockPath, target); dwCode != ERROR_SUCCESS)
        return dwCode;
    FileDescriptor file(GetFileCalls().Open(target.strPath.c_str(), O_RDWR | O_CREAT | O_NOCTTY | O_CLOEXEC, 0600));
    if (!file.IsOpen())
        return LastSystemError();
    if (const DWORD dwCode = LockWholeFile(file.Get()); dwCode != ERROR_SUCCESS)
        return dwCode;
    m_file.Reset(file.Release());
    return ERROR_SUCCESS;
}

DWORD CFileLock::Lock(const std::string& strLockPath, int nSeconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(nSeconds);
    for (;;)
    {
        const DWORD dwCode = TryLock(strLockPath);
        if (dwCode != ERROR_LOCK_VIOLATION || std::chrono::steady_clock::now() >= deadline)
            return dwCode;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

void CFileLock::Unlock()
{
    m_file.Close();
}
