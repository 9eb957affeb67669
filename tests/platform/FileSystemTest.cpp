#include "platform/FileSystem.h"

#include <cerrno>
#include <functional>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>

#include "platform/FileCalls.h"
#include "platform/FileTestSupport.h"
#include "platform/LastError.h"

namespace
{
// The POSIX calls with one of them replaced by a test's fault.
class FaultyCalls : public FileCalls
{
  public:
    std::function<int(int)> fsync;
    std::function<ssize_t(int, const void*, size_t)> write;
    std::function<ssize_t(int, void*, size_t)> read;
    std::function<int(const char*, const char*)> rename;

    int Fsync(int fd) override { return fsync ? fsync(fd) : FileCalls::Fsync(fd); }
    ssize_t Write(int fd, const void* p, size_t n) override
    {
        return write ? write(fd, p, n) : FileCalls::Write(fd, p, n);
    }
    ssize_t Read(int fd, void* p, size_t n) override { return read ? read(fd, p, n) : FileCalls::Read(fd, p, n); }
    int Rename(const char* a, const char* b) override { return rename ? rename(a, b) : FileCalls::Rename(a, b); }
};

ReplaceOptions NewFileMode(mode_t mode)
{
    ReplaceOptions options;
    options.newFileMode = mode;
    return options;
}

ReplaceOptions Expecting(const FileIdentity& identity)
{
    ReplaceOptions options;
    options.pExpected = &identity;
    return options;
}

int FailWithErrno(int nErrno)
{
    errno = nErrno;
    return -1;
}

void MakeSocket(const std::string& strPath)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    strPath.copy(address.sun_path, sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
}

// Names a test directory's odd entries; each maker puts one at the path.
struct OddFileCase
{
    const char* lpcszName;
    std::function<void(const TempDir&, const std::string&)> make;
    DWORD dwCode;
};

void PrintTo(const OddFileCase& oddCase, std::ostream* pOut)
{
    *pOut << oddCase.lpcszName;
}

const OddFileCase kOddFiles[] = {
    {"directory", [](const TempDir&, const std::string& p) { ::mkdir(p.c_str(), 0755); }, ERROR_DIRECTORY},
    {"fifo", [](const TempDir&, const std::string& p) { ::mkfifo(p.c_str(), 0644); }, ERROR_BAD_FILE_TYPE},
    {"socket", [](const TempDir&, const std::string& p) { MakeSocket(p); }, ERROR_BAD_FILE_TYPE},
    {"device", [](const TempDir&, const std::string& p) { ASSERT_TRUE(TestKit::MakeDeviceNode(p)); },
     ERROR_BAD_FILE_TYPE},
    {"link to a device",
     [](const TempDir& dir, const std::string& p) {
         ASSERT_TRUE(TestKit::MakeDeviceNode(dir / "device"));
         ::symlink((dir / "device").c_str(), p.c_str());
     },
     ERROR_BAD_FILE_TYPE},
    {"dangling link", [](const TempDir& dir, const std::string& p) { ::symlink((dir / "gone").c_str(), p.c_str()); },
     ERROR_CANT_RESOLVE_FILENAME},
    {"link loop", [](const TempDir&, const std::string& p) { ::symlink(p.c_str(), p.c_str()); },
     ERROR_CANT_RESOLVE_FILENAME},
    {"link to a directory", [](const TempDir& dir, const std::string& p) { ::symlink(dir.Path().c_str(), p.c_str()); },
     ERROR_DIRECTORY},
};

class OddFile : public testing::TestWithParam<OddFileCase>
{
  protected:
    void SetUp() override { GetParam().make(m_dir, Path()); }
    std::string Path() const { return m_dir / "10001.db"; }
    TempDir m_dir;
};

TEST_P(OddFile, IsRefusedAtOnceByReadAndReplace)
{
    std::string strBytes;
    EXPECT_EQ(ReadRegularFile(Path(), strBytes), GetParam().dwCode);
    const std::string strBefore = m_dir.Listing();
    EXPECT_EQ(ReplaceFileAtomically(Path(), "new"), GetParam().dwCode);
    EXPECT_EQ(m_dir.Listing(), strBefore); // nothing created, nothing replaced
    FileIdentity identity;
    EXPECT_EQ(GetFileIdentity(Path(), identity), GetParam().dwCode);
}

INSTANTIATE_TEST_SUITE_P(Kinds, OddFile, testing::ValuesIn(kOddFiles));

TEST(ReadRegularFile, ReadsThroughALinkAndReportsTheIdentity)
{
    TempDir dir;
    WriteBytes(dir / "target", std::string("a\0b", 3));
    ASSERT_EQ(::symlink("target", (dir / "link").c_str()), 0);
    std::string strBytes;
    FileIdentity identity;
    ASSERT_EQ(ReadRegularFile(dir / "link", strBytes, &identity), ERROR_SUCCESS);
    EXPECT_EQ(strBytes, std::string("a\0b", 3));
    FileIdentity direct;
    ASSERT_EQ(GetFileIdentity(dir / "target", direct), ERROR_SUCCESS);
    EXPECT_TRUE(identity == direct);
    EXPECT_EQ(ReadRegularFile(dir / "missing", strBytes), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(GetFileIdentity(dir / "missing", identity), ERROR_SUCCESS);
    EXPECT_FALSE(identity.bExists);
}

TEST(ReadRegularFile, ReadEndingBeforeTheSizeIsAReadFault)
{
    TempDir dir;
    WriteBytes(dir / "file", std::string(10000, 'x'));
    FaultyCalls calls;
    int nCalls = 0;
    calls.read = [&](int fd, void* p, size_t n) -> ssize_t {
        return ++nCalls == 1 ? ::read(fd, p, std::min<size_t>(n, 100)) : 0; // ends after 100 bytes
    };
    ScopedFileCalls scope(calls);
    std::string strBytes;
    EXPECT_EQ(ReadRegularFile(dir / "file", strBytes), ERROR_READ_FAULT);
}

// ---- Atomic replace ----------------------------------------------------------------------------

class Replace : public testing::Test
{
  protected:
    std::string Path() const { return m_dir / "10001.db"; }
    void ExpectOldFileIntact(const std::string& strOld)
    {
        EXPECT_EQ(ReadBytes(Path()), strOld);
        EXPECT_EQ(m_dir.Listing(), "10001.db"); // no temporary file left
    }
    TempDir m_dir;
};

TEST_F(Replace, NewFileGetsTheGivenModeAndAnExistingFileKeepsItsOwn)
{
    ::umask(022);
    ASSERT_EQ(ReplaceFileAtomically(Path(), "one", NewFileMode(0600)), ERROR_SUCCESS);
    EXPECT_EQ(ModeOf(Path()), 0600u);
    for (const mode_t mode : {0640u, 0604u, 0666u, 0200u})
    {
        ASSERT_EQ(::chmod(Path().c_str(), mode), 0);
        ASSERT_EQ(ReplaceFileAtomically(Path(), "two", NewFileMode(0600)), ERROR_SUCCESS) << mode;
        EXPECT_EQ(ModeOf(Path()), mode);
    }
    EXPECT_EQ(ReadBytes(Path()), "two");
    EXPECT_EQ(m_dir.Listing(), "10001.db");
}

TEST_F(Replace, ReadOnlyFileIsRefusedAndKept)
{
    WriteBytes(Path(), "old", 0444);
    EXPECT_EQ(ReplaceFileAtomically(Path(), "new"), ERROR_FILE_READ_ONLY);
    ExpectOldFileIntact("old");
    EXPECT_EQ(ModeOf(Path()), 0444u);
}

TEST_F(Replace, LinkIsResolvedAndItsTargetReplaced)
{
    ::mkdir((m_dir / "real").c_str(), 0755);
    WriteBytes(m_dir / "real/10001.db", "old", 0640);
    ASSERT_EQ(::symlink("real/10001.db", Path().c_str()), 0);
    ASSERT_EQ(ReplaceFileAtomically(Path(), "new"), ERROR_SUCCESS);
    struct stat info
    {
    };
    ASSERT_EQ(::lstat(Path().c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ReadBytes(m_dir / "real/10001.db"), "new");
    EXPECT_EQ(ModeOf(m_dir / "real/10001.db"), 0640u);
    EXPECT_EQ(m_dir.Listing(), "10001.db real");
}

TEST_F(Replace, FailureOfAnyStepKeepsTheOldFileAndLeavesNoTemporary)
{
    struct FaultCase
    {
        const char* lpcszName;
        std::function<void(FaultyCalls&)> plant;
        DWORD dwCode;
    };
    const FaultCase cases[] = {
        {"fsync fails", [](FaultyCalls& c) { c.fsync = [](int) { return FailWithErrno(EIO); }; }, ERROR_GEN_FAILURE},
        {"file-size limit",
         [](FaultyCalls& c) { c.write = [](int, const void*, size_t) -> ssize_t { return FailWithErrno(EFBIG); }; },
         ERROR_FILE_TOO_LARGE},
        {"disk full",
         [](FaultyCalls& c) { c.write = [](int, const void*, size_t) -> ssize_t { return FailWithErrno(ENOSPC); }; },
         ERROR_DISK_FULL},
        {"write makes no progress",
         [](FaultyCalls& c) { c.write = [](int, const void*, size_t) -> ssize_t { return 0; }; }, ERROR_WRITE_FAULT},
        {"rename fails",
         [](FaultyCalls& c) { c.rename = [](const char*, const char*) { return FailWithErrno(EACCES); }; },
         ERROR_ACCESS_DENIED},
    };
    for (const FaultCase& fault : cases)
    {
        WriteBytes(Path(), "old", 0600);
        FaultyCalls calls;
        fault.plant(calls);
        ScopedFileCalls scope(calls);
        EXPECT_EQ(ReplaceFileAtomically(Path(), std::string(5000, 'n')), fault.dwCode) << fault.lpcszName;
        ExpectOldFileIntact("old");
    }
}

TEST_F(Replace, RealFileSizeLimitIsAReportedFailure)
{
    WriteBytes(Path(), "old");
    const pid_t child = ::fork();
    if (child == 0)
    {
        // The signal is left at its default: the layer must keep it from killing the program.
        rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(ReplaceFileAtomically(Path(), std::string(5000, 'n')) == ERROR_FILE_TOO_LARGE ? 0 : 1);
    }
    int nStatus = 0;
    ASSERT_EQ(::waitpid(child, &nStatus, 0), child);
    ASSERT_TRUE(WIFEXITED(nStatus)) << "killed by signal " << WTERMSIG(nStatus);
    EXPECT_EQ(WEXITSTATUS(nStatus), 0);
    ExpectOldFileIntact("old");
}

TEST_F(Replace, TargetChangedSinceItWasReadIsRefused)
{
    WriteBytes(Path(), "loaded");
    std::string strBytes;
    FileIdentity loaded;
    ASSERT_EQ(ReadRegularFile(Path(), strBytes, &loaded), ERROR_SUCCESS);
    FileIdentity written;
    ASSERT_EQ(ReplaceFileAtomically(Path(), "mine", Expecting(loaded), &written), ERROR_SUCCESS);

    // Another program replaces the file: the identity we hold no longer matches.
    ASSERT_EQ(ReplaceFileAtomically(Path(), "theirs"), ERROR_SUCCESS);
    EXPECT_EQ(ReplaceFileAtomically(Path(), "mine again", Expecting(written)), ERROR_FILE_INVALID);
    ExpectOldFileIntact("theirs");

    // A file that was missing when loaded must still be missing.
    const FileIdentity missing;
    EXPECT_EQ(ReplaceFileAtomically(Path(), "new school", Expecting(missing)), ERROR_FILE_INVALID);
    ::unlink(Path().c_str());
    EXPECT_EQ(ReplaceFileAtomically(Path(), "new school", Expecting(missing)), ERROR_SUCCESS);
}

TEST_F(Replace, WrittenIdentityMatchesTheFileOnDisk)
{
    FileIdentity written;
    ASSERT_EQ(ReplaceFileAtomically(Path(), "abc", {}, &written), ERROR_SUCCESS);
    FileIdentity onDisk;
    ASSERT_EQ(GetFileIdentity(Path(), onDisk), ERROR_SUCCESS);
    EXPECT_TRUE(written == onDisk);
    EXPECT_EQ(written.size, 3);
}

TEST_F(Replace, ContentOfManyMegabytesLandsWholeWhileItIsWrittenOut)
{
    // Blocks of odd sizes, so that the file is sent to the disk in pieces that end inside blocks.
    std::string strExpected;
    const ContentWriter content = [&](const WriteFunction& write) {
        for (int i = 0; i < 12; ++i)
        {
            const std::string block(1000003 + i, static_cast<char>('a' + i));
            strExpected += block;
            if (const DWORD dwCode = write(block); dwCode != ERROR_SUCCESS)
                return dwCode;
        }
        return ERROR_SUCCESS;
    };
    FileIdentity written;
    ASSERT_EQ(ReplaceFileAtomically(Path(), content, {}, &written), ERROR_SUCCESS);
    EXPECT_EQ(ReadBytes(Path()), strExpected);
    EXPECT_EQ(written.size, static_cast<off_t>(strExpected.size()));
    EXPECT_EQ(m_dir.Listing(), "10001.db");
}

TEST_F(Replace, HookSeesTheResolvedTargetAndItsFailureAbandonsTheReplace)
{
    WriteBytes(Path(), "old");
    std::string strSeen;
    ReplaceOptions options;
    options.beforeReplace = [&](const std::string& strTarget) {
        strSeen = strTarget;
        return ReadBytes(strTarget) == "old" ? ERROR_DISK_FULL : ERROR_INTERNAL_ERROR;
    };
    EXPECT_EQ(ReplaceFileAtomically(Path(), "new", options), ERROR_DISK_FULL);
    EXPECT_EQ(strSeen, Path());
    ExpectOldFileIntact("old");
}

TEST_F(Replace, MissingDirectoryIsPathNotFound)
{
    EXPECT_EQ(ReplaceFileAtomically(m_dir / "gone/10001.db", "x"), ERROR_PATH_NOT_FOUND);
}

// ---- Leftovers of interrupted replaces ----------------------------------------------------------

// Whatever the earlier checks said, the rename never replaces something that took the target's
// name meanwhile: with the type check broken, tests once replaced real devices with files.
TEST_F(Replace, SomethingOddThatTookTheNameMeanwhileIsNeverReplaced)
{
    for (const auto& [lpcszName, dwCode] :
         {std::pair{"fifo", ERROR_BAD_FILE_TYPE}, std::pair{"device", ERROR_BAD_FILE_TYPE},
          std::pair{"directory", ERROR_DIRECTORY}})
    {
        WriteBytes(Path(), "old");
        ReplaceOptions options;
        options.beforeReplace = [&, name = std::string(lpcszName)](const std::string& strTarget) {
            ::unlink(strTarget.c_str());
            if (name == "fifo")
                ::mkfifo(strTarget.c_str(), 0600);
            else if (name == "device")
                TestKit::MakeDeviceNode(strTarget);
            else
                ::mkdir(strTarget.c_str(), 0700);
            return ERROR_SUCCESS;
        };
        EXPECT_EQ(ReplaceFileAtomically(Path(), "new", options), dwCode) << lpcszName;
        struct stat info
        {
        };
        ASSERT_EQ(::lstat(Path().c_str(), &info), 0);
        EXPECT_FALSE(S_ISREG(info.st_mode)) << lpcszName;
        EXPECT_EQ(m_dir.Listing(), "10001.db") << lpcszName; // and no temporary left
        ::rmdir(Path().c_str());
        ::unlink(Path().c_str());
    }
}

// The real wrapper, not a replacement: fsync on a pipe fails, and the failure must come through.
TEST(FileCallsWrappers, FsyncReportsItsFailure)
{
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    FileCalls calls;
    errno = 0;
    EXPECT_EQ(calls.Fsync(fds[0]), -1);
    EXPECT_EQ(errno, EINVAL);
    ::close(fds[0]);
    ::close(fds[1]);
}

// A look at the path that fails for any reason but "no such file" is no missing file: a read or
// a replace then would create a new file where the old could not be seen.
TEST(ResolveRegularFile, FailedLookIsNoMissingFile)
{
    TempDir dir;
    const std::string strPath = dir / "10001.db";
    for (const auto& [nErrno, dwCode] :
         {std::pair{EACCES, ERROR_ACCESS_DENIED}, std::pair{ENOTDIR, ERROR_PATH_NOT_FOUND},
          std::pair{ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE}})
    {
        class FailingLstat : public FileCalls
        {
          public:
            explicit FailingLstat(int nErrno) : m_nErrno(nErrno) {}
            int Lstat(const char*, struct stat*) override { return FailWithErrno(m_nErrno); }

          private:
            int m_nErrno;
        } calls(nErrno);
        ScopedFileCalls scope(calls);
        std::string strBytes;
        EXPECT_EQ(ReadRegularFile(strPath, strBytes), dwCode) << nErrno;
        EXPECT_EQ(ReplaceFileAtomically(strPath, "new"), dwCode) << nErrno;
        FileIdentity identity;
        EXPECT_EQ(GetFileIdentity(strPath, identity), dwCode) << nErrno;
    }
    EXPECT_EQ(dir.Listing(), "");
}

// A write within the same second changes only the nanoseconds of the modification time.
TEST(FileIdentity, TellsFilesApartToTheNanosecond)
{
    FileIdentity a{true, 1, 2, 3, {100, 5}};
    FileIdentity b = a;
    EXPECT_TRUE(a == b);
    b.modified.tv_nsec = 6;
    EXPECT_FALSE(a == b);
    b = a;
    b.modified.tv_sec = 101;
    EXPECT_FALSE(a == b);
}

TEST(StaleTemporaries, OnlyThisFilesTemporariesAreRemoved)
{
    TempDir dir;
    ::mkdir((dir / "real").c_str(), 0755);
    for (const char* lpcszName :
         {"10001.db", "10001.db.tmp-12-3", "10001.db.tmp-99-1", "10001.db.tmp-", "10002.db.tmp-12-3", "10001.dbx"})
        WriteBytes(dir / lpcszName, "x");
    WriteBytes(dir / "real/20001.db", "x");
    WriteBytes(dir / "real/20001.db.tmp-5-5", "x");
    ::symlink("real/20001.db", (dir / "20001.db").c_str());
    ::mkdir((dir / "10001.db.tmp-1-1").c_str(), 0755); // not a file: left alone

    EXPECT_EQ(RemoveStaleTemporaries(dir / "10001.db"), 2);
    EXPECT_EQ(dir.Listing(), "10001.db 10001.db.tmp- 10001.db.tmp-1-1 10001.dbx 10002.db.tmp-12-3 20001.db real");
    EXPECT_EQ(RemoveStaleTemporaries(dir / "20001.db"), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "real/20001.db.tmp-5-5"));
}
} // namespace
