#include "ui/Support/ExchangeFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "ui/Support/FileDialogs.h"

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
    QString folder = QSettings().value(kFolderKey).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = UiFileDialog({pParent, bSave, defaultName, filter, QStringLiteral("CSV"), folder});
    if (!path.isEmpty())
        QSettings().setValue(kFolderKey, QFileInfo(path).absolutePath());
    return path;
}

ExchangeFormat FormatOf(const QString& path)
{
    return FormatOfPath(QFile::encodeName(path).toStdString());
}
