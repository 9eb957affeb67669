#include "ImportAnswers.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include "ui/ImportColumnsDialog.h"
#include "ui/Support/Seams/DialogExec.h"

namespace
{
QStringList Lines(const QAbstractItemModel& model)
{
    QStringList lines;
    for (int r = 0; r < model.rowCount(); ++r)
    {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c)
            cells << model.index(r, c).data().toString();
        lines << cells.join(QStringLiteral(" | "));
    }
    return lines;
}
} // namespace

ImportAnswers::ImportAnswers()
{
    SetDialogExecHook([this](QDialog& dialog) {
        if (auto* pColumns = dynamic_cast<CImportColumnsDialog*>(&dialog))
        {
            ++nColumnSteps;
            if (onColumns)
                onColumns(*pColumns);
            ignoredColumns = {pColumns->findChild<QLabel*>(QStringLiteral("ignoredColumns"))->text()};
            bCancelColumns ? dialog.reject() : dialog.accept();
        }
        else if (dialog.objectName() == u"importPreview")
        {
            ++nPreviews;
            summary = dialog.findChild<QLabel*>(QStringLiteral("importSummary"))->text();
            failing = Lines(*dialog.findChild<QTableView*>(QStringLiteral("failingRecords"))->model());
            if (auto* pStored = dialog.findChild<QRadioButton*>(stored); pStored && pStored->isEnabled())
                pStored->setChecked(true);
            dialog.findChild<QPushButton*>(button)->click();
        }
        return dialog.result();
    });
}

ImportAnswers::~ImportAnswers()
{
    SetDialogExecHook({});
}
