// What the main window does when a save fails: the message, the change kept in memory, and the
// exit question while the change is unsaved.
#include "LoggedInMainDialog.h"
#include "StudentFixture.h"

#include <QTableView>
#include <QTest>

#include "platform/ProgramDir.h"
#include "ui/Support/StudentListModel.h"

namespace
{
const QString kPlainExitQuestion = QStringLiteral("这将退出登记软件，是否真的要退出吗?");
const QString kUnsavedExitQuestion =
    QStringLiteral("最近的修改没有保存到数据文件（上次保存失败），现在退出会丢失这些修改。\n\n"
                   "是：再保存一次，保存成功后退出\n否：不保存，直接退出（修改将丢失）\n取消：不退出");
} // namespace

class TestSaveFailure : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { LoadSchoolDirectory(); }

    void init()
    {
        m_dir = std::make_unique<TempProgramDir>();
        g_memStudents.Clear();
        WriteDataFile("10001", "9", 3);
    }

    void cleanup() { m_dir.reset(); }

    // Deletes row 0 while the data folder is out of reach: the save fails and the change stays.
    void DeleteWithFailingSave(LoggedInMainDialog& dlg, MessageRecorder& messages)
    {
        SetProgramDirectory(m_dir->filePath(QStringLiteral("missing")).toStdString());
        SelectRows(dlg.m_lstStudents, {0});
        messages.QueueAnswer(IDYES); // the delete question
        dlg.OnDeleteRecord();
        QCOMPARE(messages.last().caption, QStringLiteral("错误"));
        QCOMPARE(dlg.m_pModel->rowCount(), 2);
    }

    void exitQuestionNamesTheUnsavedChangeAndRetriesTheSave()
    {
        const std::string strBefore = ReadFileBytes(m_dir->filePath(QStringLiteral("10001.db")));
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show();
        MessageRecorder messages;
        DeleteWithFailingSave(dlg, messages);

        messages.clear();
        messages.QueueAnswer(IDCANCEL);
        dlg.reject();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, kUnsavedExitQuestion);
        QCOMPARE(messages.last().caption, QStringLiteral("提示"));
        QCOMPARE(messages.last().buttons, MsgButtons::YesNoCancel);
        QVERIFY(dlg.isVisible());

        // Saving again while the folder is still out of reach: the failure is shown, the window stays.
        messages.QueueAnswer(IDYES);
        dlg.reject();
        QCOMPARE(messages.count(), 3);
        QCOMPARE(messages.last().caption, QStringLiteral("错误"));
        QVERIFY(dlg.isVisible());
        QCOMPARE(ReadFileBytes(m_dir->filePath(QStringLiteral("10001.db"))), strBefore);

        // With the folder back, the retry writes the change and the window ends.
        SetProgramDirectory(m_dir->path().toStdString());
        messages.QueueAnswer(IDYES);
        dlg.reject();
        QCOMPARE(messages.count(), 4);
        QCOMPARE(messages.last().text, kUnsavedExitQuestion);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(StoredNumbers("10001", "9"), (std::vector<std::string>{"S1", "S2"}));
    }

    void exitWithoutSavingLeavesTheFileAsItWas()
    {
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show();
        MessageRecorder messages;
        DeleteWithFailingSave(dlg, messages);
        SetProgramDirectory(m_dir->path().toStdString());
        messages.QueueAnswer(IDNO);
        dlg.reject();
        QCOMPARE(messages.last().text, kUnsavedExitQuestion);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(StoredNumbers("10001", "9"), (std::vector<std::string>{"S0", "S1", "S2"}));
    }

    void aLaterSuccessfulSaveBringsBackThePlainQuestion()
    {
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show();
        MessageRecorder messages;
        DeleteWithFailingSave(dlg, messages);
        SetProgramDirectory(m_dir->path().toStdString());
        dlg.m_lstStudents->clearSelection();
        SelectRows(dlg.m_lstStudents, {0});
        messages.QueueAnswer(IDYES);
        dlg.OnDeleteRecord(); // saves both deletes
        QCOMPARE(StoredNumbers("10001", "9"), (std::vector<std::string>{"S2"}));

        messages.QueueAnswer(IDNO);
        dlg.reject();
        QCOMPARE(messages.last().text, kPlainExitQuestion);
        QCOMPARE(messages.last().buttons, MsgButtons::YesNo);
        QVERIFY(messages.last().bDefaultNo);
        QVERIFY(dlg.isVisible());
    }

    void aNewLoginStartsWithNothingUnsaved()
    {
        {
            LoggedInMainDialog first(QStringLiteral("10001"), QStringLiteral("9"));
            first.show();
            MessageRecorder messages;
            DeleteWithFailingSave(first, messages);
            SetProgramDirectory(m_dir->path().toStdString());
        }
        LoggedInMainDialog second(QStringLiteral("10001"), QStringLiteral("9"));
        second.show();
        MessageRecorder messages(IDNO);
        second.reject();
        QCOMPARE(messages.last().text, kPlainExitQuestion);
    }

  private:
    std::unique_ptr<TempProgramDir> m_dir;
};

QTEST_MAIN(TestSaveFailure)
#include "SaveFailureTest.moc"
