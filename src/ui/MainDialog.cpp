#include "ui/MainDialog.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QTableView>

#include "core/DataFunc.h"
#include "ui/AppIcon.h"
#include "ui/Support/MessageBox.h"
#include "ui/Support/StudentListModel.h"

namespace
{
// The window's size before it opens maximised; it cannot be made smaller than this.
constexpr int kClientWidth = 640;
constexpr int kListHeight = 396;
constexpr int kStatusHeight = 20;
constexpr int kClientHeight = kListHeight + 4 + kStatusHeight;

// Column widths in pixels, in record order.
constexpr int kColumnWidths[STUDENT_FIELD_COUNT] = {100, 60,  60,  60,  40, 60, 40, 80, 60,  60, 100, 100,
                                                    60,  100, 100, 100, 40, 40, 40, 40, 100, 50, 100, 100};
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

    m_pModel = new CStudentListModel(g_memStudents, this);
    m_lstStudents = new QTableView(this);
    m_lstStudents->setObjectName(QStringLiteral("id1018"));
    m_lstStudents->setAccessibleName(QStringLiteral("学生列表"));
    m_lstStudents->setModel(m_pModel);
    m_lstStudents->setGeometry(0, m_nMenuHeight, kClientWidth, kListHeight);
    SetUpListColumns();

    m_stcStatus = new QLabel(QStringLiteral("Stellwick "), this);
    m_stcStatus->setObjectName(QStringLiteral("id101"));
    m_stcStatus->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_stcStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_stcStatus->setGeometry(0, m_nMenuHeight + kClientHeight - kStatusHeight, kClientWidth, kStatusHeight);

    resize(kClientWidth, m_nMenuHeight + kClientHeight);
}

CMainDialog::~CMainDialog() = default;

void CMainDialog::SetUpListColumns()
{
    m_lstStudents->setShowGrid(true);
    m_lstStudents->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lstStudents->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lstStudents->setSortingEnabled(false);
    m_lstStudents->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstStudents->setWordWrap(false);
    m_lstStudents->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_lstStudents, &QWidget::customContextMenuRequested, this, &CMainDialog::OnListRClick);
    m_lstStudents->viewport()->installEventFilter(this);

    // Fixed row heights keep a list of 100 000 records quick.
    QHeaderView* pRows = m_lstStudents->verticalHeader();
    pRows->hide();
    pRows->setSectionResizeMode(QHeaderView::Fixed);
    pRows->setDefaultSectionSize(m_lstStudents->fontMetrics().height() + 4);

    QHeaderView* pColumns = m_lstStudents->horizontalHeader();
    pColumns->setHighlightSections(false);
    pColumns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
        pColumns->resizeSection(nCol, kColumnWidths[nCol]);
}

void CMainDialog::OnInitDialog()
{
    InitSizing(0, sfBoth, false);
    if (RunLogin() != IDOK)
    {
        done(QDialog::Rejected); // no exit question: the program ends
        return;
    }
    AddControl(m_lstStudents, lmStretch, lmStretch);
    AddControl(m_stcStatus, lmStretch, lmMove);
    FillList();
    setWindowState(windowState() | Qt::WindowMaximized);
    m_lstStudents->hide(); // shown on "打开显示列表"
}

int CMainDialog::RunLogin()
{
    return m_dlgLogin.DoModal();
}

SchoolKey CMainDialog::GetSchoolKey() const
{
    return {m_dlgLogin.m_strCode, m_dlgLogin.m_strPassword};
}

void CMainDialog::FillList()
{
    m_pModel->Refresh();
}

int CMainDialog::GetSelectionMark() const
{
    const QModelIndex current = m_lstStudents->currentIndex();
    return current.isValid() ? current.row() : -1;
}

std::vector<int> CMainDialog::GetSelectedRows() const
{
    // Rows are taken from the selection's ranges: with whole-row selection each range covers its rows.
    std::vector<char> marked(static_cast<size_t>(m_pModel->rowCount()), 0);
    const QItemSelection selection = m_lstStudents->selectionModel()->selection();
    for (const QItemSelectionRange& range : selection)
    {
        for (int nRow = range.top(); nRow <= range.bottom() && nRow < static_cast<int>(marked.size()); ++nRow)
            marked[static_cast<size_t>(nRow)] = 1;
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

bool CMainDialog::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    // A double click anywhere in the list, also on its empty space, runs the record command.
    if (pWatched == m_lstStudents->viewport() && pEvent->type() == QEvent::MouseButtonDblClick)
        OnListDblClk();
    return CSizingDialog::eventFilter(pWatched, pEvent);
}
