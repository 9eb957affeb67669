#include "core/ProgramFiles.h"

#include <filesystem>
#include <string_view>

#include "platform/ProgramDir.h"

namespace
{
namespace fs = std::filesystem;

// The path with every link and "." or ".." resolved as far as the files exist.
fs::path Resolved(const fs::path& path)
{
    std::error_code ec;
    fs::path resolved = fs::weakly_canonical(fs::absolute(path, ec), ec);
    return ec ? path.lexically_normal() : resolved;
}

bool IsWithin(const fs::path& path, const fs::path& dir)
{
    const fs::path relative = path.lexically_relative(dir);
    return !relative.empty() && *relative.begin() != "..";
}
} // namespace

bool IsProgramOwnFile(const std::string& strPath)
{
    const std::string strDir = GetProgramDirectory();
    if (strDir.empty() || strPath.empty())
        return false;
    const fs::path programDir = Resolved(strDir);
    const fs::path target = Resolved(strPath);
    if (IsWithin(target, programDir / "backup"))
        return true;
    if (target.parent_path() != programDir)
        return false;
    const std::string strName = target.filename().string();
    const std::string_view name(strName);
    return name.ends_with(".db") || name.ends_with(".lock") || name.find(".db.tmp-") != std::string_view::npos;
}
