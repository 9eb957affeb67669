// Statistics, printing and PDF files from the main window: the real windows, the preview and the
// print choice answered through their seams, the PDF files read back with pdftotext.
#include "LoggedInMainDialog.h"
#include "StudentFixture.h"
#include "UiSchoolFixture.h"

#include <QAction>
#include <QBarSet>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QHorizontalBarSeries>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include "ui/PrintOptionsDialog.h"
#include "ui/StatsWindow.h"
#include "ui/Support/Seams/PrintPreview.h"

namespace
{
// Four students: numbers 2006001..2006004, sexes 男 女 女 男, educations 本科 本科 硕士 and one code no table has.
void WriteSchool()
{
    const char* sexes[] = {"1", "2", "2", "1"};
    const char* educations[] = {"01", "01", "11", "77"};
    const char* names[] = {"王喆", "李堃", "赵镕", "孙昇"}; // characters GBK has and GB2312 lacks
    std::vector<std::vector<std::string>> records;
    for (int r = 0; r < 4; ++r)
    {
        std::vector<std::string>& record =
            records.emplace_back(TestKit::SampleStudent(std::to_string(2006001 + r), names[r]));
        record[Field::XBDM] = sexes[r];
        record[Field::XLDM] = educations[r];
        for (std::string& value : record)
            value = Gbk(value);
    }
    WriteDataFile("10001", "9", records);
}

// The table's cells, a row per line, cells separated by "|".
QString TableText(QTableWidget* pTable)
{
    QStringList lines;
    for (int r = 0; r < pTable->rowCount(); ++r)
    {
        QStringList cells;
        for (int c = 0; c < pTable->columnCount(); ++c)
            cells << pTable->item(r, c)->text();
        lines << cells.join(u'|');
    }
    return lines.join(u'\n');
}

// Answers the print choice and the preview: the preview's pages go to a PDF file, as a printer would get them.
class PrintAnswers
{
  public:
    PrintAnswers(PrintChoice choice, QString pdfPath)
    {
        SetPrintChoiceHook([choice](PrintChoice& chosen) {
            chosen = choice;
            return true;
        });
        SetPrintPreviewHook([this, pdfPath](const PrintPreviewRequest& request) {
            ++nPreviews;
            request.printer->setOutputFormat(QPrinter::PdfFormat);
            request.printer->setOutputFileName(pdfPath);
            request.paint(request.printer);
            return true;
        });
    }
    ~PrintAnswers()
    {
        SetPrintChoiceHook({});
        SetPrintPreviewHook({});
    }
    int nPreviews = 0;
};

std::string PdfText(const QString& path)
{
    return TestKit::PdfText(path.toStdString());
}
} // namespace

class TestReports : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { m_school.initTestCase(); }

    void init()
    {
        m_school.init();
        WriteSchool();
    }

    void cleanup() { m_school.cleanup(); }

    void menusOfferStatisticsPrintAndPdf()
    {
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show();
        QCOMPARE(dlg.findChild<QAction*>(QStringLiteral("id32792"))->text(), QStringLiteral("打印(&P)...\tCtrl+P"));
        QCOMPARE(dlg.findChild<QAction*>(QStringLiteral("id32793"))->text(), QStringLiteral("导出PDF(&F)..."));
        QCOMPARE(dlg.findChild<QAction*>(QStringLiteral("id32794"))->text(), QStringLiteral("统计(&T)..."));
    }

    void statisticsCountAllOrSelectedRecordsAsTableAndChart()
    {
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show();
        CStatsWindow window(&dlg, dlg.Students(), {0, 3}, "10001");
        auto* pTable = window.findChild<QTableWidget*>(QStringLiteral("counts"));
        QCOMPARE(TableText(pTable), QStringLiteral("性别|人数|百分比\n男|2|50.0%\n女|2|50.0%\n合计|4|100.0%"));

        window.findChild<QComboBox*>(QStringLiteral("byFirst"))->setCurrentIndex(1);  // 学历
        window.findChild<QComboBox*>(QStringLiteral("bySecond"))->setCurrentIndex(1); // 性别
        QCOMPARE(TableText(pTable), QStringLiteral("学历 \\ 性别|男|女|合计|百分比\n"
                                                   "本科生毕业|1|1|2|50.0%\n"
                                                   "硕士生毕业|0|1|1|25.0%\n"
                                                   "（无效代码）|1|0|1|25.0%\n"
                                                   "合计|2|2|4|100.0%"));
        // The cross table is drawn as grouped bars: a set per sex, a bar per education.
        QChart* pChart = window.findChild<QChartView*>(QStringLiteral("chart"))->chart();
        auto* pSeries = qobject_cast<QHorizontalBarSeries*>(pChart->series().constFirst());
        QVERIFY(pSeries);
        QCOMPARE(pSeries->count(), 2);
        QCOMPARE(pSeries->barSets().constFirst()->label(), QStringLiteral("男"));
        QCOMPARE(pSeries->barSets().constFirst()->count(), 3);

        window.findChild<QCheckBox*>(QStringLiteral("selectedOnly"))->setChecked(true);
        QCOMPARE(TableText(pTable), QStringLiteral("学历 \\ 性别|男|合计|百分比\n"
                                                   "本科生毕业|1|1|50.0%\n"
                                                   "（无效代码）|1|1|50.0%\n"
                                                   "合计|2|2|100.0%"));
    }

    void statisticsExportTheTableAndTheChart()
    {
        CMemTable students;
        QVERIFY(LoadSchoolDatabase("10001", "9", students));
        CStatsWindow window(nullptr, students, {}, "10001");
        window.show();
        QVERIFY(!window.findChild<QCheckBox*>(QStringLiteral("selectedOnly"))->isEnabled());
        FileDialogAnswers files;
        MessageRecorder messages;
        files.QueuePath(m_school.dir().filePath(QStringLiteral("stats.csv")));
        files.QueuePath(m_school.dir().filePath(QStringLiteral("stats.xlsx")));
        files.QueuePath(m_school.dir().filePath(QStringLiteral("chart.png")));
        files.QueuePath(m_school.dir().filePath(QStringLiteral("10001.db")));
        auto* pExportTable = window.findChild<QPushButton*>(QStringLiteral("exportTable"));
        QTest::mouseClick(pExportTable, Qt::LeftButton);
        QCOMPARE(Utf8(ReadFileBytes(m_school.dir().filePath(QStringLiteral("stats.csv")))),
                 std::string("性别,人数,百分比\r\n男,2,50.0%\r\n女,2,50.0%\r\n合计,4,100.0%\r\n"));
        QTest::mouseClick(pExportTable, Qt::LeftButton);
        QCOMPARE(ReadFileBytes(m_school.dir().filePath(QStringLiteral("stats.xlsx"))).substr(0, 2), std::string("PK"));
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("exportChart")), Qt::LeftButton);
        QCOMPARE(ReadFileBytes(m_school.dir().filePath(QStringLiteral("chart.png"))).substr(1, 3), std::string("PNG"));
        QCOMPARE(messages.count(), 0);
        // The program's own data file is never an export target.
        const std::string strData = ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db")));
        QTest::mouseClick(pExportTable, Qt::LeftButton);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().caption, QStringLiteral("错误"));
        QCOMPARE(ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db"))), strData);
    }

    void printShowsThePreviewOfTheSelectedStudentsSheetsInListOrder()
    {
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show();
        SelectRows(dlg.m_lstStudents, {3, 1});
        const QString pdf = m_school.dir().filePath(QStringLiteral("printed.pdf"));
        PrintAnswers answers({true, true, false}, pdf);
        dlg.OnPrint();
        QCOMPARE(answers.nPreviews, 1);
        QCOMPARE(TestKit::PdfPageCount(pdf.toStdString()), 2);
        const std::string strText = PdfText(pdf);
        QCOMPARE(TestKit::Occurrences(strText, "本人已核对以上信息无误。本人签字：______ 日期：______"), 2);
        QVERIFY(strText.find("李堃") < strText.find("孙昇"));
        QCOMPARE(strText.find("王喆"), std::string::npos);
    }

    void exportPdfWritesTheListAsTheListShowsIt()
    {
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show();
        const QString pdf = m_school.dir().filePath(QStringLiteral("list.pdf"));
        PrintAnswers answers({false, false, false}, QString());
        FileDialogAnswers files;
        MessageRecorder messages(IDNO);
        files.QueuePath(pdf);
        dlg.OnExportPdf();
        QCOMPARE(answers.nPreviews, 0);
        QCOMPARE(files.requests().constFirst().defaultName, QStringLiteral("学生名单.pdf"));
        QCOMPARE(messages.last().text, QStringLiteral("文件已经生成，是否现在就查看内容。"));
        const std::string strText = PdfText(pdf);
        const int nPages = TestKit::PdfPageCount(pdf.toStdString());
        QVERIFY(nPages >= 2);
        QCOMPARE(TestKit::Occurrences(strText, "院校名称：北京大学"), nPages);
        for (const char* lpcszName : {"王喆", "李堃", "赵镕", "孙昇"})
            QCOMPARE(TestKit::Occurrences(strText, lpcszName), 1);
    }

    void printChoiceOffersTheSelectionAndTwoSheetsAPageOnlyWhereTheyApply()
    {
        CPrintOptionsDialog none(nullptr, QStringLiteral("打印"), 4, 0);
        QCOMPARE(none.windowTitle(), QStringLiteral("打印"));
        QVERIFY(!none.findChild<QRadioButton*>(QStringLiteral("selected"))->isEnabled());
        QVERIFY(!none.findChild<QCheckBox*>(QStringLiteral("twoPerPage"))->isEnabled());
        none.findChild<QRadioButton*>(QStringLiteral("sheets"))->setChecked(true);
        QVERIFY(none.findChild<QRadioButton*>(QStringLiteral("all"))->isChecked());

        CPrintOptionsDialog some(nullptr, QStringLiteral("导出PDF"), 4, 2);
        QCOMPARE(some.findChild<QRadioButton*>(QStringLiteral("selected"))->text(),
                 QStringLiteral("选中的记录（2条）(&S)"));
        some.findChild<QRadioButton*>(QStringLiteral("sheets"))->setChecked(true); // sheets go to the selected students
        some.findChild<QCheckBox*>(QStringLiteral("twoPerPage"))->setChecked(true);
        const PrintChoice choice = some.Choice();
        QVERIFY(choice.bSheets && choice.bSelected && choice.bTwoPerPage);
    }

    void sheetsOfNoRecordsAreRefusedBeforeThePreview()
    {
        const TempProgramDir empty; // a school without records
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show();
        PrintAnswers answers({true, false, false}, empty.filePath(QStringLiteral("none.pdf")));
        MessageRecorder messages;
        dlg.OnPrint();
        QCOMPARE(answers.nPreviews, 0);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, QStringLiteral("没有可以打印核对表的记录。"));
        QCOMPARE(messages.last().caption, QStringLiteral("提示"));
    }

  private:
    UiSchoolFixture m_school;
};

QTEST_MAIN(TestReports)
#include "ReportsTest.moc"
