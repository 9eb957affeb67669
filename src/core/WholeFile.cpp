#include "core/WholeFile.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/LastError.h"

namespace
{
// Closes the descriptor when the scope ends (unless released).
class FileDescriptor
{
  public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_fd; }
    // Closes now and reports whether the close (the last chance to see a write error) worked.
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

  private:
    int m_fd;
};

DWORD LastErrno()
{
    return ErrorFromErrno(errno);
}

DWORD WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const ssize_t nWritten = ::write(fd, bytes.data(), bytes.size());
        if (nWritten < 0 && errno == EINTR)
            continue;
        if (nWritten < 0)
            return LastErrno();
        if (nWritten == 0)
            return ERROR_WRITE_FAULT;
        bytes.remove_prefix(static_cast<std::size_t>(nWritten));
    }
    return ERROR_SUCCESS;
}

// Creates a new file beside strPath that no other file has the name of; -1 and errno on failure.
int CreateTemporaryBeside(const std::string& strPath, std::string& strTempPath)
{
    static unsigned s_nSerial = 0;
    for (int nAttempt = 0; nAttempt < 100; ++nAttempt)
    {
        strTempPath = strPath + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(++s_nSerial);
        const int fd = ::open(strTempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

DWORD WriteAndSync(FileDescriptor& file, std::string_view bytes)
{
    if (const DWORD dwCode = WriteAll(file.Get(), bytes); dwCode != ERROR_SUCCESS)
        return dwCode;
    if (::fsync(file.Get()) != 0 || !file.Close())
        return LastErrno();
    return ERROR_SUCCESS;
}
} // namespace

DWORD ReadWholeFile(const std::string& strPath, std::string& strBytes)
{
    FileDescriptor file(::open(strPath.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0)
        return LastErrno();
    struct stat st
    {
    };
    if (::fstat(file.Get(), &st) != 0)
        return LastErrno();
    if (!S_ISREG(st.st_mode))
        return ERROR_ACCESS_DENIED;
    try
    {
        strBytes.assign(static_cast<std::size_t>(st.st_size), '\0');
    }
    catch (const std::bad_alloc&)
    {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    std::size_t nRead = 0;
    while (nRead < strBytes.size())
    {
        const ssize_t n = ::read(file.Get(), strBytes.data() + nRead, strBytes.size() - nRead);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return LastErrno();
        if (n == 0)
            return ERROR_READ_FAULT;
        nRead += static_cast<std::size_t>(n);
    }
    return ERROR_SUCCESS;
}

DWORD ReplaceFileContent(const std::string& strPath, std::string_view bytes)
{
    std::string strTempPath;
    FileDescriptor file(CreateTemporaryBeside(strPath, strTempPath));
    if (file.Get() < 0)
        return errno == ENOENT ? ERROR_PATH_NOT_FOUND : LastErrno();
    DWORD dwCode = WriteAndSync(file, bytes);
    if (dwCode == ERROR_SUCCESS && ::rename(strTempPath.c_str(), strPath.c_str()) != 0)
        dwCode = LastErrno();
    if (dwCode != ERROR_SUCCESS)
        ::unlink(strTempPath.c_str());
    return dwCode;
}
