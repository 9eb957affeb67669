#include <cassert>
#include <cerrno>
#include <cstring>

#include "core/Gbk.h"
#include "core/MemTable.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"

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

// The C library's error number nearest to a file-layer code, for the loader's strerror text.
int ErrnoOfCode(DWORD dwCode)
{
    switch (dwCode)
    {
    case ERROR_FILE_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_DIRECTORY:
        return EISDIR;
    case ERROR_NOT_ENOUGH_MEMORY:
        return ENOMEM;
    case ERROR_CANT_RESOLVE_FILENAME:
        return ELOOP;
    case ERROR_BAD_FILE_TYPE:
        return ENXIO;
    default:
        return EIO;
    }
}
} // namespace

BOOL CMemTable::WriteToFile(const char* lpcszFileName, const char* lpcszSep)
{
    if (m_nCols == 0)
        return TRUE;
    const char* lpcszUsedSep = lpcszSep != nullptr ? lpcszSep : "\t";
    if (lpcszFileName == nullptr)
    {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    std::string strText;
    WriteToString(strText, lpcszUsedSep);
    // The file's permissions follow the separator (hidden: the owner's alone), and a protected
    // file is replaced, as the attribute rule says.
    ReplaceOptions options;
    options.newFileMode = MarksHiddenFile(lpcszUsedSep) ? 0600 : 0644;
    options.bTakeNewMode = true;
    if (const DWORD dwCode = ReplaceFileAtomically(lpcszFileName, strText, options); dwCode != ERROR_SUCCESS)
    {
        SetLastError(dwCode);
        return FALSE;
    }
    m_strFileName = lpcszFileName;
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
    const DWORD dwCode = ReadRegularFile(m_strFileName, strText);
    if (dwCode != ERROR_SUCCESS || strText.empty()) // an empty file fails with the error number 0
    {
        strError = std::strerror(dwCode != ERROR_SUCCESS ? ErrnoOfCode(dwCode) : 0);
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
    for (const std::string& name : m_pColNames)
    {
        if (text.find(name + "\t") == std::string_view::npos && text.find(name + "\r\n") == std::string_view::npos)
            return FALSE;
    }
    return TRUE;
}
