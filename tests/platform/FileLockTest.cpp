#include "platform/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>

#include "platform/FileCalls.h"
#include "platform/FileTestSupport.h"
#include "platform/LastError.h"

namespace
{
TEST(FileLock, SecondHolderIsRefusedUntilTheFirstLetsGo)
{
    TempDir dir;
    CFileLock first;
    CFileLock second;
    ASSERT_EQ(first.TryLock(dir / "10001.lock"), ERROR_SUCCESS);
    EXPECT_EQ(ModeOf(dir / "10001.lock"), 0600u);
    EXPECT_EQ(second.TryLock(dir / "10001.lock"), ERROR_LOCK_VIOLATION);
    EXPECT_FALSE(second.IsHeld());
    EXPECT_EQ(second.TryLock(dir / "10002.lock"), ERROR_SUCCESS); // another school is free
    first.Unlock();
    EXPECT_EQ(second.TryLock(dir / "10001.lock"), ERROR_SUCCESS);
}

TEST(FileLock, AnotherProcessIsRefused)
{
    TempDir dir;
    CFileLock lock;
    ASSERT_EQ(lock.TryLock(dir / "10001.lock"), ERROR_SUCCESS);
    const pid_t child = ::fork();
    if (child == 0)
    {
        CFileLock other;
        ::_exit(other.TryLock(dir / "10001.lock") == ERROR_LOCK_VIOLATION ? 0 : 1);
    }
    int nStatus = 0;
    ASSERT_EQ(::waitpid(child, &nStatus, 0), child);
    EXPECT_TRUE(WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0);
}

TEST(FileLock, WaitGetsTheLockOnceReleasedAndGivesUpAfterTheTimeout)
{
    TempDir dir;
    CFileLock holder;
    ASSERT_EQ(holder.TryLock(dir / "10001.lock"), ERROR_SUCCESS);
    CFileLock waiter;
    EXPECT_EQ(waiter.Lock(dir / "10001.lock", 0), ERROR_LOCK_VIOLATION);
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        holder.Unlock();
    });
    EXPECT_EQ(waiter.Lock(dir / "10001.lock", 10), ERROR_SUCCESS);
    release.join();
}

TEST(FileLock, FallsBackToRecordLocksWithoutOpenFileDescriptionLocks)
{
    class NoOfdLocks : public FileCalls
    {
      public:
        int FcntlLock(int fd, int nCommand, struct flock* pLock) override
        {
            if (nCommand == F_OFD_SETLK)
            {
                errno = EINVAL;
                return -1;
            }
            commands.push_back(nCommand);
            return FileCalls::FcntlLock(fd, nCommand, pLock);
        }
        std::vector<int> commands;
    } calls;
    ScopedFileCalls scope(calls);
    TempDir dir;
    CFileLock lock;
    EXPECT_EQ(lock.TryLock(dir / "10001.lock"), ERROR_SUCCESS);
    EXPECT_EQ(calls.commands, std::vector<int>{F_SETLK});
}

TEST(FileLock, OddLockFileIsRefused)
{
    TempDir dir;
    ::mkfifo((dir / "10001.lock").c_str(), 0644);
    CFileLock lock;
    EXPECT_EQ(lock.TryLock(dir / "10001.lock"), ERROR_BAD_FILE_TYPE);
}
} // namespace
