#include "platform/WriteBehind.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
// Writes blocks "0", "1", ... through a CWriteBehind whose write fails (with code 5) from block
// nFailAt on; returns what reached the write and the codes seen.
struct BlocksWritten
{
    std::vector<std::string> written;
    std::vector<DWORD> handed; // what each Write returned
    DWORD dwFinished = ERROR_SUCCESS;
};

BlocksWritten WriteBlocks(int nBlocks, int nFailAt)
{
    BlocksWritten run;
    const WriteFunction write = [&](std::string_view bytes) -> DWORD {
        if (static_cast<int>(run.written.size()) >= nFailAt)
            return 5;
        run.written.emplace_back(bytes);
        return ERROR_SUCCESS;
    };
    CWriteBehind behind(write);
    for (int n = 0; n < nBlocks; ++n)
    {
        std::string block = std::to_string(n);
        run.handed.push_back(behind.Write(block));
        if (run.handed.back() != ERROR_SUCCESS)
            break;
        EXPECT_TRUE(block.empty()) << "a block taken leaves the caller an empty one";
    }
    run.dwFinished = behind.Finish();
    return run;
}
} // namespace

TEST(WriteBehind, WritesEveryBlockInOrderAndStopsAtTheFirstFailure)
{
    const BlocksWritten whole = WriteBlocks(1000, 1000);
    ASSERT_EQ(whole.written.size(), 1000u);
    for (int n = 0; n < 1000; ++n)
        EXPECT_EQ(whole.written[static_cast<std::size_t>(n)], std::to_string(n));
    EXPECT_EQ(whole.dwFinished, ERROR_SUCCESS);

    for (const int nFailAt : {0, 1, 500})
    {
        const BlocksWritten failed = WriteBlocks(1000, nFailAt);
        EXPECT_EQ(failed.written.size(), static_cast<std::size_t>(nFailAt)) << "nothing after the failed block";
        EXPECT_EQ(failed.dwFinished, 5u);
        EXPECT_LE(failed.handed.size(), static_cast<std::size_t>(nFailAt) + 3) << "the caller learns it soon";
    }
}
