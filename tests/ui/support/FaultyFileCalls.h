#pragma once

#include <cerrno>
#include <fcntl.h>

#include "platform/FileCalls.h"

// The file layer's system calls with one of them failing, put in use for the object's life. Write
// fails on its first call; nErrno 0 makes it write nothing (a full device that reports no error).
class FaultyFileCalls : public FileCalls
{
  public:
    enum class Call
    {
        None,
        Open,
        Write,
        Fsync,
        Rename
    };

    FaultyFileCalls(Call failing, int nErrno) : m_failing(failing), m_nErrno(nErrno), m_scope(*this) {}

    int Open(const char* lpcszPath, int nFlags, mode_t mode) override
    {
        // Only the creation of a temporary file fails: reading and locking go on.
        return m_failing == Call::Open && (nFlags & O_EXCL) ? Fail() : FileCalls::Open(lpcszPath, nFlags, mode);
    }
    ssize_t Write(int fd, const void* pBuffer, size_t nSize) override
    {
        if (m_failing == Call::Write)
            return m_nErrno == 0 ? 0 : Fail();
        return FileCalls::Write(fd, pBuffer, nSize);
    }
    int Fsync(int fd) override { return m_failing == Call::Fsync ? Fail() : FileCalls::Fsync(fd); }
    int Rename(const char* lpcszFrom, const char* lpcszTo) override
    {
        return m_failing == Call::Rename ? Fail() : FileCalls::Rename(lpcszFrom, lpcszTo);
    }

  private:
    int Fail() const
    {
        errno = m_nErrno;
        return -1;
    }

    Call m_failing;
    int m_nErrno;
    ScopedFileCalls m_scope;
};
