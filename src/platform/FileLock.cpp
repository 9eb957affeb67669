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
    if (!file.IsOpen()) // a lock file is made when missing: "no such file" means no such folder
        return errno == ENOENT ? ERROR_PATH_NOT_FOUND : LastSystemError();
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

DWORD CFileLock::WriteContent(std::string_view bytes, bool bSync)
{
    if (!IsHeld())
        return ERROR_INVALID_DATA;
    FileCalls& calls = GetFileCalls();
    for (off_t nDone = 0; nDone < static_cast<off_t>(bytes.size());)
    {
        const ssize_t nWritten = calls.Pwrite(m_file.Get(), bytes.data() + nDone, bytes.size() - nDone, nDone);
        if (nWritten < 0 && errno == EINTR)
            continue;
        if (nWritten <= 0)
            return nWritten < 0 ? LastSystemError() : ERROR_WRITE_FAULT;
        nDone += nWritten;
    }
    if (calls.Ftruncate(m_file.Get(), static_cast<off_t>(bytes.size())) != 0 ||
        (bSync && calls.Fsync(m_file.Get()) != 0))
        return LastSystemError();
    return ERROR_SUCCESS;
}

DWORD CFileLock::ReadContent(std::string& strBytes, std::size_t nMaxSize)
{
    if (!IsHeld())
        return ERROR_INVALID_DATA;
    strBytes.assign(nMaxSize, '\0');
    std::size_t nDone = 0;
    while (nDone < nMaxSize)
    {
        const ssize_t nRead =
            GetFileCalls().Pread(m_file.Get(), strBytes.data() + nDone, nMaxSize - nDone, static_cast<off_t>(nDone));
        if (nRead < 0 && errno == EINTR)
            continue;
        if (nRead < 0)
            return LastSystemError();
        if (nRead == 0)
            break;
        nDone += static_cast<std::size_t>(nRead);
    }
    strBytes.resize(nDone);
    return ERROR_SUCCESS;
}

void CFileLock::Unlock()
{
    m_file.Close();
}
