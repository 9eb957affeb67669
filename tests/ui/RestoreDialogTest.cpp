// The restore dialog: what it lists, marks and previews, and what it refuses.
#include "ui/RestoreDialog.h"

#include "StudentFixture.h"
#include "UiSchoolFixture.h"

#include <deque>

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "core/OpenSchool.h"
#include "core/SchoolBackups.h"
#include "core/SchoolPaths.h"
#include "ui/Support/CodeNameDisplay.h"
#include "ui/Support/Seams/PasswordPrompt.h"

using namespace Qt::StringLiterals;

namespace
{
std::time_t g_tNow = 0;
std::time_t FakeNow()
{
    return g_tNow;
}

QTableWidget* BackupList(CRestoreDialog& dlg)
{
    return dlg.findChild<QTableWidget*>(u"backupList"_s);
}

QTableWidget* Preview(CRestoreDialog& dlg)
{
    return dlg.findChild<QTableWidget*>(u"backupPreview"_s);
}

QString Cell(QTableWidget* pTable, int nRow, int nCol)
{
    return pTable->item(nRow, nCol) ? pTable->item(nRow, nCol)->text() : QString();
}
} // namespace

class TestRestoreDialog : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { m_school.initTestCase(); }
    void init()
    {
        m_school.init();
        g_tNow = 1796871600; // 2026-12-10 11:00:00
        SetBackupClock(FakeNow);
    }
    void cleanup()
    {
        SetBackupClock(nullptr);
        m_school.cleanup();
    }

    void listsNewestFirstAndMarksWhatThePasswordDoesNotOpen()
    {
        WriteDataFile("10001", "old", 2);
        g_tNow += 60;
        WriteDataFile("10001", "123", 30); // a password change: the 2-record backup needs "old"
        g_tNow += 60;
        WriteDataFile("10001", "123", 4);
        // A backup cut short (its text does not end with a whole line), scrambled with "123".
        std::string strDamaged = std::string("OKAY\r\n") + g_lpcszStudentColumns + "S9\t10001";
        for (std::size_t i = 0; i < strDamaged.size(); ++i)
            strDamaged[i] = static_cast<char>(strDamaged[i] ^ (i % 8 < 3 ? "123"[i % 8] : 0));
        QFile damaged(QString::fromStdString(GetBackupDirectory("10001")) + u"/20261201-080000.db"_s);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(strDamaged.data(), static_cast<qint64>(strDamaged.size()));
        damaged.close();
        // An empty backup: damaged, never an empty school that a restore would put in place.
        QFile empty(QString::fromStdString(GetBackupDirectory("10001")) + u"/20261201-070000.db"_s);
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();

        CRestoreDialog dlg(COpenSchool("10001", "123"));
        QTableWidget* pList = BackupList(dlg);
        QCOMPARE(pList->rowCount(), 4);
        QCOMPARE(pList->horizontalHeaderItem(1)->text(), u"备份前的操作");
        QCOMPARE(Cell(pList, 0, 0), u"2026-12-10 11:02:00");
        QCOMPARE(Cell(pList, 0, 1), u"保存前");
        QCOMPARE(Cell(pList, 0, 2), u"30");
        QCOMPARE(Cell(pList, 0, 4), u"");
        QCOMPARE(Cell(pList, 1, 0), u"2026-12-10 11:01:00");
        QCOMPARE(Cell(pList, 1, 2), u"—");
        QCOMPARE(Cell(pList, 1, 4), u"密码不符");
        for (int nRow : {2, 3})
        {
            QCOMPARE(Cell(pList, nRow, 2), u"—");
            QCOMPARE(Cell(pList, nRow, 4), u"已损坏");
        }
        QCOMPARE(Cell(pList, 2, 3), u"%1 字节"_s.arg(strDamaged.size()));
        QCOMPARE(Cell(pList, 3, 3), u"0 字节");
        // Every column shows its whole text.
        for (int nCol = 0; nCol < pList->columnCount() - 1; ++nCol)
            QVERIFY(pList->columnWidth(nCol) >= pList->horizontalHeader()->sectionSizeHint(nCol));
        QVERIFY(!dlg.findChild<QLabel*>(u"noBackups"_s)->isVisibleTo(&dlg));

        // The newest is selected, its first 20 rows previewed with the list's column titles.
        QCOMPARE(pList->currentRow(), 0);
        QTableWidget* pPreview = Preview(dlg);
        QCOMPARE(pPreview->rowCount(), CRestoreDialog::kPreviewRows);
        QCOMPARE(pPreview->columnCount(), 24);
        QCOMPARE(pPreview->horizontalHeaderItem(0)->text(), u"学号");
        QCOMPARE(Cell(pPreview, 19, 0), u"S19");
        QCOMPARE(Cell(pPreview, 3, 3), u"学生3");

        pList->selectRow(1);
        QCOMPARE(pPreview->rowCount(), 0);

        // Damaged backups cannot be restored; the dialog stays open.
        MessageRecorder messages(IDNO);
        dlg.show();
        for (int nRow : {2, 3})
        {
            pList->selectRow(nRow);
            dlg.OnOK();
            QCOMPARE(messages.last().text, u"这个备份已损坏，不能恢复。");
            QCOMPARE(messages.last().caption, u"提示");
        }
        QCOMPARE(messages.count(), 2);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.result(), 0);
    }

    // A backup saved under an earlier password asks for that password and checks it like the login.
    void backupOfAnEarlierPasswordAsksForItsPassword()
    {
        WriteDataFile("10001", "old", 2);
        g_tNow += 60;
        WriteDataFile("10001", "123", 3); // a password change: the 2-record backup needs "old"
        CRestoreDialog dlg(COpenSchool("10001", "123"));
        dlg.show();
        std::deque<std::optional<QString>> answers = {std::nullopt, u"olx"_s, u"old"_s};
        QList<PasswordPromptCall> prompts;
        SetPasswordPromptHook([&](const PasswordPromptCall& call) {
            prompts << call;
            const std::optional<QString> answer = answers.front();
            answers.pop_front();
            return answer;
        });
        MessageRecorder messages(IDYES);
        dlg.OnOK(); // cancelled: nothing more
        QCOMPARE(prompts.size(), 1);
        QCOMPARE(prompts.last().caption, u"恢复备份");
        QCOMPARE(prompts.last().text, u"2026-12-10 11:01:00 的备份是用另一个密码保存的（多半在修改密码之前）。\n"
                                      u"请输入保存它时的密码，恢复后的数据文件用现在的密码保存：");
        QCOMPARE(messages.count(), 0);
        dlg.OnOK(); // a wrong one names the backup
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text,
                 u"密码不正确：2026-12-10 11:01:00 的备份（20261210-030100Z）不能用这个密码打开。");
        QCOMPARE(dlg.result(), 0);
        dlg.OnOK(); // the right one: the usual question, then the dialog ends with the backup and its password
        SetPasswordPromptHook({});
        QCOMPARE(messages.count(), 2);
        QVERIFY(messages.last().text.startsWith(u"用 2026-12-10 11:01:00 的备份（2 条记录）替换现在的全部记录吗？"));
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.GetChosenId(), "20261210-030100Z");
        QCOMPARE(dlg.GetBackupPassword(), "old");
    }

    void previewFollowsTheCodeNamesChoice()
    {
        CMemTable table;
        FillStudents(table, 2);
        table.SetCell(0, Field::XBDM, "1");
        QVERIFY(SaveSchoolDatabase("10001", table, "123"));
        g_tNow += 5;
        WriteDataFile("10001", "123", 3);
        for (bool bNames : {false, true})
        {
            SetShowsCodeNames(bNames);
            CRestoreDialog dlg(COpenSchool("10001", "123"));
            QTableWidgetItem* pSex = Preview(dlg)->item(0, Field::XBDM);
            QCOMPARE(pSex->text(), bNames ? u"男"_s : u"1"_s);
            QCOMPARE(pSex->toolTip(), bNames ? u"1"_s : QString());
        }
        SetShowsCodeNames(false);
    }

    void confirmationNamesTheBackupAndEndsTheDialog()
    {
        WriteDataFile("10001", "123", 2);
        g_tNow += 5;
        WriteDataFile("10001", "123", 3);
        CRestoreDialog dlg(COpenSchool("10001", "123"));
        dlg.show();
        MessageRecorder messages(IDYES);
        dlg.findChild<QPushButton*>(u"restoreButton"_s)->click();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, u"用 2026-12-10 11:00:05 的备份（2 条记录）替换现在的全部记录吗？\n"
                                       u"现在的数据文件会先留作一个备份，恢复之后也可以撤销。");
        QCOMPARE(messages.last().buttons, MsgButtons::YesNo);
        QVERIFY(messages.last().bDefaultNo);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.GetChosenId(), "20261210-030005Z");
    }

    // A backup with the header line and no records is a school without records, not a damaged file.
    void backupWithoutRecordsIsRestorable()
    {
        WriteDataFile("10001", "123", 0);
        g_tNow += 5;
        WriteDataFile("10001", "123", 3);
        CRestoreDialog dlg(COpenSchool("10001", "123"));
        QTableWidget* pList = BackupList(dlg);
        QCOMPARE(pList->rowCount(), 1);
        QCOMPARE(Cell(pList, 0, 2), u"0");
        QCOMPARE(Cell(pList, 0, 4), u"");
        QCOMPARE(Preview(dlg)->rowCount(), 0);
        dlg.show();
        MessageRecorder messages(IDYES);
        dlg.findChild<QPushButton*>(u"restoreButton"_s)->click();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, u"用 2026-12-10 11:00:05 的备份（0 条记录）替换现在的全部记录吗？\n"
                                       u"现在的数据文件会先留作一个备份，恢复之后也可以撤销。");
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.GetChosenId(), "20261210-030005Z");
    }

    void saysSoWhenThereIsNoBackup()
    {
        WriteDataFile("10001", "123", 2);
        CRestoreDialog dlg(COpenSchool("10001", "123"));
        QCOMPARE(BackupList(dlg)->rowCount(), 0);
        QVERIFY(dlg.findChild<QLabel*>(u"noBackups"_s)->isVisibleTo(&dlg));
        QVERIFY(!dlg.findChild<QPushButton*>(u"restoreButton"_s)->isEnabled());
    }

  private:
    UiSchoolFixture m_school;
};

QTEST_MAIN(TestRestoreDialog)
#include "RestoreDialogTest.moc"
