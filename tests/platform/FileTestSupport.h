#pragma once

#include "TestKit.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// The kit's temporary directory, with "dir / name" for the path of a file in it.
class TempDir : public TestKit::TempDir
{
  public:
    std::string operator/(const std::string& strName) const { return FilePath(strName); }
};

inline std::string ReadBytes(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

inline void WriteBytes(const std::string& strPath, const std::string& bytes, mode_t mode = 0644)
{
    std::ofstream(strPath, std::ios::binary) << bytes;
    ::chmod(strPath.c_str(), mode);
}

inline mode_t ModeOf(const std::string& strPath)
{
    struct stat info
    {
    };
    ::stat(strPath.c_str(), &info);
    return info.st_mode & 07777;
}
