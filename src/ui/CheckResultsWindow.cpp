#include "ui/CheckResultsWindow.h"

#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

#include "core/DataFunc.h"
#include "ui/CheckResultsModel.h"
#include "ui/RecordUpdate.h"

CCheckResultsWindow::CCheckResultsWindow(const SchoolKey& key, QWidget* parent)
    : QDialog(parent), m_modify([key](QWidget* pParent, int nRow) { return ModifyStudentRow(pParent, nRow, key); }),
      m_pModel(new CCheckResultsModel(this)), m_lstResults(new QTableView(this))
{
    setObjectName(QStringLiteral("checkResults"));
    setWindowTitle(QStringLiteral("检查全部记录"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    resize(900, 420);

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
        metrics.horizontalAdvance(QStringLiteral("1000000")), metrics.horizontalAdvance(QStringLiteral("200512345678")),
        metrics.horizontalAdvance(QStringLiteral("欧阳明华")),
        metrics.horizontalAdvance(QStringLiteral("您输入的邮政编码位数不对，邮件编码规定是六位数！"))};
    for (int nCol = 0; nCol < 4; ++nCol)
        pColumns->resizeSection(nCol, widths[nCol] + 16);
    connect(m_lstResults, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { ModifyLine(index.row()); });

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_lstResults);
}

CCheckResultsWindow::~CCheckResultsWindow() = default;

void CCheckResultsWindow::Recheck()
{
    m_pModel->CheckAll(g_memStudents);
    emit Checked(g_memStudents.GetRowCount(), m_pModel->rowCount());
}

int CCheckResultsWindow::FailingCount() const
{
    return m_pModel->rowCount();
}

int CCheckResultsWindow::StoredRowOf(int nLine) const
{
    return nLine >= 0 && nLine < m_pModel->rowCount() ? m_pModel->StoredRow(nLine) : -1;
}

void CCheckResultsWindow::ModifyLine(int nLine)
{
    const int nRow = StoredRowOf(nLine);
    if (nRow < 0 || nRow >= g_memStudents.GetRowCount() || !m_modify(this, nRow))
        return;
    Recheck();
}
