// Undo and redo of every kind of change in the main window, and the restore of backups.
#include "EditorScript.h"
#include "FaultyFileCalls.h"
#include "ImportAnswers.h"
#include "LoggedInMainDialog.h"
#include "StudentFixture.h"
#include "UiSchoolFixture.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include "core/SchoolBackups.h"
#include "core/SchoolPaths.h"
#include "ui/MainDialog.h"
#include "ui/RestoreDialog.h"
#include "ui/Support/StudentListModel.h"

using namespace Qt::StringLiterals;

namespace
{
class HistoryMainDialog : public LoggedInMainDialog
{
  public:
    HistoryMainDialog() : LoggedInMainDialog(u"10001"_s, u"123"_s) {}
    QAction* Undo() { return findChild<QAction*>(u"undo"_s); }
    QAction* Redo() { return findChild<QAction*>(u"redo"_s); }
};

std::string DataFile()
{
    return ReadFileBytes(QString::fromStdString(GetSchoolDatabasePath("10001")));
}

// Runs the step while a restore dialog, once it shows, gets the given row chosen and 恢复 pressed.
class RestoreScript
{
  public:
    explicit RestoreScript(int nRow)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, nRow] {
            auto* pDialog = qobject_cast<CRestoreDialog*>(QApplication::activeModalWidget());
            if (!pDialog || pDialog->property("scripted").toBool())
                return;
            pDialog->setProperty("scripted", true);
            pDialog->findChild<QTableWidget*>(u"backupList"_s)->selectRow(nRow);
            pDialog->findChild<QPushButton*>(u"restoreButton"_s)->click();
            if (pDialog->isVisible())
                pDialog->reject();
        });
        m_timer.start(5);
    }

  private:
    QTimer m_timer;
};

std::string CsvOf(const std::vector<std::string>& numbers)
{
    std::string strCsv = g_lpcszStudentColumns;
    for (char& ch : strCsv)
        ch = ch == '\t' ? ',' : ch;
    for (const std::string& strNumber : numbers)
        strCsv += strNumber + ",10001,,,,,,,,,,,,,,,,,,,,,,\r\n";
    return strCsv;
}
} // namespace

class TestMainDialogHistory : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { m_school.initTestCase(); }
    void init()
    {
        m_school.init();
        // Five complete records, which the editor takes back unchanged: S0 ... S4.
        std::vector<std::vector<std::string>> records;
        for (int nRow = 0; nRow < 5; ++nRow)
            records.push_back(EditorScript::CompleteRecord(("S" + std::to_string(nRow)).c_str()));
        WriteDataFile("10001", "123", records);
    }
    void cleanup() { m_school.cleanup(); }

    // Each kind of step, undone and redone: the data file on disk goes back and forth byte for
    // byte, the list follows the table, and the menu items name the step.
    void undoAndRedoGiveBackTheFileOfEachStep_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("step");
        QTest::newRow("add") << 0 << u"新增 1 条记录"_s;
        QTest::newRow("modify") << 1 << u"修改 1 条记录"_s;
        QTest::newRow("delete") << 2 << u"删除 3 条记录"_s;
        QTest::newRow("import") << 3 << u"导入2条记录，更新0条"_s;
    }
    void undoAndRedoGiveBackTheFileOfEachStep()
    {
        QFETCH(int, kind);
        QFETCH(QString, step);
        HistoryMainDialog dlg;
        dlg.show();
        QAbstractItemModelTester tester(dlg.m_pModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
        MessageRecorder messages(IDYES);
        FileDialogAnswers files;
        EditorScript script;
        QCOMPARE(dlg.Undo()->text(), u"撤销(&U)");
        QVERIFY(!dlg.Undo()->isEnabled());
        const std::string strBefore = DataFile();
        switch (kind)
        {
        case 0:
            script.Queue(EditorScript::AddRecord(u"2006001"_s));
            dlg.OnNewRecord();
            break;
        case 1:
            dlg.m_lstStudents->setCurrentIndex(dlg.m_lstStudents->model()->index(2, 0));
            script.Queue([](CEditDialog* pEditor) {
                FindById<QLineEdit>(pEditor, 1003)->setText(u"李四"_s);
                EditorScript::Click(pEditor, 1);
            });
            dlg.OnModifyRecord();
            break;
        case 2:
            for (int nRow : {0, 2, 4})
                dlg.m_lstStudents->selectionModel()->select(dlg.m_lstStudents->model()->index(nRow, 0),
                                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
            dlg.OnDeleteRecord();
            break;
        case 3: {
            const QString path = m_school.dir().filePath(u"in.csv"_s);
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            const std::string strCsv = CsvOf({"2008001", "2008002"});
            file.write(strCsv.data(), static_cast<qint64>(strCsv.size()));
            file.close();
            ImportAnswers answers;
            files.QueuePath(path);
            dlg.OnImportCsv();
            break;
        }
        }
        const std::string strAfter = DataFile();
        QVERIFY(strAfter != strBefore);
        QCOMPARE(dlg.Undo()->text(), u"撤销"_s + step + u"(&U)"_s);
        QVERIFY(dlg.Undo()->isEnabled());
        QVERIFY(!dlg.Redo()->isEnabled());

        dlg.Undo()->trigger();
        QCOMPARE(DataFile(), strBefore);
        QCOMPARE(dlg.m_pModel->rowCount(), dlg.Students().GetRowCount());
        QCOMPARE(dlg.Redo()->text(), u"重做"_s + step + u"(&R)"_s);
        QCOMPARE(dlg.Undo()->text(), u"撤销(&U)");

        dlg.Redo()->trigger();
        QCOMPARE(DataFile(), strAfter);
        QCOMPARE(dlg.m_pModel->rowCount(), dlg.Students().GetRowCount());
        QCOMPARE(dlg.Undo()->text(), u"撤销"_s + step + u"(&U)"_s);
        QCOMPARE(messages.count(), kind == 2 || kind == 3 ? 1 : 0); // the delete's question, the import's summary
    }

    // Several steps undone in turn come back to the first file, with the list in step.
    void undoesStepsInTurnBackToTheStart()
    {
        HistoryMainDialog dlg;
        dlg.show();
        QAbstractItemModelTester tester(dlg.m_pModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
        MessageRecorder messages(IDYES);
        EditorScript script;
        const std::string strStart = DataFile();
        script.Queue(EditorScript::AddRecord(u"2006001"_s));
        script.Queue(EditorScript::AddRecord(u"2006002"_s));
        dlg.OnNewRecord();
        dlg.OnSelectAll();
        dlg.OnDeleteRecord();
        QCOMPARE(dlg.m_pModel->rowCount(), 0);
        QCOMPARE(dlg.Undo()->text(), u"撤销删除 7 条记录(&U)");
        for (int i = 0; i < 3; ++i)
        {
            dlg.Undo()->trigger();
            QCOMPARE(dlg.m_pModel->rowCount(), dlg.Students().GetRowCount());
        }
        QCOMPARE(DataFile(), strStart);
        QVERIFY(!dlg.Undo()->isEnabled());
        QCOMPARE(StoredNumbers("10001", "123"), (std::vector<std::string>{"S0", "S1", "S2", "S3", "S4"}));
    }

    void ctrlZAndCtrlYAreTheKeys()
    {
        HistoryMainDialog dlg;
        QCOMPARE(dlg.Undo()->shortcut(), QKeySequence(u"Ctrl+Z"_s));
        QCOMPARE(dlg.Redo()->shortcut(), QKeySequence(u"Ctrl+Y"_s));
        const QList<QAction*> menus = dlg.findChild<QMenuBar*>()->actions();
        QCOMPARE(menus.at(1)->menu()->actions().mid(0, 4),
                 (QList<QAction*>{dlg.Undo(), dlg.Redo(), dlg.findChild<QAction*>(u"historySeparator"_s),
                                  dlg.findChild<QAction*>(u"id57642"_s)}));
        QAction* pRestore = dlg.findChild<QAction*>(u"restoreBackup"_s);
        QCOMPARE(pRestore->text(), u"恢复备份(&B)...");
        const QList<QAction*> file = menus.at(0)->menu()->actions();
        QCOMPARE(file.indexOf(pRestore), file.indexOf(dlg.findChild<QAction*>(u"id57665"_s)) - 2);
    }

    // A save that fails during an undo is reported like any failed save; the table keeps the
    // undone state, which the next save writes.
    void failedSaveDuringUndoIsReported()
    {
        HistoryMainDialog dlg;
        dlg.show();
        MessageRecorder messages(IDYES);
        dlg.m_lstStudents->selectRow(1);
        dlg.OnDeleteRecord();
        const QString path = QString::fromStdString(GetSchoolDatabasePath("10001"));
        messages.clear();
        {
            FaultyFileCalls failing(FaultyFileCalls::Call::Fsync, EIO); // the new file never reaches the disk
            dlg.Undo()->trigger();
        }
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().caption, u"错误");
        QVERIFY2(messages.last().text.startsWith(u"保存数据文件“"_s + path + u"”失败"_s),
                 qPrintable(messages.last().text));
        QCOMPARE(dlg.Students().GetRowCount(), 5);
        QCOMPARE(StoredNumbers("10001", "123"), (std::vector<std::string>{"S0", "S2", "S3", "S4"}));
        dlg.Redo()->trigger();
        QCOMPARE(StoredNumbers("10001", "123"), (std::vector<std::string>{"S0", "S2", "S3", "S4"}));
    }

    // A backup that cannot be made is reported once while it keeps failing; the saves go on.
    void backupFailureIsReportedOnceAndTheSaveGoesOn()
    {
        HistoryMainDialog dlg;
        dlg.show();
        MessageRecorder messages(IDYES);
        QFile blocker(m_school.dir().filePath(u"backup"_s)); // a file where the backup folder belongs
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        for (int nRow : {0, 0})
        {
            dlg.m_lstStudents->selectRow(nRow);
            dlg.OnDeleteRecord();
        }
        QCOMPARE(StoredNumbers("10001", "123"), (std::vector<std::string>{"S2", "S3", "S4"}));
        QCOMPARE(messages.count(), 3); // two questions, one failure
        QCOMPARE(messages.calls().at(1).text,
                 u"备份失败：被覆盖的数据文件没能留作备份（应是文件夹的地方不是文件夹）。\n数据已照常保存。");
        QCOMPARE(messages.calls().at(1).caption, u"提示");
        QVERIFY(blocker.remove());
        dlg.Undo()->trigger();
        QCOMPARE(ListBackups("10001").size(), 1u);
        QCOMPARE(messages.count(), 3);
    }

    // Restore from the dialog: the backup becomes the data file byte for byte, the list shows it,
    // and the restore is a step that can be undone.
    void restoreLoadsTheBackupAndCanBeUndone()
    {
        CMemTable table;
        FillStudents(table, 3, "旧");
        QVERIFY(SaveSchoolDatabase("10001", table, "123")); // the 5-record file becomes a backup
        const std::string strCurrent = DataFile();
        const std::vector<BackupEntry> backups = ListBackups("10001");
        QCOMPARE(backups.size(), 1u);
        HistoryMainDialog dlg;
        dlg.show();
        QAbstractItemModelTester tester(dlg.m_pModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
        MessageRecorder messages(IDYES);
        {
            RestoreScript script(0);
            dlg.OnRestoreBackup();
        }
        QCOMPARE(messages.count(), 2); // the question, then what was restored
        QVERIFY(messages.calls().at(0).text.startsWith(u"用 "_s));
        QVERIFY(messages.calls().at(0).bDefaultNo);
        QCOMPARE(messages.last().text,
                 u"已恢复备份 "_s + QString::fromStdString(backups[0].stamp.strId) + u"，共 5 条记录。"_s);
        QCOMPARE(dlg.m_stcStatus->text(), messages.last().text);
        QCOMPARE(DataFile(), ReadFileBytes(QString::fromStdString(backups[0].strPath)));
        QCOMPARE(dlg.m_pModel->rowCount(), 5);
        QCOMPARE(dlg.m_pModel->index(4, Field::XSBSH).data().toString(), u"S4");
        QCOMPARE(dlg.Undo()->text(), u"撤销恢复备份(&U)");
        dlg.Undo()->trigger();
        QCOMPARE(DataFile(), strCurrent);
        QCOMPARE(dlg.m_pModel->rowCount(), 3);
    }

    void restoreAnsweredNoChangesNothing()
    {
        CMemTable table;
        FillStudents(table, 3);
        QVERIFY(SaveSchoolDatabase("10001", table, "123"));
        const std::string strCurrent = DataFile();
        HistoryMainDialog dlg;
        dlg.show();
        MessageRecorder messages(IDNO);
        {
            RestoreScript script(0);
            dlg.OnRestoreBackup();
        }
        QCOMPARE(messages.count(), 1);
        QCOMPARE(DataFile(), strCurrent);
        QVERIFY(!dlg.Undo()->isEnabled());
    }

  private:
    UiSchoolFixture m_school;
};

QTEST_MAIN(TestMainDialogHistory)
#include "MainDialogHistoryTest.moc"
