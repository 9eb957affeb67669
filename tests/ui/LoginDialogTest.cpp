#include "ui/LoginDialog.h"

#include "StudentFixture.h"
#include "UiSchoolFixture.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/SchoolBackups.h"
#include "platform/FileCalls.h"

using namespace Qt::StringLiterals;

namespace
{
std::time_t g_tNow = 0;
std::time_t FakeNow()
{
    return g_tNow;
}

std::string ReadBytes(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const std::string& strPath, const std::string& strBytes)
{
    std::ofstream(strPath, std::ios::binary | std::ios::trunc) << strBytes;
}

enum class OddFile
{
    Fifo,
    Folder,
    DanglingLink,
    ReadOnlyFolder
};

// A folder the user may not write: no file can be created in it.
class NoFileCreated : public FileCalls
{
  public:
    int Open(const char* lpcszPath, int nFlags, mode_t mode) override
    {
        if ((nFlags & O_CREAT) == 0)
            return FileCalls::Open(lpcszPath, nFlags, mode);
        errno = EACCES;
        return -1;
    }
};

void FillAndPressOK(CLoginDialog& dlg, const QString& code, const QString& password)
{
    FindById<QLineEdit>(&dlg, 1001)->setText(code);
    FindById<QLineEdit>(&dlg, 1002)->setText(password);
    QTest::mouseClick(FindById<QPushButton>(&dlg, 1), Qt::LeftButton);
}
} // namespace

class TestLoginDialog : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { m_school.initTestCase(); }

    void init()
    {
        g_tNow = 1796871600; // 2026-12-10 11:00:00
        SetBackupClock(FakeNow);
        m_school.init();
    }

    void cleanup()
    {
        SetBackupClock(nullptr);
        m_school.cleanup();
    }

    void refusesWithAMessageAndStaysOpen_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::newRow("no code") << QString() << QStringLiteral("1")
                                 << QStringLiteral("请输入院校代码，不知院校代码可以查询。");
        QTest::newRow("unknown code") << QStringLiteral("99999") << QString()
                                      << QStringLiteral("院校代码不正确，请检查。");
        QTest::newRow("code with a space")
            << QStringLiteral(" 10001") << QString() << QStringLiteral("院校代码不正确，请检查。");
        QTest::newRow("wrong password") << QStringLiteral("10001") << QStringLiteral("124")
                                        << QStringLiteral("密码不正确，请检查。");
        QTest::newRow("empty password for a locked file")
            << QStringLiteral("10001") << QString() << QStringLiteral("密码不正确，请检查。");
        QTest::newRow("unreadable file") << QStringLiteral("10002") << QString()
                                         << QStringLiteral("不能访问该院校的数据库，请检查。数据文件“%1/10002.db”："
                                                           "这是一个文件夹。");
    }

    void refusesWithAMessageAndStaysOpen()
    {
        QFETCH(QString, code);
        QFETCH(QString, password);
        QFETCH(QString, message);
        WriteDataFile("10001", "123", 3);
        QVERIFY(QDir(m_school.dir().path()).mkdir(QStringLiteral("10002.db"))); // a directory cannot be read
        MessageRecorder messages;
        CLoginDialog dlg;
        dlg.show();
        FillAndPressOK(dlg, code, password);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, message.contains(u"%1"_s) ? message.arg(m_school.dir().path()) : message);
        QCOMPARE(messages.last().caption, QStringLiteral("提示"));
        QCOMPARE(messages.last().buttons, MsgButtons::Ok);
        QVERIFY(dlg.isVisible());
        QCOMPARE(FindById<QLineEdit>(&dlg, 1001)->text(), code); // the typed values stay
        QVERIFY(!TestKit::SchoolIsLocked(code.toStdString()));   // a refused login keeps no lock
        QVERIFY(dlg.TakeSchool().Code().empty());                // and opens none
    }

    // A data or lock file that cannot be used is named in the message, with the reason.
    void oddFileIsNamedWithItsReason_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("detail");
        QTest::newRow("FIFO as the data file") << u"10001.db"_s << int(OddFile::Fifo)
                                               << u"数据文件“%1/10001.db”：不是普通文件（是管道、套接字或设备）。"_s;
        QTest::newRow("FIFO as the lock file") << u"10001.lock"_s << int(OddFile::Fifo)
                                               << u"锁文件“%1/10001.lock”：不是普通文件（是管道、套接字或设备）。"_s;
        QTest::newRow("folder as the lock file")
            << u"10001.lock"_s << int(OddFile::Folder) << u"锁文件“%1/10001.lock”：这是一个文件夹。"_s;
        QTest::newRow("lock file linked to nowhere")
            << u"10001.lock"_s << int(OddFile::DanglingLink)
            << u"锁文件“%1/10001.lock”：符号链接指向的文件不存在或链接成环。"_s;
        QTest::newRow("read-only folder")
            << u"10001.lock"_s << int(OddFile::ReadOnlyFolder) << u"锁文件“%1/10001.lock”：没有访问权限。"_s;
    }

    void oddFileIsNamedWithItsReason()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(QString, detail);
        WriteDataFile("10001", "123", 3);
        const std::string strPath = m_school.dir().filePath(name).toStdString();
        QVERIFY(QFile::remove(QString::fromStdString(strPath))); // the save left a data file and a lock file
        if (kind == int(OddFile::Fifo))
            QCOMPARE(::mkfifo(strPath.c_str(), 0600), 0);
        else if (kind == int(OddFile::Folder))
            QVERIFY(QDir().mkdir(QString::fromStdString(strPath)));
        else if (kind == int(OddFile::DanglingLink))
            QCOMPARE(::symlink("gone.lock", strPath.c_str()), 0);
        // The superuser may create files anywhere: the folder refuses through the call seam.
        NoFileCreated readOnlyFolder;
        std::optional<ScopedFileCalls> seam;
        if (kind == int(OddFile::ReadOnlyFolder))
            seam.emplace(readOnlyFolder);
        MessageRecorder messages;
        CLoginDialog dlg;
        dlg.show();
        FillAndPressOK(dlg, u"10001"_s, u"123"_s);
        seam.reset();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, u"不能访问该院校的数据库，请检查。"_s + detail.arg(m_school.dir().path()));
        QVERIFY(dlg.isVisible());
        QVERIFY(!TestKit::SchoolIsLocked("10001"));
        QVERIFY(!QFile::exists(m_school.dir().filePath(u"gone.lock"_s))); // a link to nowhere is never followed
    }

    void firstLoginAsksTwiceAndNotesThePassword()
    {
        MessageRecorder messages;
        PasswordPromptAnswers prompts;
        prompts.QueueAnswer(QStringLiteral("777"));
        CLoginDialog dlg;
        dlg.show();
        FillAndPressOK(dlg, QStringLiteral("10003"), QStringLiteral("777"));
        QCOMPARE(messages.count(), 0);
        QCOMPARE(prompts.calls().size(), 1);
        QCOMPARE(prompts.calls().last().text,
                 QStringLiteral("这是该院校第一次登录，所输入的密码将用来保护数据文件，请再输入一次："));
        QCOMPARE(prompts.calls().last().caption, QStringLiteral("Varnholt - 登录"));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.m_strCode, std::string("10003"));
        QVERIFY(TestKit::SchoolIsLocked("10003"));
        QCOMPARE(dlg.m_strPassword, std::string("777"));
        const COpenSchool school = dlg.TakeSchool();
        QCOMPARE(school.Students().GetRowCount(), 0);
        QCOMPARE(school.Students().GetColCount(), STUDENT_FIELD_COUNT);
        const QString profile = m_school.dir().configFilePath(QStringLiteral("quillmark.ini"));
        QCOMPARE(ReadFileBytes(profile), std::string("[security]\r\n10003=777\r\n"));
    }

    void firstLoginGoesBackToTheLoginUnlessTypedAlike_data()
    {
        QTest::addColumn<std::optional<QString>>("again");
        QTest::addColumn<QString>("message"); // empty: none
        QTest::newRow("typed differently")
            << std::optional<QString>(QStringLiteral("778")) << QStringLiteral("两次输入的密码不一致，请重新输入。");
        QTest::newRow("cancelled") << std::optional<QString>() << QString();
    }

    void firstLoginGoesBackToTheLoginUnlessTypedAlike()
    {
        QFETCH(std::optional<QString>, again);
        QFETCH(QString, message);
        MessageRecorder messages;
        PasswordPromptAnswers prompts;
        prompts.QueueAnswer(again);
        CLoginDialog dlg;
        dlg.show();
        FillAndPressOK(dlg, QStringLiteral("10003"), QStringLiteral("777"));
        QCOMPARE(prompts.calls().size(), 1);
        QCOMPARE(messages.count(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
        {
            QCOMPARE(messages.last().text, message);
            QCOMPARE(messages.last().caption, QStringLiteral("提示"));
            QVERIFY(FindById<QLineEdit>(&dlg, 1002)->text().isEmpty()); // to be typed anew
        }
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(!TestKit::SchoolIsLocked("10003")); // another window may log the school in
        QVERIFY(!QFile::exists(m_school.dir().configFilePath(QStringLiteral("quillmark.ini"))));
        QVERIFY(!QFile::exists(m_school.dir().filePath(QStringLiteral("10003.db"))));

        // Typed alike the next time, the login goes through.
        prompts.QueueAnswer(QStringLiteral("777"));
        FillAndPressOK(dlg, QStringLiteral("10003"), QStringLiteral("777"));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(TestKit::SchoolIsLocked("10003"));
    }

    void opensAFileSavedWithAPasswordAfterFailedTries()
    {
        WriteDataFile("10001", "123", 3);
        MessageRecorder messages;
        PasswordPromptAnswers prompts; // a school with records is never asked twice
        CLoginDialog dlg;
        dlg.show();
        FillAndPressOK(dlg, QStringLiteral("10001"), QStringLiteral("12"));
        FillAndPressOK(dlg, QStringLiteral("10001"), QStringLiteral("1234"));
        QCOMPARE(messages.count(), 2);
        QVERIFY(dlg.isVisible());
        FillAndPressOK(dlg, QStringLiteral("10001"), QStringLiteral("123"));
        QCOMPARE(messages.count(), 2);
        QVERIFY(!dlg.isVisible());
        const COpenSchool school = dlg.TakeSchool();
        QCOMPARE(school.Students().GetRowCount(), 3);
        QCOMPARE(prompts.calls().size(), 0);
        QCOMPARE(std::string(school.Students().GetCell(2, Field::XSBSH)), std::string("S2"));
        QCOMPARE(std::string(school.Students().GetCell(1, Field::XM)), Gbk("学生1"));
        QCOMPARE(dlg.m_strCode, std::string("10001"));
        QVERIFY(TestKit::SchoolIsLocked("10001"));
    }

    // A file cut at a line end, which only the note of its last save shows: open, restore or cancel.
    void changedFileOffersToOpenItRestoreTheNewestBackupOrCancel()
    {
        WriteDataFile("10001", "", 3);
        g_tNow += 60;
        WriteDataFile("10001", "", 4); // plain text: a cut where a line ends is easy to make
        const std::string strPath = m_school.dir().FilePath("10001.db");
        const std::string strFull = ReadBytes(strPath);
        const std::string strCut = strFull.substr(0, strFull.rfind("\r\n", strFull.size() - 3) + 2);
        const std::string strBackup = ReadBytes(ListBackups("10001").front().strPath);
        WriteBytes(strPath, strCut);
        for (int nChoice : {2, 0, 1})
        {
            MessageRecorder messages;
            messages.QueueAnswer(nChoice);
            CLoginDialog dlg;
            dlg.show();
            FillAndPressOK(dlg, QStringLiteral("10001"), QString());
            QCOMPARE(messages.count(), 1);
            QCOMPARE(messages.last().choices, (QStringList{u"打开(&O)"_s, u"恢复最新备份(&R)"_s, u"取消"_s}));
            QVERIFY(messages.last().text.startsWith(
                u"该院校的数据文件与上次保存时记下的大小或校验和不一致，可能被截短或被另一个程序改过，文件保持原样。"_s));
            QVERIFY(messages.last().text.endsWith(u"“打开”照现在的内容打开它；“恢复最新备份”用 2026-12-10 11:01:00 "
                                                  u"的备份替换它（它先留作一个备份）；“取消”不登录。"_s));
            QCOMPARE(dlg.isVisible(), nChoice == 2);
            QCOMPARE(TestKit::SchoolIsLocked("10001"), nChoice != 2);
            QCOMPARE(dlg.TakeSchool().Students().GetRowCount(), nChoice == 2 ? 0 : 3);
            QCOMPARE(ReadBytes(strPath), nChoice == 1 ? strBackup : strCut);
        }
    }

    void editsTakeDigitsOnlyAndMaskThePassword()
    {
        CLoginDialog dlg;
        dlg.show();
        auto* pCode = FindById<QLineEdit>(&dlg, 1001);
        auto* pPassword = FindById<QLineEdit>(&dlg, 1002);
        QTest::keyClicks(pCode, QStringLiteral("10a0 01"));
        QTest::keyClicks(pPassword, QStringLiteral("x12"));
        QCOMPARE(pCode->text(), QStringLiteral("10001"));
        QCOMPARE(pPassword->text(), QStringLiteral("12"));
        QCOMPARE(pPassword->echoMode(), QLineEdit::Password);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Varnholt - 登录"));
        QCOMPARE(FindById<QPushButton>(&dlg, 4)->text(), QStringLiteral("密码设置"));
    }

    void modalRunEndsWithCancel()
    {
        MessageRecorder messages;
        CLoginDialog dlg;
        QTimer::singleShot(0, &dlg, [&dlg] { QTest::mouseClick(FindById<QPushButton>(&dlg, 2), Qt::LeftButton); });
        QCOMPARE(dlg.DoModal(), int(IDCANCEL));
        QCOMPARE(messages.count(), 0);
    }

  private:
    UiSchoolFixture m_school;
};

QTEST_MAIN(TestLoginDialog)
#include "LoginDialogTest.moc"
