#include "ui/Support/FileMessages.h"

#include <QDir>
#include <QFile>

#include "core/DataFunc.h"
#include "platform/ErrorText.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/Seams/MessageBox.h"

void ShowFileError(QWidget* pParent, const QString& text)
{
    UiMessageBox(pParent, text, QStringLiteral("错误"), MsgButtons::Ok, MsgIcon::Error);
}

QString NativePath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString ReasonOf(DWORD dwCode)
{
    return FromGbk(GetErrorReasonText(dwCode));
}

void ShowDataFileRefusal(QWidget* pParent, const QString& path)
{
    ShowFileError(pParent, QStringLiteral("不能导出到“%1”：这是登记软件自己的数据文件，导出会破坏它。\n"
                                          "请另选一个文件名。")
                               .arg(NativePath(path)));
}

void ShowWriteError(QWidget* pParent, const QString& path, DWORD dwCode)
{
    ShowFileError(pParent, QStringLiteral("不能写入文件“%1”（%2）。\n文件没有生成；已有的同名文件保持原样。")
                               .arg(NativePath(path), ReasonOf(dwCode)));
}

bool WriteExport(QWidget* pParent, const QString& path, const std::string& strBytes, const std::string& strCode)
{
    const std::string strPath = QFile::encodeName(path).toStdString();
    if (IsProgramDataFile(strPath, strCode))
    {
        ShowDataFileRefusal(pParent, path);
        return false;
    }
    if (const DWORD dwCode = ReplaceFileAtomically(strPath, strBytes); dwCode != ERROR_SUCCESS)
    {
        ShowWriteError(pParent, path, dwCode);
        return false;
    }
    return true;
}
