#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// A fresh temporary directory for one test, removed with everything in it at the end.
class TempDir
{
  public:
    TempDir()
    {
        std::string strTemplate = (std::filesystem::temp_directory_path() / "filelayer-XXXXXX").string();
        m_strPath = ::mkdtemp(strTemplate.data());
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::permissions(m_strPath, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(m_strPath, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string operator/(const std::string& strName) const { return m_strPath + "/" + strName; }
    const std::string& Path() const { return m_strPath; }
    // Names of the entries, sorted and joined by blanks.
    std::string Listing() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_strPath))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        std::string strListing;
        for (const auto& name : names)
            strListing += (strListing.empty() ? "" : " ") + name;
        return strListing;
    }

  private:
    std::string m_strPath;
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
