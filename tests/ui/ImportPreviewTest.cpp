// The desktop import of a registrar's sheet: the column step, the preview before anything is
// stored, the registrar's choice for stored numbers, and the whole import as one undo step.
#include "ImportAnswers.h"
#include "LoggedInMainDialog.h"
#include "SisSheet.h"
#include "StudentFixture.h"
#include "UiSchoolFixture.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTest>

#include "core/DataFunc.h"
#include "ui/ImportColumnsDialog.h"

using namespace Qt::StringLiterals;

namespace
{
class ImportMainDialog : public LoggedInMainDialog
{
  public:
    ImportMainDialog() : LoggedInMainDialog(u"10001"_s, u"123"_s) {}
    QAction* Undo() { return findChild<QAction*>(u"undo"_s); }
};

std::string DataFile()
{
    return ReadFileBytes(QString::fromStdString(GetSchoolDatabasePath("10001")));
}

std::vector<TestKit::Row> StoredRows(const CMemTable& students)
{
    std::vector<TestKit::Row> rows(static_cast<std::size_t>(students.GetRowCount()));
    for (int r = 0; r < students.GetRowCount(); ++r)
    {
        for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
            rows[static_cast<std::size_t>(r)].push_back(students.GetCell(r, c));
    }
    return rows;
}
} // namespace

class TestImportPreview : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { m_school.initTestCase(); }
    void init()
    {
        m_school.init();
        // 20 of the sheet's 100 students are stored already, with an older phone and address.
        std::vector<TestKit::Row> stored;
        for (int n = 5; n <= 100; n += 5)
            stored.push_back(TestKit::SisStudent(n, false));
        WriteDataFile("10001", "123", stored);
        for (int n = 1; n <= 100; ++n)
            m_students.push_back(TestKit::SisStudent(n));
    }
    void cleanup()
    {
        m_students.clear();
        m_school.cleanup();
    }

    // The sheet's own titles are matched to the fields, its extra columns ignored, names stored as
    // codes; the 20 stored students are updated, the 80 others appended, and one undo undoes it all.
    void importsAnInformationSystemSheetThroughTheColumnStep()
    {
        ImportMainDialog dlg;
        dlg.show();
        const std::string strBefore = DataFile();
        const std::vector<TestKit::Row> before = StoredRows(dlg.Students());
        MessageRecorder messages;
        FileDialogAnswers files;
        ImportAnswers answers;
        QString chosenForNumber;
        answers.onColumns = [&](CImportColumnsDialog& step) {
            chosenForNumber = step.findChild<QComboBox*>(u"column_XSBSH"_s)->currentText();
        };
        const QString path = m_school.dir().filePath(u"sis.csv"_s);
        WriteFile(path, TestKit::CsvOfRows(TestKit::SisSheet(m_students)));
        files.QueuePath(path);
        dlg.OnImportCsv();

        QCOMPARE(answers.nColumnSteps, 1);
        QCOMPARE(chosenForNumber, u"第2列：学籍号");
        QCOMPARE(answers.ignoredColumns, QStringList(u"不导入的列：第1列：序号、第5列：身份证号、第7列：班级"_s));
        QCOMPARE(answers.summary, u"从文件第2行至第101行读入100条记录。\n每条记录都通过了检查。\n"
                                  u"学号已存的有20条，更新会改变其中40个字段。");
        QCOMPARE(messages.last().text, u"已导入80条记录，更新20条，跳过0条。");
        std::vector<TestKit::Row> expected;
        for (int n = 5; n <= 100; n += 5)
            expected.push_back(TestKit::SisStudent(n));
        for (int n = 1; n <= 100; ++n)
        {
            if (n % 5 != 0)
                expected.push_back(TestKit::SisStudent(n));
        }
        QCOMPARE(StoredRows(dlg.Students()), expected);
        QCOMPARE(dlg.Undo()->text(), u"撤销导入80条记录，更新20条(&U)");

        dlg.Undo()->trigger();
        QCOMPARE(StoredRows(dlg.Students()), before);
        QCOMPARE(DataFile(), strBefore);

        // The next file with the same header gets the columns chosen for this one.
        files.QueuePath(path);
        answers.onColumns = [&](CImportColumnsDialog& step) {
            chosenForNumber = step.findChild<QComboBox*>(u"column_XSBSH"_s)->currentText();
            step.ChooseColumn(Field::BZ, 6); // 班级 as the remark, this time
        };
        answers.button = u"importCancel"_s;
        dlg.OnImportCsv();
        files.QueuePath(path);
        answers.onColumns = [&](CImportColumnsDialog& step) {
            chosenForNumber = step.findChild<QComboBox*>(u"column_BZ"_s)->currentText();
        };
        dlg.OnImportCsv();
        QCOMPARE(chosenForNumber, u"第7列：班级");
        QCOMPARE(DataFile(), strBefore);
    }

    // A totals row and a bad code are listed in the preview; nothing is stored before the choice,
    // and 只导入通过检查的 leaves them out.
    void listsTotalsRowsAndBadCodesBeforeStoringAnything()
    {
        ImportMainDialog dlg;
        dlg.show();
        const std::string strBefore = DataFile();
        MessageRecorder messages;
        FileDialogAnswers files;
        ImportAnswers answers;
        std::vector<TestKit::Row> sheet = TestKit::SisSheet(m_students);
        sheet[3][3] = Gbk("未知"); // 性别 of the third student
        sheet.push_back(TestKit::Row(sheet[0].size()));
        sheet.back()[0] = Gbk("合计");
        sheet.back()[1] = Gbk("共100人");
        const QString path = m_school.dir().filePath(u"sis.csv"_s);
        WriteFile(path, TestKit::CsvOfRows(sheet));

        answers.button = u"importCancel"_s;
        files.QueuePath(path);
        dlg.OnImportCsv();
        QCOMPARE(answers.failing.size(), 2);
        QCOMPARE(answers.failing[0], u"4 | 2006003 | 张三 |  | 性别：未知");
        QVERIFY2(answers.failing[1].startsWith(u"102 | 共100人 |  | 请选择正确的专业"), qPrintable(answers.failing[1]));
        QCOMPARE(DataFile(), strBefore);
        QCOMPARE(messages.count(), 0);

        answers.button = u"importValid"_s;
        answers.stored = u"storedSkip"_s;
        files.QueuePath(path);
        dlg.OnImportCsv();
        QCOMPARE(messages.last().text, u"已导入79条记录，更新0条，跳过22条。");
        QCOMPARE(dlg.Students().GetRowCount(), 20 + 79);
    }

  private:
    static void WriteFile(const QString& path, const std::string& strBytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(strBytes.data(), static_cast<qint64>(strBytes.size()));
    }

    UiSchoolFixture m_school;
    std::vector<TestKit::Row> m_students;
};

QTEST_MAIN(TestImportPreview)
#include "ImportPreviewTest.moc"
