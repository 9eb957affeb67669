#include "ui/ImportColumnsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/ImportTable.h"
#include "core/ImportValues.h"
#include "ui/Support/DialogButtons.h"
#include "ui/Support/GbkText.h"

namespace
{
constexpr int kPreviewRows = 5;

// "D列：学籍号" in a workbook, "第4列：学籍号" in a CSV file.
QString ColumnText(const CImportTable& table, int nCol)
{
    const QString where = table.IsWorkbook() ? FromGbk(CImportTable::ColumnLetters(nCol)) + u'列'
                                             : QStringLiteral("第%1列").arg(nCol + 1);
    return where + u'：' + FromGbk(table.Title(nCol));
}

// How a cell that cannot be stored shows in the preview.
QString ProblemText(ValueProblem problem, const std::string& strCandidates)
{
    switch (problem)
    {
    case ValueProblem::Number:
        return QStringLiteral("（数字，不能导入）");
    case ValueProblem::Date:
        return QStringLiteral("（日期，不能导入）");
    case ValueProblem::Formula:
        return QStringLiteral("（公式，不能导入）");
    case ValueProblem::Ambiguous:
        return QStringLiteral("（有多个代码：%1）").arg(FromGbk(strCandidates));
    default:
        return QStringLiteral("（不能导入）");
    }
}
} // namespace

CImportColumnsDialog::CImportColumnsDialog(QWidget* pParent, const CImportTable& table, const ColumnMapping& initial)
    : QDialog(pParent), m_table(table)
{
    setObjectName(QStringLiteral("importColumns"));
    setWindowTitle(QStringLiteral("导入：对照各列"));
    auto* pLayout = new QVBoxLayout(this);
    if (!table.Note().empty())
    {
        auto* pNote = new QLabel(FromGbk(table.Note()));
        pNote->setObjectName(QStringLiteral("sheetNote"));
        pNote->setWordWrap(true);
        pLayout->addWidget(pNote);
    }
    pLayout->addWidget(new QLabel(QStringLiteral("文件的标题行没有写全24个字段名。请为每个字段选择文件中的列"
                                                 "（不选的字段取空值）：")));
    auto* pGrid = new QGridLayout;
    const std::vector<int> columns = table.UsedColumns();
    for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
    {
        auto* pCombo = new QComboBox;
        pCombo->setObjectName(QStringLiteral("column_") + QString::fromLatin1(g_studentFields[f].lpcszName));
        pCombo->addItem(QStringLiteral("（无，取空值）"), -1);
        for (int c : columns)
            pCombo->addItem(ColumnText(table, c), c);
        auto* pLabel = new QLabel(FromGbk(g_studentFields[f].lpcszListLabel) + QStringLiteral("（") +
                                  QString::fromLatin1(g_studentFields[f].lpcszName) + QStringLiteral("）："));
        pLabel->setBuddy(pCombo);
        pCombo->setAccessibleName(FromGbk(g_studentFields[f].lpcszListLabel));
        pGrid->addWidget(pLabel, f / 2, (f % 2) * 2);
        pGrid->addWidget(pCombo, f / 2, (f % 2) * 2 + 1);
        m_columns[static_cast<std::size_t>(f)] = pCombo;
    }
    pLayout->addLayout(pGrid);

    m_pPreview = new QTableWidget(0, STUDENT_FIELD_COUNT);
    m_pPreview->setObjectName(QStringLiteral("columnPreview"));
    m_pPreview->setAccessibleName(QStringLiteral("前五条记录将这样保存"));
    m_pPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList titles;
    for (const STUDENTFIELD& field : g_studentFields)
        titles << FromGbk(field.lpcszListLabel);
    m_pPreview->setHorizontalHeaderLabels(titles);
    pLayout->addWidget(new QLabel(QStringLiteral("前五条记录将这样保存：")));
    pLayout->addWidget(m_pPreview);
    m_pIgnored = new QLabel;
    m_pIgnored->setObjectName(QStringLiteral("ignoredColumns"));
    m_pIgnored->setWordWrap(true);
    pLayout->addWidget(m_pIgnored);
    QDialogButtonBox* pButtons = CreateOkCancelButtons(this);
    pButtons->findChild<QPushButton*>(QStringLiteral("id1"))->setText(QStringLiteral("下一步(&N)"));
    pLayout->addWidget(pButtons);

    for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
        ChooseColumn(f, initial.columnOf[f]);
    for (QComboBox* pCombo : m_columns)
        connect(pCombo, &QComboBox::currentIndexChanged, this, &CImportColumnsDialog::ShowChoice);
    ShowChoice();
}

ColumnMapping CImportColumnsDialog::Mapping() const
{
    ColumnMapping mapping;
    for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
        mapping.columnOf[f] = m_columns[static_cast<std::size_t>(f)]->currentData().toInt();
    return mapping;
}

void CImportColumnsDialog::ChooseColumn(int nField, int nCol)
{
    QComboBox* pCombo = m_columns[static_cast<std::size_t>(nField)];
    pCombo->setCurrentIndex(std::max(pCombo->findData(nCol), 0));
}

// The preview and the list of ignored columns for the columns chosen now.
void CImportColumnsDialog::ShowChoice()
{
    const ColumnMapping mapping = Mapping();
    CImportValueReader reader(m_table);
    const int nRows = std::min(kPreviewRows, m_table.RowCount() - 1);
    m_pPreview->setRowCount(std::max(nRows, 0));
    std::string strValue, strCandidates;
    for (int r = 0; r < nRows; ++r)
    {
        for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
        {
            QString text;
            if (const int nCol = mapping.columnOf[f]; nCol >= 0)
            {
                const ValueProblem problem = reader.Read(r + 1, nCol, f, strValue, strCandidates);
                text = problem == ValueProblem::None ? FromGbk(strValue) : ProblemText(problem, strCandidates);
            }
            m_pPreview->setItem(r, f, new QTableWidgetItem(text));
        }
    }
    QStringList ignored;
    for (int c : m_table.UsedColumns())
    {
        if (std::find(mapping.columnOf.begin(), mapping.columnOf.end(), c) == mapping.columnOf.end())
            ignored << ColumnText(m_table, c);
    }
    m_pIgnored->setText(ignored.isEmpty() ? QStringLiteral("文件的每一列都导入。")
                                          : QStringLiteral("不导入的列：") + ignored.join(QStringLiteral("、")));
}
