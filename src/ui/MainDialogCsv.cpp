// CSV export and import from the main window.
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "core/CsvFile.h"
#include "core/DataFunc.h"
#include "ui/MainDialog.h"
#include "ui/RecordCommands.h"
#include "ui/Support/FileDialogs.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/MessageBox.h"
#include "ui/Support/ShellOpen.h"

namespace
{
FileDialogRequest CsvFileRequest(QWidget* pParent, bool bSave, const QString& defaultName)
{
    return {pParent, bSave, defaultName, QStringLiteral("Excel Files (*.csv)"), QStringLiteral("CSV")};
}

void ShowFileError(QWidget* pParent, const QString& format, const QString& path)
{
    UiMessageBox(pParent, format.arg(QDir::toNativeSeparators(path)), QStringLiteral("错误"), MsgButtons::Ok,
                 MsgIcon::Error);
}

// Writes the whole file or nothing: an existing file stays as it was when writing fails.
bool WriteWholeFile(const QString& path, const std::string& strBytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(true); // a writable file in a folder where no new file may be made
    return file.open(QIODevice::WriteOnly) &&
           file.write(strBytes.data(), static_cast<qint64>(strBytes.size())) == static_cast<qint64>(strBytes.size()) &&
           file.commit();
}

std::optional<QByteArray> ReadWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}
} // namespace

void CMainDialog::OnExportCsv()
{
    std::string strCsv;
    WriteCsvText(g_memStudents, strCsv);
    const QString defaultName = FromGbk(GetSchoolKey().strCode) + QStringLiteral(".CSV");
    const QString path = UiFileDialog(CsvFileRequest(this, true, defaultName));
    if (path.isEmpty())
        return;
    if (!WriteWholeFile(path, strCsv))
    {
        ShowFileError(
            this, QStringLiteral("不能写入文件“%1”。\n请检查文件夹是否存在、是否有写入权限，以及磁盘空间是否足够。"),
            path);
        return;
    }
    if (UiMessageBox(this, QStringLiteral("文件已经生成，是否现在就查看内容。"), QStringLiteral("提示"),
                     MsgButtons::YesNo, MsgIcon::Question) == IDYES)
        UiShellOpen(path);
}

void CMainDialog::OnImportCsv()
{
    const QString path = UiFileDialog(CsvFileRequest(this, false, QString()));
    if (path.isEmpty())
        return;
    const std::optional<QByteArray> bytes = ReadWholeFile(path);
    if (!bytes)
    {
        ShowFileError(this, QStringLiteral("不能读取文件“%1”。\n请检查文件是否存在，以及是否有读取权限。"), path);
        return;
    }
    // The file is read whole into a table of its own: a refused file leaves the records untouched.
    CMemTable imported;
    std::string strError;
    const int nFirstNew = g_memStudents.GetRowCount();
    if (!ReadCsvStudents(std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())), imported,
                         strError) ||
        !g_memStudents.AppendTable(imported))
    {
        UiMessageBox(this, strError.empty() ? QStringLiteral("导入失败。") : FromGbk(strError),
                     QStringLiteral("文件格式不对"));
        return;
    }
    FillList();
    SaveStudentsOrReport(this, GetSchoolKey());
    auto pStep = BeginStep(QStringLiteral("导入 %1 条记录").arg(imported.GetRowCount()), {});
    FinishStep(std::move(pStep), RowRange(nFirstNew, g_memStudents.GetRowCount()));
}
