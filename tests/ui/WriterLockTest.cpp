// One writer per school on the desktop: the login holds the school's writer lock until the window
// ends, a second writer is refused at once, and a save never overwrites a file another program put
// in place of the one loaded.
#include "LoggedInMainDialog.h"
#include "StudentFixture.h"
#include "UiSchoolFixture.h"

#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include "core/SchoolPaths.h"
#include "platform/FileLock.h"
#include "platform/LastError.h"
#include "ui/LoginDialog.h"
#include "ui/Support/SaveStudents.h"
#include "ui/Support/StudentListModel.h"

namespace
{
const QString kLocked = QStringLiteral("另一个程序正在修改该院校的数据，请等它结束后再试。");

void FillAndPressOK(CLoginDialog& dlg, const QString& code, const QString& password)
{
    FindById<QLineEdit>(&dlg, 1001)->setText(code);
    FindById<QLineEdit>(&dlg, 1002)->setText(password);
    QTest::mouseClick(FindById<QPushButton>(&dlg, 1), Qt::LeftButton);
}

// Whether some writer holds the school's lock now (probed the way another program would).
bool IsSchoolLocked()
{
    CFileLock probe;
    return probe.TryLock(GetSchoolLockPath("10001")) == ERROR_LOCK_VIOLATION;
}

// Another program (a child process) holding the school's writer lock until Release.
class OtherProgramHoldingTheLock
{
  public:
    OtherProgramHoldingTheLock()
    {
        int fds[2][2];
        QVERIFY(::pipe(fds[0]) == 0 && ::pipe(fds[1]) == 0);
        m_pid = ::fork();
        if (m_pid == 0)
        {
            ::close(fds[0][0]);
            ::close(fds[1][1]); // else the release pipe never reaches its end
            CFileLock lock;
            const char ready = lock.TryLock(GetSchoolLockPath("10001")) == ERROR_SUCCESS ? '1' : '0';
            (void)!::write(fds[0][1], &ready, 1);
            char release = 0;
            (void)!::read(fds[1][0], &release, 1); // until the parent says so
            ::_exit(0);
        }
        ::close(fds[0][1]);
        ::close(fds[1][0]);
        m_release = fds[1][1];
        char ready = 0;
        QCOMPARE(::read(fds[0][0], &ready, 1), ssize_t(1));
        ::close(fds[0][0]);
        QCOMPARE(ready, '1');
    }
    ~OtherProgramHoldingTheLock() { Release(); }
    void Release()
    {
        if (m_pid <= 0)
            return;
        ::close(m_release);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

  private:
    pid_t m_pid = -1;
    int m_release = -1;
};
} // namespace

class TestWriterLock : public QObject
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

    void loginHoldsTheSchoolUntilTheWindowEnds()
    {
        {
            LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
            dlg.show();
            QCOMPARE(dlg.m_pModel->rowCount(), 3);
            QVERIFY(IsSchoolLocked());
        }
        QVERIFY(!IsSchoolLocked());
    }

    void loginIsRefusedWhileAnotherProgramWrites()
    {
        const std::string strBefore = ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db")));
        OtherProgramHoldingTheLock other;
        MessageRecorder messages;
        CLoginDialog dlg;
        dlg.show();
        FillAndPressOK(dlg, QStringLiteral("10001"), QStringLiteral("9"));
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, kLocked);
        QVERIFY(dlg.isVisible());

        other.Release(); // the other program ends: the same dialog logs in
        FillAndPressOK(dlg, QStringLiteral("10001"), QStringLiteral("9"));
        QCOMPARE(messages.count(), 1);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.TakeSchool().Students().GetRowCount(), 3);
        QCOMPARE(ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db"))), strBefore);
    }

    void refusedFileLeavesTheSchoolFree_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("nCutBytes");
        QTest::addColumn<QString>("message");
        // A password that unscrambles the magic alike (its first 6 bytes are the same) and garbles the rest.
        QTest::newRow("password differing in its last byte")
            << QStringLiteral("20240602") << 0 << QStringLiteral("密码不正确，请检查。");
        QTest::newRow("file cut short")
            << QStringLiteral("20240601") << 7
            << QStringLiteral("该院校的数据文件已损坏，没有打开，文件保持原样。备份在“%1/backup/10001/”中。");
    }

    void refusedFileLeavesTheSchoolFree()
    {
        QFETCH(QString, password);
        QFETCH(int, nCutBytes);
        QFETCH(QString, message);
        WriteDataFile("10001", "20240601", 50);
        const QString path = m_school.dir().filePath(QStringLiteral("10001.db"));
        std::string strFile = ReadFileBytes(path);
        strFile.resize(strFile.size() - static_cast<size_t>(nCutBytes));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(strFile.data(), static_cast<qint64>(strFile.size()));
        file.close();
        MessageRecorder messages;
        CLoginDialog dlg;
        dlg.show();
        FillAndPressOK(dlg, QStringLiteral("10001"), password);
        QCOMPARE(messages.count(), 1);
        // A damaged file's message goes on to name the newest backup when there is one.
        QVERIFY2(
            messages.last().text.startsWith(message.contains(u"%1") ? message.arg(m_school.dir().path()) : message),
            qPrintable(messages.last().text));
        QCOMPARE(messages.last().caption, QStringLiteral("提示"));
        QVERIFY(dlg.isVisible());
        QCOMPARE(ReadFileBytes(path), strFile);
        QVERIFY(!IsSchoolLocked());
    }

    void saveRefusesAFileAnotherProgramPutInPlace()
    {
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show();
        // A program that ignores the lock replaces the file: the same records, a new file.
        const QString path = m_school.dir().filePath(QStringLiteral("10001.db"));
        const std::string strOther = ReadFileBytes(path);
        QFile::remove(path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(strOther.data(), static_cast<qint64>(strOther.size()));
        file.close();

        MessageRecorder messages;
        SelectRows(dlg.m_lstStudents, {0});
        messages.QueueAnswer(IDYES);
        dlg.OnDeleteRecord();
        QCOMPARE(messages.count(), 2);
        QCOMPARE(messages.last().caption, QStringLiteral("错误"));
        QCOMPARE(messages.last().text,
                 QStringLiteral("保存数据文件“%1”失败（文件已被另一个程序修改）。\n"
                                "为了不覆盖另一个程序写入的内容，这次没有保存。刚才的修改仍保留在程序中，"
                                "可以先用“导出Excel文件”把全部记录另存一份，然后退出并重新登录。")
                     .arg(path));
        QCOMPARE(ReadFileBytes(path), strOther);
        QCOMPARE(dlg.m_pModel->rowCount(), 2); // the change stays in memory
        QVERIFY(dlg.m_school.HasUnsavedChange());
    }

  private:
    UiSchoolFixture m_school;
};

QTEST_MAIN(TestWriterLock)
#include "WriterLockTest.moc"
