// What the main window does when a save fails: the message, the change kept in memory, and the
// exit question while the change is unsaved.
#include "FaultyFileCalls.h"
#include "LoggedInMainDialog.h"
#include "StudentFixture.h"
#include "UiSchoolFixture.h"

#include <functional>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTableView>
#include <QTest>

#include "core/OpenSchool.h"
#include "platform/ProgramDir.h"
#include "ui/Support/SaveStudents.h"
#include "ui/Support/StudentListModel.h"

namespace
{
const QString kPlainExitQuestion = QStringLiteral("这将退出登记软件，是否真的要退出吗?");
const QString kUnsavedExitQuestion =
    QStringLiteral("最近的修改没有保存到数据文件（上次保存失败），现在退出会丢失这些修改。\n\n"
                   "是：再保存一次，保存成功后退出\n否：不保存，直接退出（修改将丢失）\n取消：不退出");
const QString kKeptTail = QStringLiteral("刚才的修改仍保留在程序中，下次保存成功时会一并写入。");

using Call = FaultyFileCalls::Call;

// One way a save fails: what is done to the data folder (relative paths in it) or which system call
// fails, and the reason the message must give.
struct SaveFault
{
    const char* lpcszName;
    std::function<void(const QDir&)> plant;
    Call failing;
    int nErrno;
    QString reason;
};

// The file's bytes; nothing for what is not a regular file (a FIFO would block the read).
std::string RegularFileBytes(const QString& path)
{
    return QFileInfo(path).isFile() && !QFileInfo(path).isSymLink() ? ReadFileBytes(path) : std::string("<none>");
}

void Plant(bool bDone)
{
    QVERIFY(bDone);
}

const std::vector<SaveFault>& SaveFaults()
{
    static const std::vector<SaveFault> faults = {
        {"a folder named like the file",
         [](const QDir& dir) {
             QFile::remove(dir.filePath(QStringLiteral("10001.db")));
             Plant(dir.mkdir(QStringLiteral("10001.db")));
         },
         Call::None, 0, QStringLiteral("这是一个文件夹")},
        {"a read-only file",
         [](const QDir& dir) {
             Plant(QFile::setPermissions(dir.filePath(QStringLiteral("10001.db")), QFile::ReadOwner));
         },
         Call::None, 0, QStringLiteral("文件是只读的")},
        {"a FIFO named like the file",
         [](const QDir& dir) {
             QFile::remove(dir.filePath(QStringLiteral("10001.db")));
             Plant(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("10001.db"))).constData(), 0600) == 0);
         },
         Call::None, 0, QStringLiteral("不是普通文件（是管道、套接字或设备）")},
        {"a link to nothing",
         [](const QDir& dir) {
             QFile::remove(dir.filePath(QStringLiteral("10001.db")));
             Plant(QFile::link(QStringLiteral("gone.db"), dir.filePath(QStringLiteral("10001.db"))));
         },
         Call::None, 0, QStringLiteral("符号链接指向的文件不存在或链接成环")},
        {"no permission to make a file", {}, Call::Open, EACCES, QStringLiteral("没有访问权限")},
        {"no memory for a file", {}, Call::Open, ENOMEM, QStringLiteral("路径太长或内存不足")},
        {"a name too long", {}, Call::Open, ENAMETOOLONG, QStringLiteral("路径太长")},
        {"a disk full", {}, Call::Write, ENOSPC, QStringLiteral("磁盘空间不足")},
        {"a file-size limit", {}, Call::Write, EFBIG, QStringLiteral("文件超过了允许的大小")},
        {"a write that takes nothing", {}, Call::Write, 0, QStringLiteral("写入的字节不完整")},
        {"a flush that fails", {}, Call::Fsync, EIO, QStringLiteral("设备出错")},
    };
    return faults;
}
} // namespace

class TestSaveFailure : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { m_school.initTestCase(); }

    void init()
    {
        m_school.init();
        WriteDataFile("10001", "9", 3);
    }

    void cleanup() { m_school.cleanup(); }

    // Deletes row 0 while the data folder is out of reach: the save fails and the change stays.
    void DeleteWithFailingSave(LoggedInMainDialog& dlg, MessageRecorder& messages)
    {
        SetProgramDirectory(m_school.dir().filePath(QStringLiteral("missing")).toStdString());
        SelectRows(dlg.m_lstStudents, {0});
        messages.QueueAnswer(IDYES); // the delete question
        dlg.OnDeleteRecord();
        QCOMPARE(messages.last().caption, QStringLiteral("错误"));
        QCOMPARE(dlg.m_pModel->rowCount(), 2);
    }

    void failedSaveNamesTheFileAndTheReason_data()
    {
        QTest::addColumn<int>("nFault");
        for (int i = 0; i < static_cast<int>(SaveFaults().size()); ++i)
            QTest::newRow(SaveFaults()[static_cast<size_t>(i)].lpcszName) << i;
    }

    void failedSaveNamesTheFileAndTheReason()
    {
        QFETCH(int, nFault);
        const SaveFault& fault = SaveFaults()[static_cast<size_t>(nFault)];
        const QDir dir(m_school.dir().path());
        if (fault.plant)
            fault.plant(dir);
        const std::string strBefore = RegularFileBytes(dir.filePath(QStringLiteral("10001.db")));
        MessageRecorder messages;
        COpenSchool school("10001", "9");
        FillStudents(school.Students(), 5);
        {
            FaultyFileCalls calls(fault.failing, fault.nErrno);
            QVERIFY(!SaveStudentsOrReport(nullptr, school));
        }
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().caption, QStringLiteral("错误"));
        QCOMPARE(messages.last().icon, MsgIcon::Error);
        QCOMPARE(messages.last().text, QStringLiteral("保存数据文件“%1”失败（%2）。\n")
                                               .arg(dir.filePath(QStringLiteral("10001.db")), fault.reason) +
                                           kKeptTail);
        QVERIFY(school.HasUnsavedChange());
        QCOMPARE(RegularFileBytes(dir.filePath(QStringLiteral("10001.db"))), strBefore);
        QCOMPARE(dir.entryList({QStringLiteral("*.tmp-*")}, QDir::AllEntries | QDir::System), QStringList());
    }

    // The message names the whole path also where the path is too long or the folder is missing.
    void failedSaveNamesTheWholePathWhenThereIsNoFileToOpen_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << QStringLiteral("missing") << QStringLiteral("文件夹不存在");
        QTest::newRow("path too long") << QStringLiteral("x").repeated(255) << QStringLiteral("路径太长或内存不足");
    }

    void failedSaveNamesTheWholePathWhenThereIsNoFileToOpen()
    {
        QFETCH(QString, folder);
        QFETCH(QString, reason);
        const QString dir = m_school.dir().filePath(folder);
        SetProgramDirectory(QFile::encodeName(dir).toStdString());
        MessageRecorder messages;
        COpenSchool school("10001", "9");
        FillStudents(school.Students(), 1);
        QVERIFY(!SaveStudentsOrReport(nullptr, school));
        QCOMPARE(messages.last().text,
                 QStringLiteral("保存数据文件“%1/10001.db”失败（%2）。\n").arg(dir, reason) + kKeptTail);
    }

    void exitQuestionNamesTheUnsavedChangeAndRetriesTheSave()
    {
        const std::string strBefore = ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db")));
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
        QCOMPARE(ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db"))), strBefore);

        // With the folder back, the retry writes the change and the window ends.
        SetProgramDirectory(m_school.dir().path().toStdString());
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
        SetProgramDirectory(m_school.dir().path().toStdString());
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
        SetProgramDirectory(m_school.dir().path().toStdString());
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
            SetProgramDirectory(m_school.dir().path().toStdString());
        }
        LoggedInMainDialog second(QStringLiteral("10001"), QStringLiteral("9"));
        second.show();
        MessageRecorder messages(IDNO);
        second.reject();
        QCOMPARE(messages.last().text, kPlainExitQuestion);
    }

  private:
    UiSchoolFixture m_school;
};

QTEST_MAIN(TestSaveFailure)
#include "SaveFailureTest.moc"
