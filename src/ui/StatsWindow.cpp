#include "ui/StatsWindow.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QValueAxis>

#include "core/MemTable.h"
#include "exchange/StatisticsWorkbook.h"
#include "exchange/WorkbookImport.h"
#include "ui/Support/ExchangeFiles.h"
#include "ui/Support/FileMessages.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/Seams/FileDialogs.h"

namespace
{
QComboBox* DimensionCombo(const QString& name, const QString& first)
{
    auto* pCombo = new QComboBox;
    pCombo->setObjectName(name);
    if (!first.isEmpty())
        pCombo->addItem(first);
    for (const StatDimension& dimension : g_statDimensions)
        pCombo->addItem(FromGbk(dimension.lpcszLabel));
    return pCombo;
}

QPushButton* Button(const QString& text, const QString& name)
{
    auto* pButton = new QPushButton(text);
    pButton->setObjectName(name);
    pButton->setAutoDefault(false);
    return pButton;
}
} // namespace

CStatsWindow::CStatsWindow(QWidget* pParent, const CMemTable& students, std::vector<int> selected,
                           std::string strSchoolCode)
    : QDialog(pParent), m_students(students), m_selected(std::move(selected)),
      m_strSchoolCode(std::move(strSchoolCode)), m_cboFirst(DimensionCombo(QStringLiteral("byFirst"), {})),
      m_cboSecond(DimensionCombo(QStringLiteral("bySecond"), QStringLiteral("（无）"))),
      m_chkSelected(new QCheckBox(QStringLiteral("只统计选中的记录（%1条）(&O)").arg(m_selected.size()))),
      m_tblCounts(new QTableWidget), m_pChartView(new QChartView)
{
    setWindowTitle(QStringLiteral("统计"));
    m_chkSelected->setObjectName(QStringLiteral("selectedOnly"));
    m_chkSelected->setEnabled(!m_selected.empty());
    m_tblCounts->setObjectName(QStringLiteral("counts"));
    m_tblCounts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tblCounts->verticalHeader()->hide();
    m_tblCounts->horizontalHeader()->hide();
    m_pChartView->setObjectName(QStringLiteral("chart"));
    m_pChartView->setRenderHint(QPainter::Antialiasing);
    m_pChartView->setMinimumSize(480, 360);

    auto* pChoices = new QHBoxLayout;
    auto* pFirstLabel = new QLabel(QStringLiteral("统计项目(&B)："));
    pFirstLabel->setBuddy(m_cboFirst);
    auto* pSecondLabel = new QLabel(QStringLiteral("交叉项目(&C)："));
    pSecondLabel->setBuddy(m_cboSecond);
    m_cboFirst->setAccessibleName(QStringLiteral("统计项目"));
    m_cboSecond->setAccessibleName(QStringLiteral("交叉项目"));
    for (QWidget* pWidget :
         {static_cast<QWidget*>(pFirstLabel), static_cast<QWidget*>(m_cboFirst), static_cast<QWidget*>(pSecondLabel),
          static_cast<QWidget*>(m_cboSecond), static_cast<QWidget*>(m_chkSelected)})
        pChoices->addWidget(pWidget);
    pChoices->addStretch();
    auto* pFigures = new QHBoxLayout;
    pFigures->addWidget(m_tblCounts, 2);
    pFigures->addWidget(m_pChartView, 3);
    auto* pButtons = new QHBoxLayout;
    QPushButton* pExportTable = Button(QStringLiteral("导出表格(&E)..."), QStringLiteral("exportTable"));
    QPushButton* pExportChart = Button(QStringLiteral("导出图表(&P)..."), QStringLiteral("exportChart"));
    QPushButton* pClose = Button(QStringLiteral("关闭"), QStringLiteral("close"));
    pButtons->addWidget(pExportTable);
    pButtons->addWidget(pExportChart);
    pButtons->addStretch();
    pButtons->addWidget(pClose);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pChoices);
    pLayout->addLayout(pFigures, 1);
    pLayout->addLayout(pButtons);

    connect(m_cboFirst, &QComboBox::currentIndexChanged, this, &CStatsWindow::OnCount);
    connect(m_cboSecond, &QComboBox::currentIndexChanged, this, &CStatsWindow::OnCount);
    connect(m_chkSelected, &QCheckBox::toggled, this, &CStatsWindow::OnCount);
    connect(pExportTable, &QPushButton::clicked, this, &CStatsWindow::OnExportTable);
    connect(pExportChart, &QPushButton::clicked, this, &CStatsWindow::OnExportChart);
    connect(pClose, &QPushButton::clicked, this, &QDialog::accept);
    resize(1100, 600);
    OnCount();
}

const StatDimension* CStatsWindow::SecondDimension() const
{
    const int nIndex = m_cboSecond->currentIndex() - 1; // entry 0 is "（无）"
    // Counting a field against itself says nothing more than counting it once.
    if (nIndex < 0 || nIndex == m_cboFirst->currentIndex())
        return nullptr;
    return &g_statDimensions[nIndex];
}

void CStatsWindow::OnCount()
{
    const StatDimension& first = g_statDimensions[m_cboFirst->currentIndex()];
    const StatDimension* pSecond = SecondDimension();
    m_counts = m_chkSelected->isChecked() ? CountRecords(m_students, m_selected, first, pSecond)
                                          : CountAllRecords(m_students, first, pSecond);
    m_grid = StatisticsGrid(m_counts, first, pSecond);
    ShowTable();
    ShowChart();
}

void CStatsWindow::ShowTable()
{
    m_tblCounts->clear();
    m_tblCounts->setRowCount(static_cast<int>(m_grid.size()));
    m_tblCounts->setColumnCount(static_cast<int>(m_grid.front().size()));
    for (int r = 0; r < static_cast<int>(m_grid.size()); ++r)
    {
        for (int c = 0; c < static_cast<int>(m_grid[r].size()); ++c)
        {
            const StatCell& cell = m_grid[r][c];
            auto* pItem = new QTableWidgetItem(FromGbk(cell.strText));
            if (cell.kind != StatCell::Text)
                pItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            QFont font = pItem->font();
            font.setBold(r == 0 || r + 1 == static_cast<int>(m_grid.size()));
            pItem->setFont(font);
            m_tblCounts->setItem(r, c, pItem);
        }
    }
    m_tblCounts->resizeColumnsToContents();
}

void CStatsWindow::ShowChart()
{
    // Bars run across, so that the names of the groups are read on one line however long.
    auto* pSeries = new QHorizontalBarSeries;
    const std::size_t nSets = m_counts.IsCross() ? m_counts.Cols().size() : 1;
    for (std::size_t c = 0; c < nSets; ++c)
    {
        auto* pSet = new QBarSet(m_counts.IsCross() ? FromGbk(m_counts.Cols()[c].strName) : QStringLiteral("人数"));
        // The first group at the top, as in the table.
        for (std::size_t r = m_counts.Rows().size(); r-- > 0;)
            *pSet << m_counts.Count(r, c);
        pSeries->append(pSet);
    }
    auto* pChart = new QChart;
    pChart->addSeries(pSeries);
    QStringList names;
    for (std::size_t r = m_counts.Rows().size(); r-- > 0;)
        names << FromGbk(m_counts.Rows()[r].strName);
    auto* pNames = new QBarCategoryAxis;
    pNames->append(names);
    pChart->addAxis(pNames, Qt::AlignLeft);
    pSeries->attachAxis(pNames);
    auto* pValues = new QValueAxis;
    pValues->setLabelFormat(QStringLiteral("%d"));
    pChart->addAxis(pValues, Qt::AlignBottom);
    pSeries->attachAxis(pValues);
    pValues->applyNiceNumbers();
    pChart->legend()->setVisible(m_counts.IsCross());
    pChart->setTitle(FromGbk(m_grid.front().front().strText));
    QChart* pOld = m_pChartView->chart();
    m_pChartView->setChart(pChart);
    delete pOld;
}

void CStatsWindow::OnExportTable()
{
    const QString path = ChooseFileInLastFolder({this,
                                                 true,
                                                 QStringLiteral("统计.xlsx"),
                                                 QStringLiteral("Excel 工作簿 (*.xlsx);;CSV 文件 (*.csv)"),
                                                 QStringLiteral("xlsx"),
                                                 {}});
    if (path.isEmpty())
        return;
    std::string strBytes, strError;
    if (FormatOfPath(QFile::encodeName(path).toStdString()) != ExchangeFormat::Xlsx)
        strBytes = StatisticsCsv(m_grid);
    else if (!BuildStatisticsWorkbook(m_grid, strBytes, strError))
    {
        ShowFileError(this, FromGbk(strError));
        return;
    }
    WriteExport(this, path, strBytes, m_strSchoolCode);
}

void CStatsWindow::OnExportChart()
{
    const QString path = ChooseFileInLastFolder(
        {this, true, QStringLiteral("统计图.png"), QStringLiteral("PNG 图片 (*.png)"), QStringLiteral("png"), {}});
    if (path.isEmpty())
        return;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    m_pChartView->grab().save(&buffer, "PNG");
    WriteExport(this, path, buffer.data().toStdString(), m_strSchoolCode);
}
