#include <cassert>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/Gbk.h"
#include "core/MemTable.h"
#include "platform/FileAttributes.h"

namespace
{
// Separators that cannot appear in readable text mark the file as one of the program's own.
bool MarksHiddenFile(const char* lpcszSep)
{
    const auto byte = static_cast<unsigned char>(lpcszSep[0]);
    return (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') || byte == 0xFF;
}

// The text with every occurrence of the separator, found by characters, replaced by a TAB.
std::string SeparatorsToTabs(std::string_view text, std::string_view sep)
{
    std::string out;
    out.reserve(text.size());
    std::size_t nPos = 0;
    for (std::size_t nFound; (nFound = Gbk::Find(text, sep, nPos)) != std::string_view::npos;)
    {
        out.append(text, nPos, nFound - nPos).push_back('\t');
        nPos = nFound + sep.size();
    }
    return out.append(text, nPos);
}

// Reads the whole file; on failure returns the C library's error number.
int ReadWholeFile(const char* lpcszFileName, std::string& strText)
{
    const int fd = ::open(lpcszFileName, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int nError = 0;
    struct stat info
    {
    };
    // Other programs may read the file meanwhile, but none that honours the lock may write it.
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0 || ::fstat(fd, &info) != 0)
        nError = errno;
    else
    {
        try
        {
            strText.assign(static_cast<std::size_t>(info.st_size), '\0');
            std::size_t nDone = 0;
            while (nDone < strText.size())
            {
                const ssize_t nRead = ::read(fd, strText.data() + nDone, strText.size() - nDone);
                if (nRead <= 0)
                {
                    nError = nRead < 0 ? errno : EIO;
                    break;
                }
                nDone += static_cast<std::size_t>(nRead);
            }
        }
        catch (const std::bad_alloc&)
        {
            nError = ENOMEM;
        }
    }
    ::close(fd);
    return nError;
}
} // namespace

BOOL CMemTable::WriteToFile(const char* lpcszFileName, const char* lpcszSep)
{
    if (m_nCols == 0)
        return TRUE;
    const char* lpcszUsedSep = lpcszSep != nullptr ? lpcszSep : "\t";
    SetFileAttributesA(lpcszFileName, FILE_ATTRIBUTE_NORMAL); // so that a protected file can be replaced
    std::FILE* pFile = lpcszFileName != nullptr ? std::fopen(lpcszFileName, "wb") : nullptr;
    if (pFile == nullptr)
        return FALSE;
    std::string strText;
    WriteToString(strText, lpcszUsedSep);
    std::fwrite(strText.data(), 1, strText.size(), pFile);
    std::fclose(pFile);
    m_strFileName = lpcszFileName;
    if (MarksHiddenFile(lpcszUsedSep))
        SetFileAttributesA(lpcszFileName, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    return TRUE;
}

BOOL CMemTable::Save()
{
    assert(!m_strFileName.empty());
    return WriteToFile(m_strFileName.c_str(), "\x01");
}

BOOL CMemTable::LoadFromFile(const char* lpcszFileName, const char* lpcszSep, std::string& strError)
{
    assert(lpcszFileName != nullptr && lpcszFileName[0] != '\0');
    strError.clear();
    m_strFileName = lpcszFileName != nullptr ? lpcszFileName : "";
    std::string strText;
    const int nError = ReadWholeFile(m_strFileName.c_str(), strText);
    if (nError != 0 || strText.empty()) // an empty file fails with the error number 0
    {
        strError = std::strerror(nError);
        return FALSE;
    }
    // An empty separator matches nothing.
    if (lpcszSep != nullptr && lpcszSep[0] != '\t' && lpcszSep[0] != '\0')
        strText = SeparatorsToTabs(strText, lpcszSep);
    return _Load(strText, strError);
}

BOOL CMemTable::LoadStream(std::FILE* pStream, std::string& strError)
{
    assert(pStream != nullptr);
    if (pStream == nullptr)
    {
        strError = std::strerror(EINVAL);
        return FALSE;
    }
    std::rewind(pStream);
    std::string strText;
    char buffer[4096];
    for (std::size_t nRead; (nRead = std::fread(buffer, 1, sizeof(buffer), pStream)) > 0;)
        strText.append(buffer, nRead);
    if (std::ferror(pStream))
    {
        strError = std::strerror(errno);
        return FALSE;
    }
    return _Load(strText, strError);
}

BOOL CMemTable::ContainsColumns(const char* lpcszText) const
{
    const std::string_view text = lpcszText != nullptr ? lpcszText : "";
    for (const std::string& name : m_colNames)
    {
        if (text.find(name + "\t") == std::string_view::npos && text.find(name + "\r\n") == std::string_view::npos)
            return FALSE;
    }
    return TRUE;
}
