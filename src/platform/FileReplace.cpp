#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

#include "platform/FileDescriptor.h"
#include "platform/FileSystem.h"
#include "platform/FileTarget.h"
#include "platform/LastError.h"

namespace
{
constexpr std::string_view kTemporaryMark = ".tmp-";

// A file-size limit must end in a reported failure (EFBIG), not in a killed program.
void IgnoreFileSizeSignalOnce()
{
    static std::once_flag s_once;
    std::call_once(s_once, [] { std::signal(SIGXFSZ, SIG_IGN); });
}

std::string DirectoryOf(const std::string& strPath)
{
    const auto nSlash = strPath.rfind('/');
    if (nSlash == std::string::npos)
        return ".";
    return nSlash == 0 ? "/" : strPath.substr(0, nSlash);
}

// Creates "<target>.tmp-PID-N" that no other file has the name of.
DWORD CreateTemporaryBeside(const std::string& strTarget, FileDescriptor& file, std::string& strTempPath)
{
    static unsigned s_nSerial = 0;
    for (int nAttempt = 0; nAttempt < 100; ++nAttempt)
    {
        strTempPath =
            strTarget + std::string(kTemporaryMark) + std::to_string(::getpid()) + "-" + std::to_string(++s_nSerial);
        file.Reset(GetFileCalls().Open(strTempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (file.IsOpen())
            return ERROR_SUCCESS;
        if (errno != EEXIST)
            return errno == ENOENT ? ERROR_PATH_NOT_FOUND : LastSystemError();
    }
    return ERROR_GEN_FAILURE;
}

DWORD WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const ssize_t nWritten = GetFileCalls().Write(fd, bytes.data(), bytes.size());
        if (nWritten < 0 && errno == EINTR)
            continue;
        if (nWritten < 0)
            return LastSystemError();
        if (nWritten == 0)
            return ERROR_WRITE_FAULT;
        bytes.remove_prefix(static_cast<std::size_t>(nWritten));
    }
    return ERROR_SUCCESS;
}

// Gives the new file the old one's owner (where permitted) and mode, or the mode for new files.
DWORD TakeOverPermissions(int fd, const FileTarget& target, const ReplaceOptions& options)
{
    FileCalls& calls = GetFileCalls();
    if (target.bExists) // only the superuser may give a file away; anyone else keeps it as their own
        calls.Fchown(fd, target.info.st_uid, target.info.st_gid);
    const mode_t mode = target.bExists && !options.bTakeNewMode ? target.info.st_mode & 07777 : options.newFileMode;
    return calls.Fchmod(fd, mode) == 0 ? ERROR_SUCCESS : LastSystemError();
}

// Writes the bytes and has the system start writing out what the file holds every few megabytes,
// while the rest is still being made: the fsync before the rename then waits only for the tail.
// Starting the writeback is only advice; its failure changes nothing.
class CWritingAhead
{
  public:
    explicit CWritingAhead(int fd) : m_fd(fd) {}
    DWORD operator()(std::string_view bytes)
    {
        const DWORD dwCode = WriteAll(m_fd, bytes);
        m_nWritten += static_cast<off_t>(bytes.size());
        if (dwCode == ERROR_SUCCESS && m_nWritten - m_nStarted >= kStep)
        {
            ::sync_file_range(m_fd, m_nStarted, m_nWritten - m_nStarted, SYNC_FILE_RANGE_WRITE);
            m_nStarted = m_nWritten;
        }
        return dwCode;
    }

  private:
    static constexpr off_t kStep = 4 * 1024 * 1024;
    int m_fd;
    off_t m_nWritten = 0;
    off_t m_nStarted = 0; // the bytes before this are on their way to the disk
};

DWORD WriteTemporary(FileDescriptor& file, const ContentWriter& content, const FileTarget& target,
                     const ReplaceOptions& options, FileIdentity& written)
{
    CWritingAhead writeAhead(file.Get());
    if (const DWORD dwCode = content([&writeAhead](std::string_view bytes) { return writeAhead(bytes); });
        dwCode != ERROR_SUCCESS)
        return dwCode;
    if (const DWORD dwCode = TakeOverPermissions(file.Get(), target, options); dwCode != ERROR_SUCCESS)
        return dwCode;
    FileCalls& calls = GetFileCalls();
    struct stat info
    {
    };
    if (calls.Fsync(file.Get()) != 0 || calls.Fstat(file.Get(), &info) != 0)
        return LastSystemError();
    if (!file.Close())
        return LastSystemError();
    written = {true, info.st_dev, info.st_ino, info.st_size, info.st_mtim};
    return ERROR_SUCCESS;
}

DWORD CheckReplaceable(const FileTarget& target, const ReplaceOptions& options)
{
    if (target.bExists && (target.info.st_mode & S_IWUSR) == 0 && !options.bTakeNewMode)
        return ERROR_FILE_READ_ONLY;
    if (options.pExpected == nullptr)
        return ERROR_SUCCESS;
    FileIdentity current;
    if (target.bExists)
        current = {true, target.info.st_dev, target.info.st_ino, target.info.st_size, target.info.st_mtim};
    return current == *options.pExpected ? ERROR_SUCCESS : ERROR_FILE_INVALID;
}

// The last look before the rename: whatever the earlier checks said, a rename never replaces a
// device, FIFO, socket, directory or link that took the target's name meanwhile.
DWORD CheckStillRegular(const std::string& strTarget)
{
    struct stat info
    {
    };
    if (GetFileCalls().Lstat(strTarget.c_str(), &info) != 0)
        return errno == ENOENT ? ERROR_SUCCESS : LastSystemError();
    if (S_ISREG(info.st_mode))
        return ERROR_SUCCESS;
    return S_ISDIR(info.st_mode) ? ERROR_DIRECTORY : ERROR_BAD_FILE_TYPE;
}

// Makes the rename itself durable. The new file is in place whatever this returns, so a failure is
// not reported: the caller must not believe the previous file is still there.
void SyncDirectory(const std::string& strDir)
{
    FileDescriptor dir(GetFileCalls().Open(strDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
    if (dir.IsOpen())
        GetFileCalls().Fsync(dir.Get());
}
} // namespace

DWORD ReplaceFileAtomically(const std::string& strPath, std::string_view bytes, const ReplaceOptions& options,
                            FileIdentity* pWritten)
{
    return ReplaceFileAtomically(
        strPath, [bytes](const WriteFunction& write) { return write(bytes); }, options, pWritten);
}

DWORD ReplaceFileAtomically(const std::string& strPath, const ContentWriter& content, const ReplaceOptions& options,
                            FileIdentity* pWritten)
{
    IgnoreFileSizeSignalOnce();
    FileTarget target;
    if (const DWORD dwCode = ResolveRegularFile(strPath, target); dwCode != ERROR_SUCCESS)
        return dwCode;
    if (const DWORD dwCode = CheckReplaceable(target, options); dwCode != ERROR_SUCCESS)
        return dwCode;

    FileDescriptor file;
    std::string strTempPath;
    if (const DWORD dwCode = CreateTemporaryBeside(target.strPath, file, strTempPath); dwCode != ERROR_SUCCESS)
        return dwCode;
    FileIdentity written;
    DWORD dwCode = WriteTemporary(file, content, target, options, written);
    if (dwCode == ERROR_SUCCESS && options.beforeReplace)
        dwCode = options.beforeReplace(target.strPath);
    if (dwCode == ERROR_SUCCESS)
        dwCode = CheckStillRegular(target.strPath);
    if (dwCode == ERROR_SUCCESS && GetFileCalls().Rename(strTempPath.c_str(), target.strPath.c_str()) != 0)
        dwCode = LastSystemError();
    if (dwCode != ERROR_SUCCESS)
    {
        file.Close();
        GetFileCalls().Unlink(strTempPath.c_str());
        return dwCode;
    }
    SyncDirectory(DirectoryOf(target.strPath));
    if (pWritten != nullptr)
        *pWritten = written;
    return ERROR_SUCCESS;
}

bool IsTemporaryOf(std::string_view name, std::string_view strFileName)
{
    return name.size() > strFileName.size() + kTemporaryMark.size() && name.starts_with(strFileName) &&
           name.substr(strFileName.size()).starts_with(kTemporaryMark);
}

int RemoveStaleTemporaries(const std::string& strPath)
{
    std::vector<std::string> paths = {strPath};
    if (FileTarget target; ResolveRegularFile(strPath, target) == ERROR_SUCCESS && target.strPath != strPath)
        paths.push_back(target.strPath);
    FileCalls& calls = GetFileCalls();
    int nRemoved = 0;
    for (const std::string& strFile : paths)
    {
        const std::string strDir = DirectoryOf(strFile);
        const std::string strName = strFile.substr(strFile.rfind('/') + 1);
        std::vector<std::string> names;
        calls.ListDirectory(strDir.c_str(), names);
        for (const std::string& name : names)
        {
            const std::string strCandidate = strDir + "/" + name;
            struct stat info
            {
            };
            if (IsTemporaryOf(name, strName) && calls.Lstat(strCandidate.c_str(), &info) == 0 &&
                S_ISREG(info.st_mode) && calls.Unlink(strCandidate.c_str()) == 0)
                ++nRemoved;
        }
    }
    return nRemoved;
}
