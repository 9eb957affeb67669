#include "ui/CheckResultsWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/DataFunc.h"
#include "core/OpenSchool.h"
#include "ui/CheckResultsModel.h"
#include "ui/RecordUpdate.h"

CCheckResultsWindow::CCheckResultsWindow(COpenSchool& school, QWidget* parent)
    : QWidget(parent), m_school(school),
      m_modify([&school](QWidget* pParent, int nRow) { return ModifyStudentRow(pParent, nRow, school); }),
      m_pModel(new CCheckResultsModel(this)), m_lstResults(new QTableView(this)), m_stcSummary(new QLabel(this))
{
    setObjectName(QStringLiteral("checkResults"));
    setWindowTitle(QStringLiteral("检查全部记录"));
    setAccessibleName(windowTitle());

    m_lstResults->setObjectName(QStringLiteral("checkResultList"));
    m_lstResults->setAccessibleName(QStringLiteral("未通过检查的记录"));
    m_lstResults->setModel(m_pModel);
    m_lstResults->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lstResults->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstResults->setWordWrap(false);
    m_lstResults->verticalHeader()->hide();
    m_lstResults->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_lstResults->verticalHeader()->setDefaultSectionSize(m_lstResults->fontMetrics().height() + 4);
    QHeaderView* pColumns = m_lstResults->horizontalHeader();
    pColumns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pColumns->setStretchLastSection(true);
    const QFontMetrics metrics = m_lstResults->fontMetrics();
    // Room for a long row number, a student number, a name and the longest common message.
    const int widths[] = {
        metrics.horizontalAdvance(QStringLiteral("1000000")),
        metrics.horizontalAdvance(QStringLiteral("123456789012345")),
        metrics.horizontalAdvance(QStringLiteral("欧阳明华")),
        metrics.horizontalAdvance(QStringLiteral("您输入的邮政编码位数不对，邮件编码规定是六位数！"))};
    for (int nCol = 0; nCol < 4; ++nCol)
        pColumns->resizeSection(nCol, widths[nCol] + 16);
    connect(m_lstResults, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { ModifyLine(index.row()); });

    m_stcSummary->setObjectName(QStringLiteral("checkSummary"));
    auto* pClose = new QPushButton(QStringLiteral("关闭"), this);
    pClose->setObjectName(QStringLiteral("id2"));
    pClose->setAutoDefault(false);
    connect(pClose, &QPushButton::clicked, this, &QWidget::close);
    auto* pBottom = new QHBoxLayout;
    pBottom->addWidget(m_stcSummary, 1);
    pBottom->addWidget(pClose);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_lstResults);
    pLayout->addLayout(pBottom);
    pLayout->setContentsMargins(0, 0, 0, 0);
    setFocusProxy(m_lstResults);
}

CCheckResultsWindow::~CCheckResultsWindow() = default;

void CCheckResultsWindow::Recheck()
{
    m_pModel->CheckAll(m_school.Students());
    const int nRecords = m_school.Students().GetRowCount();
    const int nFailing = m_pModel->rowCount();
    // An empty list alone would leave the user wondering whether the check ran at all.
    m_stcSummary->setText(
        nFailing == 0
            ? QStringLiteral("全部%1条记录都通过了检查。").arg(nRecords)
            : QStringLiteral("%1条记录中有%2条未通过检查，双击一行可修改该记录。").arg(nRecords).arg(nFailing));
    emit Checked(nRecords, nFailing);
}

int CCheckResultsWindow::FailingCount() const
{
    return m_pModel->rowCount();
}

int CCheckResultsWindow::StoredRowOf(int nLine) const
{
    return nLine >= 0 && nLine < m_pModel->rowCount() ? m_pModel->StoredRow(nLine) : -1;
}

void CCheckResultsWindow::closeEvent(QCloseEvent* pEvent)
{
    QWidget::closeEvent(pEvent);
    emit Closed();
}

void CCheckResultsWindow::keyPressEvent(QKeyEvent* pEvent)
{
    // Keys the results list leaves alone stay with the panel: they must not reach the main window,
    // whose Escape asks to quit and whose Enter modifies the record selected in the list.
    switch (pEvent->key())
    {
    case Qt::Key_Escape:
        close();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ModifyLine(m_lstResults->currentIndex().row());
        break;
    default:
        QWidget::keyPressEvent(pEvent);
    }
}

void CCheckResultsWindow::ModifyLine(int nLine)
{
    const int nRow = StoredRowOf(nLine);
    if (nRow < 0 || nRow >= m_school.Students().GetRowCount() || !m_modify(this, nRow))
        return;
    Recheck();
}
