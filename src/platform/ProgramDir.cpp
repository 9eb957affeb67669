#include "platform/ProgramDir.h"

#include <filesystem>
#include <system_error>

namespace
{
std::string& OverrideDir()
{
    static std::string dir;
    return dir;
}

std::string& DumpDir()
{
    static std::string dir;
    return dir;
}
} // namespace

std::string GetProgramDirectory()
{
    if (!OverrideDir().empty())
        return OverrideDir();
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    return exe.parent_path().string();
}

void SetProgramDirectory(const std::string& strDir)
{
    OverrideDir() = strDir;
}

std::string GetDumpDirectory()
{
    if (!DumpDir().empty())
        return DumpDir();
    std::error_code ec;
    const std::filesystem::path tmp = std::filesystem::temp_directory_path(ec);
    return ec ? std::string("/tmp") : tmp.string();
}

void SetDumpDirectory(const std::string& strDir)
{
    DumpDir() = strDir;
}
