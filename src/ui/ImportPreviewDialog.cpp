#include "ui/ImportPreviewDialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/ImportRecords.h"
#include "core/ImportReport.h"
#include "core/ImportTable.h"
#include "ui/Support/GbkText.h"

namespace
{
const char16_t* const kTitles[] = {u"行号", u"学号", u"姓名", u"问题", u"不在代码表中的值"};
constexpr int kColumns = 5;

// "从工作表“名单”第3行至第102行读入100条记录。"
QString ReadText(const CImportTable& table, const ImportedRecords& records)
{
    const int nCount = records.table.GetRowCount();
    if (nCount == 0)
        return QStringLiteral("文件中没有记录。");
    const QString where =
        table.IsWorkbook() ? QStringLiteral("工作表“%1”").arg(FromGbk(table.SheetName())) : QStringLiteral("文件");
    return QStringLiteral("从%1第%2行至第%3行读入%4条记录。")
        .arg(where)
        .arg(records.fileRows.front())
        .arg(records.fileRows.back())
        .arg(nCount);
}

QString SummaryText(const CImportTable& table, const ImportedRecords& records, const CImportPreview& preview)
{
    QString text = ReadText(table, records) + u'\n';
    const int nFailing = static_cast<int>(preview.FailingRecords().size());
    text += nFailing == 0 ? QStringLiteral("每条记录都通过了检查。")
                          : QStringLiteral("通过检查的有%1条，未通过的有%2条（列在下面）。")
                                .arg(preview.PassingCount())
                                .arg(nFailing);
    text += u'\n';
    text += preview.StoredCount() == 0 ? QStringLiteral("没有学号已存的记录。")
                                       : QStringLiteral("学号已存的有%1条，更新会改变其中%2个字段。")
                                             .arg(preview.StoredCount())
                                             .arg(preview.TotalChangedFields());
    return text;
}

QRadioButton* NewRadio(const QString& text, const QString& name)
{
    auto* pButton = new QRadioButton(text);
    pButton->setObjectName(name);
    return pButton;
}
} // namespace

CImportFailingModel::CImportFailingModel(QObject* pParent, const ImportedRecords& records,
                                         const CImportPreview& preview)
    : QAbstractTableModel(pParent), m_records(records), m_preview(preview)
{
}

int CImportFailingModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_preview.FailingRecords().size());
}

int CImportFailingModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant CImportFailingModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    const CImportPreview::Failing& failing = m_preview.FailingRecords()[static_cast<std::size_t>(index.row())];
    switch (index.column())
    {
    case 0:
        return m_records.fileRows[static_cast<std::size_t>(failing.nRecord)];
    case 1:
        return FromGbk(m_records.table.GetCell(failing.nRecord, Field::XSBSH));
    case 2:
        return FromGbk(m_records.table.GetCell(failing.nRecord, Field::XM));
    case 3:
        return FromGbk(FirstCheckText(failing));
    default:
        return FromGbk(BadValuesText(m_records, failing));
    }
}

QVariant CImportFailingModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumns)
        return QString::fromUtf16(kTitles[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

CImportPreviewDialog::CImportPreviewDialog(QWidget* pParent, const CImportTable& table, const ImportedRecords& records,
                                           const CImportPreview& preview)
    : QDialog(pParent)
{
    setObjectName(QStringLiteral("importPreview"));
    setWindowTitle(QStringLiteral("导入：检查结果"));
    auto* pLayout = new QVBoxLayout(this);
    auto* pSummary = new QLabel(SummaryText(table, records, preview));
    pSummary->setObjectName(QStringLiteral("importSummary"));
    pLayout->addWidget(pSummary);

    auto* pFailing = new QTableView;
    pFailing->setObjectName(QStringLiteral("failingRecords"));
    pFailing->setAccessibleName(QStringLiteral("未通过检查的记录"));
    pFailing->setModel(new CImportFailingModel(pFailing, records, preview));
    pFailing->horizontalHeader()->setStretchLastSection(true);
    pFailing->setVisible(!preview.FailingRecords().empty());
    pLayout->addWidget(pFailing);

    auto* pStored = new QGroupBox(QStringLiteral("学号已存的记录"));
    m_pUpdate = NewRadio(QStringLiteral("更新已存记录(&U)"), QStringLiteral("storedUpdate"));
    m_pSkip = NewRadio(QStringLiteral("跳过(&S)"), QStringLiteral("storedSkip"));
    m_pAppend = NewRadio(QStringLiteral("作为新记录追加(&A)"), QStringLiteral("storedAppend"));
    m_pUpdate->setChecked(true); // a corrected list imported again must not double the students
    auto* pStoredLayout = new QVBoxLayout(pStored);
    for (QRadioButton* pButton : {m_pUpdate, m_pSkip, m_pAppend})
        pStoredLayout->addWidget(pButton);
    pStored->setEnabled(preview.StoredCount() > 0);
    pLayout->addWidget(pStored);

    auto* pButtons = new QDialogButtonBox;
    QPushButton* pAll = pButtons->addButton(QStringLiteral("导入(&I)"), QDialogButtonBox::AcceptRole);
    QPushButton* pValid = pButtons->addButton(QStringLiteral("只导入通过检查的(&V)"), QDialogButtonBox::ActionRole);
    QPushButton* pCancel = pButtons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    pAll->setObjectName(QStringLiteral("importAll"));
    pValid->setObjectName(QStringLiteral("importValid"));
    pCancel->setObjectName(QStringLiteral("importCancel"));
    pValid->setEnabled(!preview.FailingRecords().empty() && preview.PassingCount() > 0);
    // With failing records the safe choice is the default; otherwise every record passes anyway.
    (preview.FailingRecords().empty() ? pAll : pValid)->setDefault(true);
    connect(pAll, &QPushButton::clicked, this, [this] { Choose(ImportScope::All); });
    connect(pValid, &QPushButton::clicked, this, [this] { Choose(ImportScope::PassingOnly); });
    connect(pCancel, &QPushButton::clicked, this, &QDialog::reject);
    pLayout->addWidget(pButtons);
    resize(720, 480);
}

StoredChoice CImportPreviewDialog::Stored() const
{
    return m_pSkip->isChecked()     ? StoredChoice::Skip
           : m_pAppend->isChecked() ? StoredChoice::Append
                                    : StoredChoice::Update;
}

void CImportPreviewDialog::Choose(ImportScope scope)
{
    m_scope = scope;
    accept();
}
