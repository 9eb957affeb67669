#include "platform/Profile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "platform/LastError.h"

namespace
{
constexpr std::string_view kLineEnd = "\r\n";

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

BOOL FailWith(DWORD dwCode)
{
    SetLastError(dwCode);
    return FALSE;
}

// Reads the whole file; a missing file reads as empty.
bool ReadWholeFile(const std::string& path, std::string& content)
{
    std::FILE* pFile = std::fopen(path.c_str(), "rb");
    if (!pFile)
        return errno == ENOENT;
    char buffer[4096];
    std::size_t nRead;
    while ((nRead = std::fread(buffer, 1, sizeof buffer, pFile)) > 0)
        content.append(buffer, nRead);
    const bool bOk = !std::ferror(pFile);
    std::fclose(pFile);
    if (!bOk)
        errno = EIO;
    return bOk;
}

// Writes the text to a temporary file beside the target and renames it over the target, so that
// a failure leaves the previous file whole.
bool ReplaceFile(const std::string& path, const std::string& content)
{
    std::string tempPath = path + ".XXXXXX";
    const int fd = mkstemp(tempPath.data()); // created with mode 0600
    if (fd < 0)
        return false;
    std::size_t written = 0;
    while (written < content.size())
    {
        const ssize_t n = write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    const bool bWritten = written == content.size() && fsync(fd) == 0;
    const int nWriteErrno = errno;
    if (close(fd) != 0 || !bWritten || rename(tempPath.c_str(), path.c_str()) != 0)
    {
        const int nErrno = bWritten ? errno : nWriteErrno;
        unlink(tempPath.c_str());
        errno = nErrno;
        return false;
    }
    return true;
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
    std::string content;
    if (!ReadWholeFile(path, content))
        return FailWith(ErrorFromErrno(errno));
    if (!ReplaceFile(path, SetProfileValue(content, section, key, value)))
        return FailWith(ErrorFromErrno(errno));
    return TRUE;
}
