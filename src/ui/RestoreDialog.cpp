#include "ui/RestoreDialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/DataFunc.h"
#include "core/OpenSchool.h"
#include "platform/LastError.h"
#include "ui/Support/CodeNameDisplay.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/Seams/MessageBox.h"
#include "ui/Support/Seams/PasswordPrompt.h"

namespace
{
enum BackupColumn
{
    colTime,
    colOccasion,
    colRecords,
    colSize,
    colState,
    colCount
};

QTableWidget* NewTable(QWidget* pParent, const QString& name)
{
    auto* pTable = new QTableWidget(pParent);
    pTable->setObjectName(name);
    pTable->setAccessibleName(name == QStringLiteral("backupList") ? QStringLiteral("备份") : QStringLiteral("预览"));
    pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    pTable->verticalHeader()->hide();
    pTable->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return pTable;
}

QTableWidgetItem* NewItem(const QString& text, bool bReadable)
{
    auto* pItem = new QTableWidgetItem(text);
    if (!bReadable)
        pItem->setForeground(Qt::gray);
    return pItem;
}

QString SizeText(std::uint64_t nBytes)
{
    if (nBytes < 1024)
        return QStringLiteral("%1 字节").arg(nBytes);
    const double dKb = static_cast<double>(nBytes) / 1024;
    return dKb < 1024 ? QStringLiteral("%1 KB").arg(dKb, 0, 'f', 1)
                      : QStringLiteral("%1 MB").arg(dKb / 1024, 0, 'f', 1);
}
} // namespace

QString UnreadableBackupText(DWORD dwError)
{
    return dwError == ERROR_INVALID_PASSWORD ? QStringLiteral("密码不符") : QStringLiteral("已损坏");
}

CRestoreDialog::CRestoreDialog(const COpenSchool& school, QWidget* pParent)
    : QDialog(pParent), m_strCode(school.Code()), m_strPassword(school.Password())
{
    setWindowTitle(QStringLiteral("恢复备份"));
    auto* pLayout = new QVBoxLayout(this);
    auto* pListLabel = new QLabel(QStringLiteral("备份(&B)："), this);
    m_lstBackups = NewTable(this, QStringLiteral("backupList"));
    pListLabel->setBuddy(m_lstBackups);
    m_stcNone = new QLabel(QStringLiteral("还没有备份：每次保存覆盖数据文件之前，原文件都会留作备份。"), this);
    m_stcNone->setObjectName(QStringLiteral("noBackups"));
    auto* pPreviewLabel = new QLabel(QStringLiteral("前 %1 条记录(&P)：").arg(kPreviewRows), this);
    m_lstPreview = NewTable(this, QStringLiteral("backupPreview"));
    pPreviewLabel->setBuddy(m_lstPreview);

    m_btnRestore = new QPushButton(QStringLiteral("恢复(&R)"), this);
    m_btnRestore->setObjectName(QStringLiteral("restoreButton"));
    m_btnRestore->setDefault(true);
    auto* pClose = new QPushButton(QStringLiteral("关闭"), this);
    pClose->setObjectName(QStringLiteral("closeButton"));
    connect(m_btnRestore, &QPushButton::clicked, this, &CRestoreDialog::OnOK);
    connect(pClose, &QPushButton::clicked, this, &QDialog::reject);
    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch();
    pButtons->addWidget(m_btnRestore);
    pButtons->addWidget(pClose);

    pLayout->addWidget(pListLabel);
    pLayout->addWidget(m_lstBackups, 2);
    pLayout->addWidget(m_stcNone);
    pLayout->addWidget(pPreviewLabel);
    pLayout->addWidget(m_lstPreview, 3);
    pLayout->addLayout(pButtons);

    FillBackupList();
    connect(m_lstBackups, &QTableWidget::currentCellChanged, this, &CRestoreDialog::ShowPreview);
    if (!m_entries.empty())
        m_lstBackups->selectRow(0);
    ShowPreview();
    resize(760, 520);
}

void CRestoreDialog::FillBackupList()
{
    for (BackupEntry& backup : ListBackups(m_strCode))
    {
        Listed listed{std::move(backup)};
        CMemTable table;
        if (LoadDatabaseFile(listed.backup.strPath, m_strPassword, table))
            listed.nRecords = table.GetRowCount();
        else
            listed.dwError = GetLastError();
        m_entries.push_back(std::move(listed));
    }
    m_lstBackups->setColumnCount(colCount);
    m_lstBackups->setHorizontalHeaderLabels({QStringLiteral("时间"), QStringLiteral("备份前的操作"),
                                             QStringLiteral("记录数"), QStringLiteral("文件大小"),
                                             QStringLiteral("状态")});
    m_lstBackups->setRowCount(static_cast<int>(m_entries.size()));
    for (int nRow = 0; nRow < static_cast<int>(m_entries.size()); ++nRow)
    {
        const Listed& listed = m_entries[static_cast<std::size_t>(nRow)];
        const bool bReadable = listed.nRecords >= 0;
        m_lstBackups->setItem(nRow, colTime,
                              NewItem(QString::fromStdString(FormatBackupTime(listed.backup.stamp.tWhen)), bReadable));
        m_lstBackups->setItem(nRow, colOccasion, NewItem(FromGbk(listed.backup.strOccasion), bReadable));
        m_lstBackups->setItem(nRow, colRecords,
                              NewItem(bReadable ? QString::number(listed.nRecords) : QStringLiteral("—"), bReadable));
        m_lstBackups->setItem(nRow, colSize, NewItem(SizeText(listed.backup.nSize), bReadable));
        m_lstBackups->setItem(nRow, colState,
                              NewItem(bReadable ? QString() : UnreadableBackupText(listed.dwError), bReadable));
    }
    m_lstBackups->resizeColumnsToContents();
    m_lstBackups->horizontalHeader()->setStretchLastSection(true);
    m_stcNone->setVisible(m_entries.empty());
    m_btnRestore->setEnabled(!m_entries.empty());
}

int CRestoreDialog::CurrentEntry() const
{
    const int nRow = m_lstBackups->currentRow();
    return nRow >= 0 && nRow < static_cast<int>(m_entries.size()) ? nRow : -1;
}

void CRestoreDialog::ShowPreview()
{
    m_lstPreview->clear();
    m_lstPreview->setColumnCount(STUDENT_FIELD_COUNT);
    QStringList titles;
    for (const STUDENTFIELD& field : g_studentFields)
        titles << FromGbk(field.lpcszListLabel);
    m_lstPreview->setHorizontalHeaderLabels(titles);
    m_lstPreview->setRowCount(0);
    const int nEntry = CurrentEntry();
    CMemTable table;
    if (nEntry < 0 || m_entries[static_cast<std::size_t>(nEntry)].nRecords < 0 ||
        !LoadDatabaseFile(m_entries[static_cast<std::size_t>(nEntry)].backup.strPath, m_strPassword, table))
        return;
    const int nRows = std::min(table.GetRowCount(), kPreviewRows);
    const bool bNames = ShowsCodeNames();
    m_lstPreview->setRowCount(nRows);
    for (int nRow = 0; nRow < nRows; ++nRow)
        for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
        {
            // Coded fields as the main list shows them (显示代码名称), the code in the tooltip.
            const char* lpcszCell = table.GetCell(nRow, nCol);
            auto* pItem = new QTableWidgetItem(ListCellText(nCol, lpcszCell, bNames));
            pItem->setToolTip(ListCellToolTip(nCol, lpcszCell, bNames));
            m_lstPreview->setItem(nRow, nCol, pItem);
        }
}

void CRestoreDialog::OnOK()
{
    const int nEntry = CurrentEntry();
    if (nEntry < 0)
    {
        UiMessageBox(this, QStringLiteral("请先选择一个备份。"), QStringLiteral("提示"));
        return;
    }
    Listed& listed = m_entries[static_cast<std::size_t>(nEntry)];
    m_strBackupPassword = m_strPassword;
    if (listed.nRecords < 0 && listed.dwError == ERROR_INVALID_PASSWORD && !AskBackupPassword(listed))
        return;
    if (listed.nRecords < 0)
    {
        UiMessageBox(this, QStringLiteral("这个备份已损坏，不能恢复。"), QStringLiteral("提示"));
        return;
    }
    const QString question =
        QStringLiteral(
            "用 %1 的备份（%2 条记录）替换现在的全部记录吗？\n现在的数据文件会先留作一个备份，恢复之后也可以撤销。")
            .arg(QString::fromStdString(FormatBackupTime(listed.backup.stamp.tWhen)))
            .arg(listed.nRecords);
    if (UiMessageBox(this, question, QStringLiteral("提示"), MsgButtons::YesNo, MsgIcon::Question, true) != IDYES)
        return;
    m_strChosenId = listed.backup.stamp.strId;
    QDialog::accept();
}

bool CRestoreDialog::AskBackupPassword(Listed& listed)
{
    const QString time = QString::fromStdString(FormatBackupTime(listed.backup.stamp.tWhen));
    const std::optional<QString> given =
        UiAskPassword(this,
                      QStringLiteral("%1 的备份是用另一个密码保存的（多半在修改密码之前）。\n请输入保存它时的密码，"
                                     "恢复后的数据文件用现在的密码保存：")
                          .arg(time),
                      QStringLiteral("恢复备份"));
    if (!given)
        return false;
    const std::optional<std::string> password = ToGbk(*given);
    CMemTable table;
    // The login's check: the magic and the header line must come out right.
    if (!password || !LoadDatabaseFile(listed.backup.strPath, *password, table))
    {
        UiMessageBox(this,
                     !password || GetLastError() == ERROR_INVALID_PASSWORD
                         ? QStringLiteral("密码不正确：%1 的备份（%2）不能用这个密码打开。")
                               .arg(time, QString::fromStdString(listed.backup.stamp.strId))
                         : QStringLiteral("这个备份已损坏，不能恢复。"),
                     QStringLiteral("提示"));
        return false;
    }
    listed.nRecords = table.GetRowCount();
    m_strBackupPassword = *password;
    return true;
}
