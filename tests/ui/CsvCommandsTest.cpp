// The main window's CSV export and import, checked against the files they write.
#include "ImportAnswers.h"
#include "LoggedInMainDialog.h"
#include "StudentFixture.h"
#include "UiSchoolFixture.h"

#include <sys/stat.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QProgressDialog>
#include <QTableView>
#include <QTimer>
#include <QtTest>

#include "core/DataFunc.h"
#include "core/OpenSchool.h"
#include "exchange/CsvFile.h"
#include "ui/ImportEncodingDialog.h"
#include "ui/MainDialog.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/ProgressWindow.h"
#include "ui/Support/Seams/ShellOpen.h"

using namespace Qt::StringLiterals;

namespace
{
const std::string kCode = kTestCode;
const std::string kPassword = kTestPassword;

// The main window of the test school, logged in already.
class CsvMainDialog : public TestSchoolMainDialog
{
  public:
    int ListRowCount() const { return m_lstStudents->model()->rowCount(); }
};

// Records the paths the desktop is asked to open.
class ShellOpenRecorder
{
  public:
    ShellOpenRecorder()
    {
        SetShellOpenHook([this](const QString& path) {
            paths.append(path);
            return 42;
        });
    }
    ~ShellOpenRecorder() { SetShellOpenHook({}); }
    QStringList paths;
};

// A record whose major and foreign language the checks refuse (address UTF-8 in, GBK stored).
std::vector<std::string> Record(const char* lpcszNumber, const char* lpcszAddress)
{
    return TestKit::StudentRecord()
        .With(Field::XSBSH, lpcszNumber)
        .With(Field::ZYDM, "08060501")
        .With(Field::ZXWYYZDM, "01")
        .With(Field::TXDZ, lpcszAddress)
        .Gbk();
}

void SetUpSchool(const std::vector<std::vector<std::string>>& records)
{
    FillRecords(TestStudents(), records);
    QVERIFY(SaveSchoolDatabase(kCode, TestStudents(), kPassword));
}

// The records of the school's data file.
std::vector<std::vector<std::string>> StoredRecords()
{
    CMemTable table;
    if (!LoadSchoolDatabase(kCode, kPassword, table))
        return {};
    std::vector<std::vector<std::string>> records(table.GetRowCount());
    for (int r = 0; r < table.GetRowCount(); ++r)
    {
        for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
            records[r].push_back(table.GetCell(r, c));
    }
    return records;
}

void WriteFile(const QString& path, const std::string& strBytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(strBytes.data(), static_cast<qint64>(strBytes.size()));
}
} // namespace

class TestCsvCommands : public QObject
{
    Q_OBJECT
  private slots:
    void init() { m_school.init(); }
    void cleanup() { m_school.cleanup(); }
    void exportThenImportAppendsOnlyWhenAsked();
    void cancelledDialogsChangeNothing();
    void reportsFilesThatCannotBeWrittenOrRead();
    void refusedFileLeavesRecordsAndDataFile();
    void importsSpreadsheetUtf8File();
    void asksTheEncodingOfAFileThatReadsBothWays();
    void exportsAndImportsAWorkbook();

  private:
    UiSchoolFixture m_school;
};

void TestCsvCommands::exportThenImportAppendsOnlyWhenAsked()
{
    const auto first = Record("2007001", "北京市海淀区,颐和园路5号"), second = Record("2007002", "上海市");
    SetUpSchool({first, second});
    CsvMainDialog dlg;
    dlg.FillList();
    MessageRecorder messages(IDYES);
    FileDialogAnswers files;
    ShellOpenRecorder shell;
    const QString path = m_school.dir().filePath(QStringLiteral("out.CSV"));

    files.QueuePath(path);
    dlg.OnExportCsv();
    QCOMPARE(files.requests().size(), 1);
    const FileDialogRequest& save = files.requests().constFirst();
    QVERIFY(save.bSave);
    QCOMPARE(save.defaultName, u"10001.CSV");
    QCOMPARE(save.filter, u"Excel Files (*.csv);;Excel 工作簿 (*.xlsx)");
    QCOMPARE(save.defaultSuffix, u"CSV");
    std::string strExpected;
    WriteCsvText(TestStudents(), strExpected);
    QCOMPARE(ReadFileBytes(path), strExpected);
    QVERIFY(strExpected.find(Gbk("\"北京市海淀区,颐和园路5号\"")) != std::string::npos);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, u"文件已经生成，是否现在就查看内容。");
    QCOMPARE(messages.last().caption, u"提示");
    QCOMPARE(messages.last().buttons, MsgButtons::YesNo);
    QCOMPARE(shell.paths, QStringList{path});

    messages.clear();
    ImportAnswers answers;
    files.QueuePath(path);
    dlg.OnImportCsv(); // the numbers are stored already: updated by default, with no field changed
    QVERIFY(!files.requests().constLast().bSave);
    QCOMPARE(files.requests().constLast().filter,
             u"所有能导入的文件 (*.csv *.xlsx *.ods *.xls);;Excel Files (*.csv);;Excel 工作簿 (*.xlsx);;"
             u"OpenDocument 电子表格 (*.ods);;Excel 97-2003 工作簿 (*.xls)");
    QCOMPARE(files.requests().constLast().directory, m_school.dir().path()); // where the export went
    QCOMPARE(answers.summary, u"从文件第2行至第3行读入2条记录。\n通过检查的有0条，未通过的有2条（列在下面）。\n"
                              u"学号已存的有2条，更新会改变其中0个字段。");
    QCOMPARE(answers.failing, QStringList({u"2 | 2007001 | 张三 |  | 专业：08060501；主修外语语种：01"_s,
                                           u"3 | 2007002 | 张三 |  | 专业：08060501；主修外语语种：01"_s}));
    QCOMPARE(messages.last().text, u"已导入0条记录，更新2条，跳过0条。");
    QCOMPARE(StoredRecords(), (std::vector<std::vector<std::string>>{first, second}));

    answers.stored = QStringLiteral("storedAppend"); // as the program always did
    files.QueuePath(path);
    dlg.OnImportCsv();
    QCOMPARE(messages.last().text, u"已导入2条记录，更新0条，跳过0条。");
    QCOMPARE(messages.last().caption, u"提示");
    QCOMPARE(FindById<QLabel>(&dlg, 101)->text(), u"已导入2条记录，更新0条，跳过0条。");
    const std::vector<std::vector<std::string>> doubled = {first, second, first, second};
    QCOMPARE(StoredRecords(), doubled);
    QCOMPARE(TestStudents().GetRowCount(), 4);
    QCOMPARE(dlg.ListRowCount(), 4);

    messages.QueueAnswer(IDNO); // export again, not looking at it
    files.QueuePath(path);
    dlg.OnExportCsv();
    QCOMPARE(shell.paths.size(), 1);
}

void TestCsvCommands::cancelledDialogsChangeNothing()
{
    SetUpSchool({Record("2007001", "上海市")});
    const std::string strDataFile = ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db")));
    CsvMainDialog dlg;
    MessageRecorder messages;
    FileDialogAnswers files; // no path queued: every dialog is cancelled
    dlg.OnExportCsv();
    dlg.OnImportCsv();
    QCOMPARE(files.requests().size(), 2);
    QCOMPARE(messages.count(), 0);
    QCOMPARE(QDir(m_school.dir().path()).entryList(QDir::Files),
             (QStringList{QStringLiteral("10001.db"), QStringLiteral("10001.lock")}));
    QCOMPARE(ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db"))), strDataFile);
}

void TestCsvCommands::reportsFilesThatCannotBeWrittenOrRead()
{
    SetUpSchool({Record("2007001", "上海市")});
    CsvMainDialog dlg;
    MessageRecorder messages;
    FileDialogAnswers files;
    ShellOpenRecorder shell;

    const QString unwritable = m_school.dir().filePath(QStringLiteral("no-such-folder/10001.CSV"));
    files.QueuePath(unwritable);
    dlg.OnExportCsv();
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().caption, u"错误");
    QVERIFY(messages.last().text.contains(unwritable));
    QVERIFY(shell.paths.isEmpty());

    const QString missing = m_school.dir().filePath(QStringLiteral("missing.csv"));
    files.QueuePath(missing);
    dlg.OnImportCsv();
    QCOMPARE(messages.count(), 2);
    QCOMPARE(messages.last().caption, u"错误");
    QVERIFY(messages.last().text.contains(missing));

    const QString pipe = m_school.dir().filePath(QStringLiteral("pipe.xlsx")); // refused at once, not waited on
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    files.QueuePath(pipe);
    dlg.OnImportCsv();
    QCOMPARE(messages.count(), 3);
    QCOMPARE(messages.last().text,
             QStringLiteral("不能读取文件“%1”（不是普通文件（是管道、套接字或设备））。").arg(pipe));
    QCOMPARE(TestStudents().GetRowCount(), 1);
    QCOMPARE(StoredRecords().size(), size_t(1));
}

void TestCsvCommands::refusedFileLeavesRecordsAndDataFile()
{
    SetUpSchool({Record("2007001", "上海市")});
    const std::string strDataFile = ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db")));
    CsvMainDialog dlg;
    dlg.FillList();
    MessageRecorder messages;
    FileDialogAnswers files;
    const QString path = m_school.dir().filePath(QStringLiteral("in.csv"));
    const struct
    {
        std::string bytes;
        QString message;
    } cases[] = {
        {"", QStringLiteral("导入文件必须是CSV格式文件，并且有预定义的字段。")},
        {"XSBSH,YXDM,ZYDM,XM,XBDM,CSNY,XLDM,ZXWYYZDM,BYSJ,SYSZDQDM,WYSPDM,DZXX,ZZMMDM,YXGZDQDM,YXDWXZDM,YXDWHYDM,"
         "YXYX,YXZYLBM,LXDH,SJHM,TXDZ,YZBM,BZ,JICENG,EXTRA\r\n1,2\r\n",
         QStringLiteral("文件第2行有2个值，应与标题行一样是25个。")},
    };
    for (const auto& c : cases)
    {
        WriteFile(path, c.bytes);
        files.QueuePath(path);
        dlg.OnImportCsv();
        QCOMPARE(messages.last().text, c.message);
        QCOMPARE(messages.last().caption, u"文件格式不对");
    }
    QCOMPARE(TestStudents().GetRowCount(), 1);
    QCOMPARE(dlg.ListRowCount(), 1);
    QCOMPARE(ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db"))), strDataFile);
}

void TestCsvCommands::importsSpreadsheetUtf8File()
{
    const auto first = Record("2007001", "上海市");
    SetUpSchool({first});
    CsvMainDialog dlg;
    dlg.FillList();
    MessageRecorder messages;
    FileDialogAnswers files;
    // As a spreadsheet program saves it: UTF-8 with a byte-order mark, LF line ends, the header in
    // another order, a quoted value.
    const std::string strFile =
        "\xEF\xBB\xBF"
        "YXDM,XSBSH,ZYDM,XM,XBDM,CSNY,XLDM,ZXWYYZDM,BYSJ,SYSZDQDM,WYSPDM,DZXX,ZZMMDM,YXGZDQDM,YXDWXZDM,YXDWHYDM,"
        "YXYX,YXZYLBM,LXDH,SJHM,TXDZ,YZBM,BZ,JICENG\n"
        "10001,2007009,08060501,张三,1,1984-07-07,01,01,2006-06-30,110000,4,s1@pku.edu.cn,04,460100,CA,G61,"
        "1000-2000 ,04E,010-62751234,,\"天津市,南开区\",100871,,00\n";
    const QString path = m_school.dir().filePath(QStringLiteral("sheet.csv"));
    WriteFile(path, strFile);
    ImportAnswers answers;
    files.QueuePath(path);
    dlg.OnImportCsv();
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, u"已导入1条记录，更新0条，跳过0条。");
    const std::vector<std::vector<std::string>> expected = {first, Record("2007009", "天津市,南开区")};
    QCOMPARE(StoredRecords(), expected);
    QCOMPARE(dlg.ListRowCount(), 2);
}

void TestCsvCommands::asksTheEncodingOfAFileThatReadsBothWays()
{
    SetUpSchool({});
    CsvMainDialog dlg;
    MessageRecorder messages;
    FileDialogAnswers files;
    std::string strUtf8, strHeader;
    for (const STUDENTFIELD& field : g_studentFields)
        strHeader += (strHeader.empty() ? "" : ",") + std::string(field.lpcszName);
    const std::vector<std::string> record = Record("2007009", "上海市");
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
        strUtf8 += (c ? "," : "") + FromGbk(c == Field::XM ? Gbk("路梅") : record[c]).toStdString();
    const QString path = m_school.dir().filePath(QStringLiteral("plain.csv"));
    WriteFile(path, strHeader + "\r\n" + strUtf8 + "\r\n"); // UTF-8 without a mark
    struct Answer
    {
        std::optional<TextEncoding> encoding;
        int nRows;
    } answers[] = {{std::nullopt, 0}, {TextEncoding::Utf8, 1}};
    for (const Answer& answer : answers)
    {
        QString gbkPreview, utf8Preview;
        std::optional<TextEncoding> preselected;
        SetEncodingQuestionHook([&](CImportEncodingDialog& question) {
            preselected = question.ChosenEncoding();
            gbkPreview = question.Preview(TextEncoding::Gbk);
            utf8Preview = question.Preview(TextEncoding::Utf8);
            return answer.encoding;
        });
        ImportAnswers importAnswers;
        files.QueuePath(path);
        dlg.OnImportCsv();
        SetEncodingQuestionHook({});
        QVERIFY(utf8Preview.contains(QStringLiteral(",路梅,")));
        QVERIFY(utf8Preview.startsWith(u"XSBSH,YXDM"));
        QVERIFY(!gbkPreview.contains(u"路梅"));
        QVERIFY(preselected == TextEncoding::Utf8); // the GBK reading is broken: Enter must not take it
        QCOMPARE(messages.count(), answer.nRows);
        QCOMPARE(static_cast<int>(StoredRecords().size()), answer.nRows);
    }
    std::vector<std::string> expected = record;
    expected[Field::XM] = Gbk("路梅");
    QCOMPARE(StoredRecords().at(0), expected);
}

void TestCsvCommands::exportsAndImportsAWorkbook()
{
    const auto first = Record("20070010010001", "北京市海淀区,颐和园路5号");
    SetUpSchool({first});
    CsvMainDialog dlg;
    MessageRecorder messages(IDNO);
    FileDialogAnswers files;
    const QString path = m_school.dir().filePath(QStringLiteral("out.xlsx"));
    // Long work shows a progress window: shown at once here, and seen by a timer that fires while
    // the work lets it repaint.
    const int nDelay = SetProgressShowDelay(0);
    QStringList progressLabels;
    const auto watchProgress = [&dlg, &progressLabels] {
        QTimer::singleShot(0, &dlg, [&dlg, &progressLabels] {
            if (const auto* pProgress = dlg.findChild<QProgressDialog*>(QStringLiteral("progress")))
                progressLabels << pProgress->labelText();
        });
    };
    watchProgress();
    files.QueuePath(path);
    dlg.OnExportCsv();
    QCOMPARE(messages.last().text, u"文件已经生成，是否现在就查看内容。");
    QVERIFY(ReadFileBytes(path).starts_with("PK"));
    const auto hasNamesSheet = [&path] {
        return ReadFileBytes(path).find("xl/worksheets/sheet2.xml") != std::string::npos;
    };
    QVERIFY(!hasNamesSheet());
    dlg.findChild<QAction*>(QStringLiteral("id32790"))->trigger(); // the list shows names: so does the workbook
    files.QueuePath(path);
    dlg.OnExportCsv();
    QVERIFY(hasNamesSheet());
    messages.clear();
    watchProgress();
    ImportAnswers answers;
    answers.stored = QStringLiteral("storedAppend");
    files.QueuePath(path);
    dlg.OnImportCsv();
    SetProgressShowDelay(nDelay);
    QCOMPARE(progressLabels,
             QStringList({QStringLiteral("正在生成Excel工作簿……"), QStringLiteral("正在读取工作簿……")}));
    QVERIFY(!dlg.findChild<QProgressDialog*>()); // gone with the work
    QCOMPARE(messages.count(), 1);
    const std::vector<std::vector<std::string>> doubled = {first, first};
    QCOMPARE(StoredRecords(), doubled);

    WriteFile(path, "not a workbook");
    files.QueuePath(path);
    dlg.OnImportCsv();
    QCOMPARE(messages.last().caption, u"文件格式不对");
    QVERIFY(messages.last().text.startsWith(u"文件不是有效的Excel工作簿（.xlsx）"));
    QCOMPARE(StoredRecords(), doubled);
}

QTEST_MAIN(TestCsvCommands)
#include "CsvCommandsTest.moc"
