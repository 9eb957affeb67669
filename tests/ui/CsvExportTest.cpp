// The export never damages what it replaces: a failed write leaves the old file as it was and is
// reported, and targets that are not a plain file of the user's, or are the program's own data
// files, are refused before anything is written.
#include "FaultyFileCalls.h"
#include "LoggedInMainDialog.h"
#include "StudentFixture.h"
#include "UiSchoolFixture.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTest>

#include "ui/Support/Seams/ShellOpen.h"

namespace
{
using Call = FaultyFileCalls::Call;

const QString kOldContent = QStringLiteral("old,content\r\n");

// Counts the desktop's requests to open a file.
class ShellOpenCounter
{
  public:
    ShellOpenCounter()
    {
        SetShellOpenHook([this](const QString&) {
            ++nCalls;
            return 42;
        });
    }
    ~ShellOpenCounter() { SetShellOpenHook({}); }
    int nCalls = 0;
};

// Lowers the process's file-size limit for its life.
class FileSizeLimit
{
  public:
    explicit FileSizeLimit(rlim_t nBytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        const rlimit lowered{nBytes, m_previous.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_previous); }

  private:
    rlimit m_previous{};
};

void WriteText(const QString& path, const QString& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

// The names in the directory that a save's temporary file would have.
QStringList TemporaryFiles(const QString& dir)
{
    return QDir(dir).entryList({QStringLiteral("*.tmp-*")}, QDir::Files | QDir::Hidden | QDir::System);
}
} // namespace

class TestCsvExport : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { m_school.initTestCase(); }

    void init()
    {
        m_school.init();
        WriteDataFile("10001", "9", 40); // a CSV of some 3 KiB: written in one go, well under 16 KiB
    }

    void cleanup() { m_school.cleanup(); }

    void failedExportLeavesTheOldFileAndSaysSo_data()
    {
        QTest::addColumn<Call>("failing");
        QTest::addColumn<int>("nErrno");
        QTest::addColumn<QString>("reason");
        QTest::newRow("file-size limit at the write") << Call::Write << EFBIG << QStringLiteral("文件超过了允许的大小");
        QTest::newRow("disk full at the write") << Call::Write << ENOSPC << QStringLiteral("磁盘空间不足");
        QTest::newRow("write that takes nothing") << Call::Write << 0 << QStringLiteral("写入的字节不完整");
        QTest::newRow("flush to the disk fails") << Call::Fsync << EIO << QStringLiteral("设备出错");
        QTest::newRow("no temporary file allowed") << Call::Open << EACCES << QStringLiteral("没有访问权限");
        QTest::newRow("rename fails") << Call::Rename << EXDEV << QStringLiteral("设备出错");
        QTest::newRow("real file-size limit") << Call::None << 0 << QStringLiteral("文件超过了允许的大小");
    }

    void failedExportLeavesTheOldFileAndSaysSo()
    {
        QFETCH(Call, failing);
        QFETCH(int, nErrno);
        QFETCH(QString, reason);
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show();
        const QString path = m_school.dir().filePath(QStringLiteral("export.csv"));
        WriteText(path, kOldContent);
        MessageRecorder messages;
        FileDialogAnswers files;
        ShellOpenCounter shell;
        files.QueuePath(path);
        {
            FaultyFileCalls calls(failing, nErrno);
            FileSizeLimit limit(failing == Call::None ? 1024 : RLIM_INFINITY);
            dlg.OnExportCsv();
        }
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().caption, QStringLiteral("错误"));
        QCOMPARE(messages.last().text,
                 QStringLiteral("不能写入文件“%1”（%2）。\n文件没有生成；已有的同名文件保持原样。").arg(path, reason));
        QCOMPARE(shell.nCalls, 0);
        QCOMPARE(ReadFileBytes(path), kOldContent.toStdString());
        QCOMPARE(TemporaryFiles(m_school.dir().path()), QStringList());
    }

    void refusesTargetsThatAreNotTheUsersPlainFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason"); // empty: refused as one of the program's own files
        QTest::newRow("the school's data file") << QStringLiteral("10001.db") << QString();
        QTest::newRow("another school's data file") << QStringLiteral("10002.db") << QString();
        QTest::newRow("the school's lock file") << QStringLiteral("10001.lock") << QString();
        QTest::newRow("a backup") << QStringLiteral("backup/10001/10001.db.1") << QString();
        QTest::newRow("a link to the data file") << QStringLiteral("elsewhere/link.csv") << QString();
        QTest::newRow("the data file by a detour") << QStringLiteral("elsewhere/../10001.db") << QString();
        QTest::newRow("a folder") << QStringLiteral("elsewhere") << QStringLiteral("这是一个文件夹");
        QTest::newRow("a FIFO") << QStringLiteral("pipe.csv") << QStringLiteral("不是普通文件（是管道、套接字或设备）");
        QTest::newRow("a dangling link") << QStringLiteral("dangling.csv")
                                         << QStringLiteral("符号链接指向的文件不存在或链接成环");
    }

    void refusesTargetsThatAreNotTheUsersPlainFiles()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show();
        const QDir dir(m_school.dir().path());
        QVERIFY(dir.mkpath(QStringLiteral("backup/10001")) && dir.mkpath(QStringLiteral("elsewhere")));
        WriteText(dir.filePath(QStringLiteral("backup/10001/10001.db.1")), kOldContent);
        WriteText(dir.filePath(QStringLiteral("10002.db")), kOldContent);
        WriteText(dir.filePath(QStringLiteral("10001.lock")), QString());
        QVERIFY(QFile::link(QStringLiteral("../10001.db"), dir.filePath(QStringLiteral("elsewhere/link.csv"))));
        QVERIFY(QFile::link(QStringLiteral("missing.csv"), dir.filePath(QStringLiteral("dangling.csv"))));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.csv"))).constData(), 0644), 0);
        const std::string strDataFile = ReadFileBytes(dir.filePath(QStringLiteral("10001.db")));

        const QString path = dir.filePath(name);
        MessageRecorder messages;
        FileDialogAnswers files;
        ShellOpenCounter shell;
        files.QueuePath(path);
        dlg.OnExportCsv(); // a FIFO that were opened would block here for ever
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().caption, QStringLiteral("错误"));
        const QString expected =
            reason.isEmpty()
                ? QStringLiteral("不能导出到“%1”：这是登记软件自己的数据文件，导出会破坏它。\n请另选一个文件名。")
                      .arg(path)
                : QStringLiteral("不能写入文件“%1”（%2）。\n文件没有生成；已有的同名文件保持原样。").arg(path, reason);
        QCOMPARE(messages.last().text, expected);
        QCOMPARE(shell.nCalls, 0);
        QCOMPARE(ReadFileBytes(dir.filePath(QStringLiteral("10001.db"))), strDataFile);
        QCOMPARE(ReadFileBytes(dir.filePath(QStringLiteral("10002.db"))), kOldContent.toStdString());
        QCOMPARE(ReadFileBytes(dir.filePath(QStringLiteral("backup/10001/10001.db.1"))), kOldContent.toStdString());
        QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("elsewhere/link.csv"))).symLinkTarget(),
                 dir.filePath(QStringLiteral("10001.db")));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("dangling.csv"))).isSymLink());
        QCOMPARE(TemporaryFiles(m_school.dir().path()), QStringList());
    }

    void exportThroughALinkReplacesItsTargetAndKeepsTheLink()
    {
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show();
        const QDir dir(m_school.dir().path());
        QVERIFY(dir.mkpath(QStringLiteral("exports")));
        const QString target = dir.filePath(QStringLiteral("exports/real.csv"));
        const QString link = dir.filePath(QStringLiteral("shortcut.csv"));
        WriteText(target, kOldContent);
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(QFile::link(QStringLiteral("exports/real.csv"), link));
        MessageRecorder messages(IDNO);
        FileDialogAnswers files;
        files.QueuePath(link);
        dlg.OnExportCsv();
        QCOMPARE(messages.last().text, QStringLiteral("文件已经生成，是否现在就查看内容。"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFileInfo(link).symLinkTarget(), target);
        QVERIFY(ReadFileBytes(target).starts_with("XSBSH,YXDM,"));
        QCOMPARE(QFile::permissions(target), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    }

    void importRefusesAFifoAtOnce()
    {
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show();
        const QString path = m_school.dir().filePath(QStringLiteral("pipe.csv"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        const std::string strDataFile = ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db")));
        MessageRecorder messages;
        FileDialogAnswers files;
        files.QueuePath(path);
        dlg.OnImportCsv();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().caption, QStringLiteral("错误"));
        QCOMPARE(messages.last().text,
                 QStringLiteral("不能读取文件“%1”（不是普通文件（是管道、套接字或设备））。").arg(path));
        QCOMPARE(dlg.Students().GetRowCount(), 40);
        QCOMPARE(ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db"))), strDataFile);
    }

  private:
    UiSchoolFixture m_school;
};

QTEST_MAIN(TestCsvExport)
#include "CsvExportTest.moc"
