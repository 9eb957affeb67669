#include "exchange/WorkbookFile.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "core/StudentImport.h"
#include "exchange/WorkbookWriterLib.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"

namespace
{
// A temporary file that is removed when it goes out of scope.
class CTempFile
{
  public:
    CTempFile()
    {
        const char* lpcszDir = std::getenv("TMPDIR");
        m_strPath = std::string(lpcszDir && *lpcszDir ? lpcszDir : "/tmp") + "/varnholt-xlsx-XXXXXX";
        const int fd = mkstemp(m_strPath.data());
        if (fd < 0)
            m_strPath.clear();
        else
            close(fd);
    }
    ~CTempFile()
    {
        if (!m_strPath.empty())
            std::remove(m_strPath.c_str());
    }
    CTempFile(const CTempFile&) = delete;
    CTempFile& operator=(const CTempFile&) = delete;
    const std::string& Path() const { return m_strPath; }

  private:
    std::string m_strPath;
};

} // namespace

BOOL BuildWorkbookBytes(const WorkbookWrite& write, std::string& strBytes, std::string& strError)
{
    strBytes.clear();
    const WorkbookWriterLib* pLib = LoadWorkbookWriterLib();
    if (pLib == nullptr)
        return FailWithMessage(strError, "找不到生成工作簿的程序库（libxlsxwriter），没有生成工作簿。");
    const CTempFile temp;
    if (temp.Path().empty())
        return FailWithMessage(strError, "不能创建临时文件，没有生成工作簿。");
    if (!write(*pLib, temp.Path()))
        return FailWithMessage(strError, "生成工作簿失败：记录中可能有不是GBK编码的字节，或者临时目录已满。");
    if (ReadRegularFile(temp.Path(), strBytes) != ERROR_SUCCESS)
    {
        strBytes.clear();
        return FailWithMessage(strError, "不能读取生成的工作簿。");
    }
    return TRUE;
}
