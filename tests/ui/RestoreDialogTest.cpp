// The restore dialog: what it lists, marks and previews, and what it refuses.
#include "ui/RestoreDialog.h"

#include "StudentFixture.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "core/SchoolBackups.h"

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
    void initTestCase() { LoadSchoolDirectory(); }
    void init()
    {
        m_dir = std::make_unique<TempProgramDir>();
        g_tNow = 1796871600; // 2026-12-10 11:00:00
        SetBackupClock(FakeNow);
    }
    void cleanup()
    {
        SetBackupClock(nullptr);
        m_dir.reset();
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

        CRestoreDialog dlg({"10001", "123"});
        QTableWidget* pList = BackupList(dlg);
        QCOMPARE(pList->rowCount(), 3);
        QCOMPARE(Cell(pList, 0, 0), u"2026-12-10 11:02:00");
        QCOMPARE(Cell(pList, 0, 1), u"30");
        QCOMPARE(Cell(pList, 0, 3), u"");
        QCOMPARE(Cell(pList, 1, 0), u"2026-12-10 11:01:00");
        QCOMPARE(Cell(pList, 1, 1), u"—");
        QCOMPARE(Cell(pList, 1, 3), u"密码不符");
        QCOMPARE(Cell(pList, 2, 1), u"—");
        QCOMPARE(Cell(pList, 2, 3), u"已损坏");
        QCOMPARE(Cell(pList, 2, 2), u"%1 字节"_s.arg(strDamaged.size()));
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

        // An unreadable backup is refused with the login's message; the dialog stays open.
        MessageRecorder messages(IDYES);
        dlg.show();
        dlg.OnOK();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, u"密码不正确，请检查。");
        QCOMPARE(messages.last().caption, u"提示");
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.result(), 0);
    }

    void confirmationNamesTheBackupAndEndsTheDialog()
    {
        WriteDataFile("10001", "123", 2);
        g_tNow += 5;
        WriteDataFile("10001", "123", 3);
        CRestoreDialog dlg({"10001", "123"});
        dlg.show();
        MessageRecorder messages(IDYES);
        dlg.findChild<QPushButton*>(u"restoreButton"_s)->click();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, u"用 2026-12-10 11:00:05 的备份（2 条记录）替换现在的全部记录吗？\n"
                                       u"现在的数据文件会先留作一个备份，恢复之后也可以撤销。");
        QCOMPARE(messages.last().buttons, MsgButtons::YesNo);
        QVERIFY(messages.last().bDefaultNo);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.GetChosenId(), "20261210-110005");
    }

    void saysSoWhenThereIsNoBackup()
    {
        WriteDataFile("10001", "123", 2);
        CRestoreDialog dlg({"10001", "123"});
        QCOMPARE(BackupList(dlg)->rowCount(), 0);
        QVERIFY(dlg.findChild<QLabel*>(u"noBackups"_s)->isVisibleTo(&dlg));
        QVERIFY(!dlg.findChild<QPushButton*>(u"restoreButton"_s)->isEnabled());
    }

  private:
    std::unique_ptr<TempProgramDir> m_dir;
};

QTEST_MAIN(TestRestoreDialog)
#include "RestoreDialogTest.moc"
