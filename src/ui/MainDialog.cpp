#include "ui/MainDialog.h"

#include <utility>

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QTableView>
#include <QUndoStack>

#include "core/DataFunc.h"
#include "ui/AppIcon.h"
#include "ui/CheckResultsWindow.h"
#include "ui/Support/CodeNameDisplay.h"
#include "ui/Support/Seams/MessageBox.h"
#include "ui/Support/StudentListModel.h"
#include "ui/Support/StudentSortModel.h"

namespace
{
// The window's size before it opens maximised; it cannot be made smaller than this.
constexpr int kClientWidth = 640;
constexpr int kListHeight = 396;
constexpr int kStatusHeight = 20;
constexpr int kClientHeight = kListHeight + 4 + kStatusHeight;

} // namespace

CMainDialog::CMainDialog(QWidget* pParent) : CSizingDialog(pParent, sfBoth, true), m_dlgLogin(nullptr)
{
    setWindowTitle(QStringLiteral("Varnholt"));
    setWindowIcon(ApplicationIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);

    // The menu bar sits above the client area, which the contents margin keeps clear of it.
    m_pMenuBar = CreateMenuBar();
    SetUpHistory();
    m_nMenuHeight = m_pMenuBar->sizeHint().height();
    setContentsMargins(0, m_nMenuHeight, 0, 0);

    m_pModel = new CStudentListModel(m_school.Students(), this);
    m_pModel->SetShowCodeNames(ShowsCodeNames());
    m_pSortModel = new CStudentSortModel(m_pModel, this);
    // The list's place holds the list and, docked below it, the check results.
    m_pListSplitter = new QSplitter(Qt::Vertical, this);
    m_pListSplitter->setChildrenCollapsible(false);
    m_pListSplitter->setGeometry(0, m_nMenuHeight, kClientWidth, kListHeight);
    m_lstStudents = new QTableView(m_pListSplitter);
    m_lstStudents->setObjectName(QStringLiteral("id1018"));
    m_lstStudents->setAccessibleName(QStringLiteral("学生列表"));
    m_lstStudents->setModel(m_pSortModel);
    m_pListSplitter->addWidget(m_lstStudents);
    SetUpListColumns();

    m_stcStatus = new QLabel(this);
    ShowNormalStatus();
    m_stcStatus->setObjectName(QStringLiteral("id101"));
    m_stcStatus->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_stcStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_stcStatus->setGeometry(0, m_nMenuHeight + kClientHeight - kStatusHeight, kClientWidth, kStatusHeight);

    resize(kClientWidth, m_nMenuHeight + kClientHeight);

    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_pModel, signal, this, &CMainDialog::OnRecordsChanged);
    connect(m_pModel, &QAbstractItemModel::dataChanged, this, &CMainDialog::OnRecordsChanged);
    connect(m_pModel, &QAbstractItemModel::modelReset, this, &CMainDialog::OnRecordsChanged);
}

CMainDialog::~CMainDialog()
{
    // The children outlive this part of the window: their last signals (the history's clear,
    // the model's teardown) must not reach a half-destroyed main window.
    if (m_pHistory != nullptr)
        disconnect(m_pHistory, nullptr, this, nullptr);
    disconnect(m_pModel, nullptr, this, nullptr);
    if (m_pCheckWindow)
        disconnect(m_pCheckWindow, nullptr, this, nullptr);
}

void CMainDialog::OnInitDialog()
{
    InitSizing(0, sfBoth, false);
    if (RunLogin() != IDOK)
    {
        done(QDialog::Rejected); // no exit question: the program ends
        return;
    }
    AddControl(m_pListSplitter, lmStretch, lmStretch);
    AddControl(m_stcStatus, lmStretch, lmMove);
    FillList();
    setWindowState(windowState() | Qt::WindowMaximized);
    m_lstStudents->hide(); // shown on "打开显示列表"
}

int CMainDialog::RunLogin()
{
    m_dlgLogin.DoModal();
    return TakeSchoolOfLogin();
}

int CMainDialog::TakeSchoolOfLogin()
{
    if (m_dlgLogin.result() != QDialog::Accepted)
        return IDCANCEL;
    UseSchool(m_dlgLogin.TakeSchool());
    return IDOK;
}

void CMainDialog::UseSchool(COpenSchool school)
{
    // The school's table stays where it is as the school moves in: the list is pointed at it first.
    m_pModel->SetTable(school.Students());
    m_school = std::move(school);
}

void CMainDialog::FillList()
{
    m_pModel->Refresh();
}

int CMainDialog::GetSelectionMark() const
{
    const QModelIndex current = m_lstStudents->currentIndex();
    return current.isValid() ? m_pSortModel->StoredRow(current.row()) : -1;
}

std::vector<int> CMainDialog::GetSelectedRows() const
{
    // Rows are taken from the selection's ranges: with whole-row selection each range covers its rows.
    std::vector<char> marked(static_cast<size_t>(m_pModel->rowCount()), 0);
    const QItemSelection selection = m_lstStudents->selectionModel()->selection();
    for (const QItemSelectionRange& range : selection)
    {
        for (int nViewRow = range.top(); nViewRow <= range.bottom(); ++nViewRow)
        {
            const int nRow = m_pSortModel->StoredRow(nViewRow);
            if (nRow >= 0 && nRow < static_cast<int>(marked.size()))
                marked[static_cast<size_t>(nRow)] = 1;
        }
    }
    std::vector<int> rows;
    for (size_t i = 0; i < marked.size(); ++i)
    {
        if (marked[i])
            rows.push_back(static_cast<int>(i));
    }
    return rows;
}

void CMainDialog::resizeEvent(QResizeEvent* pEvent)
{
    m_pMenuBar->setGeometry(0, 0, width(), m_nMenuHeight);
    CSizingDialog::resizeEvent(pEvent);
}

void CMainDialog::keyPressEvent(QKeyEvent* pEvent)
{
    const bool bEnter = pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter;
    if (bEnter && (pEvent->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
        m_lstStudents->selectionModel()->hasSelection())
    {
        OnModifyRecord();
        return;
    }
    CSizingDialog::keyPressEvent(pEvent);
}

bool CMainDialog::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    // A double click anywhere in the list, also on its empty space, runs the record command.
    if (pWatched == m_lstStudents->viewport() && pEvent->type() == QEvent::MouseButtonDblClick)
        OnListDblClk();
    return CSizingDialog::eventFilter(pWatched, pEvent);
}
