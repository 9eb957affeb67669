// The import from the main window: file, encoding, columns, checks and the registrar's choice, then
// the records stored as one step of the history.
#include <optional>

#include <QCryptographicHash>
#include <QFile>
#include <QLabel>
#include <QSettings>

#include "core/DataFunc.h"
#include "core/ImportPreview.h"
#include "core/ImportRecords.h"
#include "core/ImportTable.h"
#include "exchange/StudentsFile.h"
#include "ui/ImportColumnsDialog.h"
#include "ui/ImportEncodingDialog.h"
#include "ui/ImportPreviewDialog.h"
#include "ui/MainDialog.h"
#include "ui/RecordCommands.h"
#include "ui/Support/ExchangeFiles.h"
#include "ui/Support/FileMessages.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/ProgressWindow.h"
#include "ui/Support/SaveStudents.h"
#include "ui/Support/Seams/DialogExec.h"
#include "ui/Support/Seams/MessageBox.h"

namespace
{
const QString kFormatCaption = QStringLiteral("文件格式不对");

// Reads the file's cells, asking for a CSV file's encoding when its bytes leave it open. False
// after telling why (or when the user cancelled).
bool ReadTable(QWidget* pParent, const QString& path, CImportTable& table)
{
    StudentsFileReading reading;
    reading.encodingOf = [pParent](std::string_view bytes) {
        return IsEncodingOpen(bytes) ? AskCsvEncoding(pParent, bytes) : std::optional(TextEncoding::Gbk);
    };
    reading.runWorkbook = ProgressRunner(pParent, QStringLiteral("正在读取工作簿……"));
    const ExchangeOutcome outcome = ReadStudentsFile(QFile::encodeName(path).toStdString(), table, reading);
    if (outcome.fault == ExchangeFault::File)
        ShowFileError(pParent,
                      QStringLiteral("不能读取文件“%1”（%2）。").arg(NativePath(path), ReasonOf(outcome.dwCode)));
    else if (outcome.fault == ExchangeFault::Format)
        UiMessageBox(pParent, FromGbk(outcome.strError), kFormatCaption);
    return static_cast<bool>(outcome);
}

// Where the mapping chosen for a header is remembered: a file with the same titles gets it again.
QString MappingKey(const CImportTable& table)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (std::string_view title : HeaderTitles(table))
    {
        hash.addData(QByteArrayView(title.data(), static_cast<qsizetype>(title.size())));
        hash.addData(QByteArrayView("\t"));
    }
    return QStringLiteral("import/columns/") + QString::fromLatin1(hash.result().toHex());
}

// The file's column of each field: the header's own when it names every field, else the column
// step's, pre-filled with what was chosen for this header before (or guessed from its titles).
std::optional<ColumnMapping> ChooseMapping(QWidget* pParent, const CImportTable& table)
{
    ColumnMapping mapping = ProposeMapping(table);
    if (NamesEveryField(HeaderTitles(table)))
        return mapping;
    const QString key = MappingKey(table);
    if (const std::optional<std::string> remembered = ToGbk(QSettings().value(key).toString()))
    {
        std::string strError;
        ColumnMapping earlier = mapping;
        if (ParseMappingText(*remembered, table, earlier, strError))
            mapping = earlier;
    }
    CImportColumnsDialog dlg(pParent, table, mapping);
    if (UiExec(dlg) != QDialog::Accepted)
        return std::nullopt;
    mapping = dlg.Mapping();
    QSettings().setValue(key, FromGbk(MappingText(mapping, table)));
    return mapping;
}
} // namespace

void CMainDialog::OnImportCsv()
{
    const QString path = ChooseExchangeFile(this, false);
    if (path.isEmpty())
        return;
    CImportTable table;
    if (!ReadTable(this, path, table))
        return;
    const std::optional<ColumnMapping> mapping = ChooseMapping(this, table);
    if (!mapping)
        return;
    // Nothing is stored before the registrar has seen the records and chosen.
    ImportedRecords records;
    std::string strError;
    if (!MakeImportRecords(table, *mapping, records, strError))
    {
        UiMessageBox(this, FromGbk(strError), kFormatCaption);
        return;
    }
    const CImportPreview preview(records, m_school.Students(), *mapping, ImportCheck::Records);
    CImportPreviewDialog dlg(this, table, records, preview);
    if (UiExec(dlg) != QDialog::Accepted)
        return;
    StoreImport(DecideImport(preview, dlg.Scope(), dlg.Stored()), records, *mapping);
}

void CMainDialog::StoreImport(const ImportActions& actions, const ImportedRecords& records,
                              const ColumnMapping& mapping)
{
    if (!actions.updates.empty() || !actions.appends.empty())
    {
        const std::vector<int> updated = actions.UpdatedRows();
        const int nFirstNew = m_school.Students().GetRowCount();
        auto pStep = BeginStep(
            QStringLiteral("导入%1条记录，更新%2条").arg(actions.appends.size()).arg(actions.updates.size()), updated);
        ApplyImport(actions, records, mapping, m_school.Students());
        FillList();
        SaveStudentsOrReport(this, m_school, QStringLiteral("导入前"));
        std::vector<int> inserted = updated;
        const std::vector<int> appended = RowRange(nFirstNew, m_school.Students().GetRowCount());
        inserted.insert(inserted.end(), appended.begin(), appended.end());
        FinishStep(std::move(pStep), inserted);
    }
    const QString summary = FromGbk(ImportSummary(actions));
    m_stcStatus->setText(summary);
    UiMessageBox(this, summary, QStringLiteral("提示"));
}
