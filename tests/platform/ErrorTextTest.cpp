#include "platform/ErrorText.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <set>

#include "platform/Encoding.h"
#include "platform/LastError.h"

namespace
{
std::string Utf8(const std::string& strGbk)
{
    return Encoding::GbkToUtf8(strGbk).value_or("(not GBK)");
}

TEST(ErrorText, EveryCodeTheFileLayerReportsHasItsOwnWords)
{
    const DWORD codes[] = {ERROR_FILE_NOT_FOUND,
                           ERROR_PATH_NOT_FOUND,
                           ERROR_ACCESS_DENIED,
                           ERROR_NOT_ENOUGH_MEMORY,
                           ERROR_INVALID_DATA,
                           ERROR_WRITE_FAULT,
                           ERROR_READ_FAULT,
                           ERROR_GEN_FAILURE,
                           ERROR_LOCK_VIOLATION,
                           ERROR_INVALID_PASSWORD,
                           ERROR_DISK_FULL,
                           ERROR_FILENAME_EXCED_RANGE,
                           ERROR_BAD_FILE_TYPE,
                           ERROR_FILE_TOO_LARGE,
                           ERROR_DIRECTORY,
                           ERROR_FILE_INVALID,
                           ERROR_INTERNAL_ERROR,
                           ERROR_FILE_CORRUPT,
                           ERROR_CANT_RESOLVE_FILENAME,
                           ERROR_FILE_READ_ONLY};
    std::set<std::string> seen;
    for (const DWORD dwCode : codes)
    {
        const std::string strText = Utf8(GetErrorReasonText(dwCode));
        EXPECT_EQ(strText.find("错误码"), std::string::npos) << dwCode;
        EXPECT_TRUE(seen.insert(strText).second) << dwCode << " shares its words: " << strText;
    }
    EXPECT_EQ(Utf8(GetErrorReasonText(ERROR_DISK_FULL)), "磁盘空间不足");
    EXPECT_EQ(Utf8(GetErrorReasonText(ERROR_FILE_READ_ONLY)), "文件是只读的");
    EXPECT_EQ(Utf8(GetErrorReasonText(4242)), "错误码 4242");
}

TEST(ErrorText, SystemErrorsMapToTheNearestCode)
{
    const std::pair<int, DWORD> cases[] = {
        {ENOENT, ERROR_FILE_NOT_FOUND},
        {ENOTDIR, ERROR_PATH_NOT_FOUND},
        {EACCES, ERROR_ACCESS_DENIED},
        {EROFS, ERROR_ACCESS_DENIED},
        {EISDIR, ERROR_DIRECTORY},
        {ENOSPC, ERROR_DISK_FULL},
        {EDQUOT, ERROR_DISK_FULL},
        {EFBIG, ERROR_FILE_TOO_LARGE},
        {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
        {ELOOP, ERROR_CANT_RESOLVE_FILENAME},
        {ENXIO, ERROR_BAD_FILE_TYPE},
        {EIO, ERROR_GEN_FAILURE},
    };
    for (const auto& [nErrno, dwCode] : cases)
        EXPECT_EQ(ErrorFromErrno(nErrno), dwCode) << nErrno;
}
} // namespace
