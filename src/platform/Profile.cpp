#include "platform/Profile.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"

namespace
{
constexpr std::string_view kLineEnd = "\r\n";
constexpr int kLockWaitSeconds = 10; // another writer holds it for a moment only

std::string_view TrimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Whether the line is a "[name]" header; name receives the name without blanks around it.
bool ParseSectionHeader(std::string_view line, std::string_view& name)
{
    const std::string_view trimmed = TrimBlanks(line);
    const auto close = trimmed.find(']');
    if (trimmed.empty() || trimmed.front() != '[' || close == std::string_view::npos)
        return false;
    name = TrimBlanks(trimmed.substr(1, close - 1));
    return true;
}

bool IsKeyLine(std::string_view line, std::string_view key)
{
    const std::string_view trimmed = TrimBlanks(line);
    const auto equals = trimmed.find('=');
    return !trimmed.empty() && trimmed.front() != ';' && equals != std::string_view::npos &&
           TrimBlanks(trimmed.substr(0, equals)) == key;
}

// The profile text with key = value set in the section, every other line kept byte for byte.
std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value)
{
    const std::string entry = std::string(key) + "=" + std::string(value);
    bool bInSection = false;
    std::size_t insertAt = std::string_view::npos; // after the section's last non-blank line
    bool bInsertNeedsBreak = false;                // that line is the file's last and has no line end
    for (std::size_t start = 0; start < text.size();)
    {
        const auto newline = text.find('\n', start);
        const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
        std::string_view line = text.substr(start, next - start);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.remove_suffix(1);

        std::string_view name;
        if (ParseSectionHeader(line, name))
        {
            if (bInSection)
                break; // only the first section of that name is used
            bInSection = name == section;
        }
        else if (bInSection && IsKeyLine(line, key))
        {
            return std::string(text.substr(0, start)) + entry + std::string(text.substr(start + line.size()));
        }
        if (bInSection && !TrimBlanks(line).empty())
        {
            insertAt = next;
            bInsertNeedsBreak = newline == std::string_view::npos;
        }
        start = next;
    }

    std::string result(text);
    if (insertAt != std::string_view::npos)
    {
        result.insert(insertAt,
                      (bInsertNeedsBreak ? std::string(kLineEnd) : std::string()) + entry + std::string(kLineEnd));
        return result;
    }
    if (!result.empty() && result.back() != '\n')
        result += kLineEnd;
    result += "[" + std::string(section) + "]" + std::string(kLineEnd) + entry + std::string(kLineEnd);
    return result;
}

bool IsLineSafe(std::string_view text)
{
    return text.find_first_of("\r\n") == std::string_view::npos;
}

// Reads the profile; a missing file reads as empty. Anything else that cannot be read fails, so
// that a profile is never replaced by one holding only the new entry.
DWORD ReadProfile(const std::string& path, std::string& content)
{
    const DWORD dwCode = ReadRegularFile(path, content);
    if (dwCode == ERROR_FILE_NOT_FOUND)
    {
        content.clear();
        return ERROR_SUCCESS;
    }
    return dwCode;
}
} // namespace

std::string GetProfileDirectory()
{
    const char* lpcszConfig = std::getenv("XDG_CONFIG_HOME");
    if (lpcszConfig && lpcszConfig[0] == '/')
        return lpcszConfig;
    const char* lpcszHome = std::getenv("HOME");
    if (lpcszHome && lpcszHome[0] == '/')
        return std::string(lpcszHome) + "/.config";
    return {};
}

BOOL WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               std::string_view fileName)
{
    if (section.empty() || key.empty() || !IsLineSafe(section) || !IsLineSafe(key) || !IsLineSafe(value) ||
        section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos)
        return FailWith(ERROR_INVALID_DATA);

    const std::string dir = GetProfileDirectory();
    if (dir.empty())
        return FailWith(ERROR_PATH_NOT_FOUND);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec)
        return FailWith(ErrorFromErrno(ec.value()));

    const std::string path = dir + "/" + std::string(fileName);
    // Two programs editing at once would each write back what they read, and one entry would be lost.
    CFileLock lock;
    if (const DWORD dwCode = lock.Lock(path + ".lock", kLockWaitSeconds); dwCode != ERROR_SUCCESS)
        return FailWith(dwCode);
    std::string content;
    if (const DWORD dwCode = ReadProfile(path, content); dwCode != ERROR_SUCCESS)
        return FailWith(dwCode);
    ReplaceOptions options;
    options.newFileMode = 0600;
    if (const DWORD dwCode = ReplaceFileAtomically(path, SetProfileValue(content, section, key, value), options);
        dwCode != ERROR_SUCCESS)
        return FailWith(dwCode);
    return TRUE;
}
