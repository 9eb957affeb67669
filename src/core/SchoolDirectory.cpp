#include "core/SchoolDirectory.h"

#include "platform/Resources.h"

CMemTable g_memSchools;

const char* const g_lpcszSystemErrorCaption = "系统错误";

namespace
{
constexpr DWORD MAX_RESOURCE_SIZE = 1048576;

// The resource text ends with one CR LF more than the table text needs.
constexpr DWORD EXTRA_LINE_END = 2;
} // namespace

BOOL LoadResourceTable(int nId, const char* lpcszType, CMemTable& table, std::string& strMessage)
{
    const HRSRC hResInfo = FindResource(nId, lpcszType);
    if (hResInfo == nullptr)
    {
        strMessage = "不能找到指定类型的资源，可能原因，本文件已经被破坏。";
        return FALSE;
    }
    const DWORD dwSize = SizeofResource(hResInfo);
    if (dwSize == 0 || dwSize >= MAX_RESOURCE_SIZE)
    {
        strMessage = "指定类型的资源为空或太大，可能原因，本文件已经被破坏。";
        return FALSE;
    }
    const HGLOBAL hResData = LoadResource(hResInfo);
    if (hResData == nullptr)
    {
        strMessage = "无法装入资源，可能原因，系统不兼容或系统设置不当。";
        return FALSE;
    }
    const void* pData = LockResource(hResData);
    if (pData == nullptr)
    {
        strMessage = "无法锁定资源，可能原因，系统不兼容或系统设置不当。";
        return FALSE;
    }
    // The text ends at its first NUL byte, like any text handed to the loader; a resource of
    // one or two bytes gives the empty text instead of reaching before its start.
    std::string_view text(static_cast<const char*>(pData), dwSize > EXTRA_LINE_END ? dwSize - EXTRA_LINE_END : 0);
    text = text.substr(0, text.find('\0'));
    if (!table.Load(text))
    {
        strMessage = table.GetErrorText();
        return FALSE;
    }
    return TRUE;
}

int FindSchoolRow(const std::string& strCode)
{
    for (int nRow = 0; nRow < g_memSchools.GetRowCount(); ++nRow)
        if (strCode == g_memSchools.GetRow(nRow)[0])
            return nRow;
    return -1;
}
