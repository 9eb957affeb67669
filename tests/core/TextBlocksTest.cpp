#include "core/TextBlocks.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
void AppendNumberLine(int n, std::string& strBlock)
{
    strBlock += std::to_string(n) + "\r\n";
}

std::string NumberLines(int nFirst, int nEnd)
{
    std::string strText;
    for (int n = nFirst; n < nEnd; ++n)
        AppendNumberLine(n, strText);
    return strText;
}

class TextBlocksCount : public testing::TestWithParam<int>
{
};

// One thread below the threshold, two from it on; an odd count leaves the last block short.
TEST_P(TextBlocksCount, HandsOnEveryLineOnceInOrderInWholeLines)
{
    const int nEnd = GetParam();
    std::vector<std::string> blocks;
    const DWORD dwCode = WriteLinesInBlocks(-1, nEnd, AppendNumberLine, [&](std::string& strBlock) {
        blocks.push_back(strBlock);
        return ERROR_SUCCESS;
    });
    EXPECT_EQ(dwCode, ERROR_SUCCESS);
    std::string strText;
    for (const std::string& strBlock : blocks)
    {
        EXPECT_TRUE(strBlock.ends_with("\r\n"));
        strText += strBlock;
    }
    EXPECT_EQ(strText, NumberLines(-1, nEnd));
}

INSTANTIATE_TEST_SUITE_P(Counts, TextBlocksCount,
                         testing::Values(kRowsWorthTwoThreads - 2, kRowsWorthTwoThreads - 1,
                                         kRowsWorthTwoThreads + 3 * kLinesPerSharedBlock + 5));

// The failing block is the calling thread's own (0, 2) or the other thread's (1, 3).
TEST(TextBlocks, StopsAtTheFirstFailedWriteOfEitherThread)
{
    const int nEnd = 8 * kLinesPerSharedBlock;
    for (int nFailing : {0, 1, 2, 3})
    {
        int nCalls = 0;
        std::string strWritten;
        const DWORD dwCode = WriteLinesOnTwoThreads(0, nEnd, AppendNumberLine, [&](std::string& strBlock) {
            if (nCalls++ == nFailing)
                return ERROR_DISK_FULL;
            strWritten += strBlock;
            return ERROR_SUCCESS;
        });
        EXPECT_EQ(dwCode, ERROR_DISK_FULL);
        EXPECT_EQ(nCalls, nFailing + 1);
        EXPECT_EQ(strWritten, NumberLines(0, nFailing * kLinesPerSharedBlock));
    }
}

TEST(TextBlocks, AFaultOfEitherThreadReachesTheCaller)
{
    const int nEnd = 8 * kLinesPerSharedBlock;
    for (int nFaultyLine : {2 * kLinesPerSharedBlock + 7, 3 * kLinesPerSharedBlock + 7})
    {
        const auto appendLine = [nFaultyLine](int n, std::string& strBlock) {
            if (n == nFaultyLine)
                throw std::runtime_error("no room");
            AppendNumberLine(n, strBlock);
        };
        EXPECT_THROW(WriteLinesOnTwoThreads(0, nEnd, appendLine, [](std::string&) { return ERROR_SUCCESS; }),
                     std::runtime_error);
    }
}
} // namespace
