#pragma once

#include "platform/FileCalls.h"

// A descriptor opened through the file calls, closed when the scope ends.
class FileDescriptor
{
  public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            GetFileCalls().Close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    // Closes now; false when the close (the last chance to hear of a write error) failed.
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || GetFileCalls().Close(fd) == 0;
    }
    // Gives up ownership without closing.
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void Reset(int fd)
    {
        Close();
        m_fd = fd;
    }

  private:
    int m_fd;
};
