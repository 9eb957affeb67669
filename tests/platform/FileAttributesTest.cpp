#include "platform/FileAttributes.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/LastError.h"

namespace fs = std::filesystem;

namespace
{
unsigned Mode(const fs::path& path)
{
    struct stat info
    {
    };
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

TEST(FileAttributes, MapToPermissions)
{
    const fs::path path = fs::temp_directory_path() / ("attributes-" + std::to_string(::getpid()));
    std::ofstream(path) << "x";
    const std::pair<DWORD, unsigned> cases[] = {{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, 0600},
                                                {FILE_ATTRIBUTE_NORMAL, 0644},
                                                {FILE_ATTRIBUTE_SYSTEM, 0600},
                                                {FILE_ATTRIBUTE_READONLY, 0444},
                                                {FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, 0400}};
    for (const auto& [attributes, mode] : cases)
    {
        EXPECT_TRUE(SetFileAttributesA(path.c_str(), attributes));
        EXPECT_EQ(Mode(path), mode) << attributes;
    }
    fs::remove(path);
}

TEST(FileAttributes, MissingFileSetsTheLastError)
{
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(SetFileAttributesA("/nonexistent-dir/file", FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}
} // namespace
