#include "ui/Support/ExchangeFiles.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "ui/Support/Seams/FileDialogs.h"

namespace
{
const QString kFolderKey = QStringLiteral("exchange/folder");
} // namespace

QString ChooseExchangeFile(QWidget* pParent, bool bSave, const QString& defaultName)
{
    const QString filter = bSave ? QStringLiteral("Excel Files (*.csv);;Excel 工作簿 (*.xlsx)")
                                 : QStringLiteral("所有能导入的文件 (*.csv *.xlsx *.ods *.xls);;Excel Files (*.csv);;"
                                                  "Excel 工作簿 (*.xlsx);;OpenDocument 电子表格 (*.ods);;"
                                                  "Excel 97-2003 工作簿 (*.xls)");
    return ChooseFileInLastFolder({pParent, bSave, defaultName, filter, QStringLiteral("CSV"), {}});
}

QString ChooseFileInLastFolder(FileDialogRequest request)
{
    QString folder = QSettings().value(kFolderKey).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    request.directory = folder;
    const QString path = UiFileDialog(request);
    if (!path.isEmpty())
        QSettings().setValue(kFolderKey, QFileInfo(path).absolutePath());
    return path;
}
