#pragma once

#include <string>
#include <string_view>

#include "platform/FileDescriptor.h"
#include "platform/Types.h"

// The promise this keeps: docs/guarantees.md, "The writer lock and its note".
// One writer per file: an advisory write lock on a separate lock file (the data file itself is
// replaced on every save, so its inode changes). Open-file-description locks where the system has
// them, else POSIX record locks; both reach NFSv4 and SMB servers that support byte-range locks.
// The lock ends when the object is destroyed or Unlock is called, or when the process ends.
class CFileLock
{
  public:
    CFileLock() = default;
    ~CFileLock() { Unlock(); }
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;

    // Takes the lock on strLockPath (created with mode 0600 when missing) without waiting.
    // ERROR_LOCK_VIOLATION when another holder has it; other codes when the file cannot be opened.
    DWORD TryLock(const std::string& strLockPath);
    // Like TryLock, but waits up to nSeconds for another holder to let go.
    DWORD Lock(const std::string& strLockPath, int nSeconds);
    void Unlock();
    bool IsHeld() const { return m_file.IsOpen(); }
    // Makes the lock file's content these bytes (the holder may keep a small note there), synced to
    // disk when bSync. ERROR_INVALID_DATA when the lock is not held.
    DWORD WriteContent(std::string_view bytes, bool bSync);
    // The lock file's content, up to nMaxSize bytes, read through the held lock (closing another
    // descriptor of the file could let a record lock go).
    DWORD ReadContent(std::string& strBytes, std::size_t nMaxSize);

  private:
    FileDescriptor m_file;
};
