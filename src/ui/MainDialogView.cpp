// How the main window shows the records: codes or names, the order, and the check of every record.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTableView>

#include "core/DataFunc.h"
#include "ui/CheckResultsWindow.h"
#include "ui/MainDialog.h"
#include "ui/Support/CodeNameDisplay.h"
#include "ui/Support/StudentColumns.h"
#include "ui/Support/StudentListModel.h"
#include "ui/Support/StudentSortModel.h"

namespace
{
// The least column widths in pixels, in record order.
constexpr int kColumnWidths[STUDENT_FIELD_COUNT] = {100, 60,  60,  60,  40, 60, 40, 80, 60,  60, 100, 100,
                                                    60,  100, 100, 100, 40, 40, 40, 40, 100, 50, 100, 100};
} // namespace

void CMainDialog::SetUpListColumns()
{
    m_lstStudents->setShowGrid(true);
    m_lstStudents->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lstStudents->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lstStudents->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstStudents->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_lstStudents, &QWidget::customContextMenuRequested, this, &CMainDialog::OnListRClick);
    m_lstStudents->viewport()->installEventFilter(this);

    // Fixed row heights keep a list of 100 000 records quick.
    m_lstStudents->verticalHeader()->hide();
    FitStudentColumns(m_lstStudents, kColumnWidths, m_pModel->ShowsCodeNames());
    findChild<QAction*>(QStringLiteral("id32790"))->setChecked(m_pModel->ShowsCodeNames());

    // A click on a column title sorts by it, a second click reverses; no title is marked at first.
    QHeaderView* pColumns = m_lstStudents->horizontalHeader();
    pColumns->setHighlightSections(false);
    pColumns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pColumns->setSectionsClickable(true);
    pColumns->setSortIndicator(-1, Qt::AscendingOrder);
    pColumns->setSortIndicatorShown(true);
    connect(pColumns, &QHeaderView::sortIndicatorChanged, m_pSortModel, &CStudentSortModel::sort);
}

void CMainDialog::OnShowCodeNames()
{
    const bool bNames = findChild<QAction*>(QStringLiteral("id32790"))->isChecked();
    SetShowsCodeNames(bNames);
    m_pModel->SetShowCodeNames(bNames);
    FitStudentColumns(m_lstStudents, kColumnWidths, bNames);
}

void CMainDialog::OnStoredOrder()
{
    m_lstStudents->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
}

void CMainDialog::OnCheckAllRecords()
{
    if (!m_pCheckWindow)
    {
        m_pCheckWindow = new CCheckResultsWindow(m_school, m_pListSplitter);
        connect(m_pCheckWindow, &CCheckResultsWindow::Checked, this, &CMainDialog::ShowCheckCounts);
        connect(m_pCheckWindow, &CCheckResultsWindow::Closed, this, &CMainDialog::OnCheckWindowClosed);
        m_pCheckWindow->SetRecordModifier(StepModifier());
        m_pListSplitter->addWidget(m_pCheckWindow);
        // The list keeps two thirds of its place, and all of it when the panel closes.
        const int nHeight = m_pListSplitter->height();
        m_pListSplitter->setSizes({nHeight - nHeight / 3, nHeight / 3});
    }
    m_pCheckWindow->Recheck();
    m_pCheckWindow->show();
    m_pCheckWindow->setFocus(Qt::OtherFocusReason);
}

void CMainDialog::OnCheckWindowClosed()
{
    // The counts stop following the records once the window is gone: the line says no more.
    ShowNormalStatus();
    m_pCheckWindow->deleteLater();
    m_pCheckWindow.clear();
}

void CMainDialog::OnRecordsChanged()
{
    if (m_pCheckWindow)
        m_pCheckWindow->Recheck();
}

void CMainDialog::ShowNormalStatus()
{
    m_stcStatus->setText(QStringLiteral("Stellwick "));
}

void CMainDialog::ShowCheckCounts(int nRecords, int nFailing)
{
    m_stcStatus->setText(QStringLiteral("共%1条记录，%2条未通过检查").arg(nRecords).arg(nFailing));
}
