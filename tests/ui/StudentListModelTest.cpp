// What the main window tells its list: the model stays consistent through add, delete and import
// (Qt's model tester watches every signal), the view counts the table's rows, and a modified row
// is announced and shown.
#include "ui/Support/StudentListModel.h"

#include "EditorScript.h"
#include "ImportAnswers.h"
#include "SearchTestSupport.h"
#include "StudentFixture.h"
#include "UiSchoolFixture.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include "exchange/CsvFile.h"

using namespace Qt::StringLiterals;

namespace
{
class ModelMainDialog : public TestSchoolMainDialog
{
  public:
    using CMainDialog::m_lstStudents;
    using CMainDialog::m_pModel;
};

void VerifyCounts(ModelMainDialog& dlg)
{
    QCOMPARE(dlg.m_pModel->rowCount(), TestStudents().GetRowCount());
    QCOMPARE(dlg.m_lstStudents->model()->rowCount(), TestStudents().GetRowCount());
}
} // namespace

class TestStudentListModel : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { m_school.initTestCase(); }
    void init() { m_school.init(); }
    void cleanup() { m_school.cleanup(); }

    void staysConsistentThroughAddDeleteAndImport()
    {
        AddStudent("2006001", "张三");
        AddStudent("2006002", "李四");
        ModelMainDialog dlg;
        dlg.show();
        QAbstractItemModelTester sourceTester(dlg.m_pModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester viewTester(dlg.m_lstStudents->model(),
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
        MessageRecorder messages(IDYES);
        dlg.m_lstStudents->sortByColumn(Field::XM, Qt::DescendingOrder); // the sorted view is checked too

        // One record per command, counted after each: a second append would hide a row too many.
        for (const QString& number : {u"2006003"_s, u"2006004"_s})
        {
            EditorScript script;
            script.Queue(EditorScript::AddRecord(number));
            dlg.OnNewRecord();
            VerifyCounts(dlg);
        }
        QCOMPARE(TestStudents().GetRowCount(), 4);

        dlg.m_lstStudents->selectRow(0);
        dlg.m_lstStudents->selectRow(2);
        dlg.OnSelectAll();
        dlg.OnDeleteRecord();
        QCOMPARE(TestStudents().GetRowCount(), 0);
        VerifyCounts(dlg);

        CMemTable imported;
        QVERIFY(CreateStudentTable(imported));
        imported.AddRows(3);
        for (int nRow = 0; nRow < 3; ++nRow)
            imported.SetCell(nRow, Field::XSBSH, "300" + std::to_string(nRow));
        std::string strCsv;
        WriteCsvText(imported, strCsv);
        const QString path = m_school.dir().filePath(u"in.csv"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(strCsv.data(), static_cast<qint64>(strCsv.size()));
        file.close();
        FileDialogAnswers files;
        ImportAnswers answers;
        files.QueuePath(path);
        dlg.OnImportCsv();
        QCOMPARE(messages.last().text, u"已导入3条记录，更新0条，跳过0条。");
        QCOMPARE(TestStudents().GetRowCount(), 3);
        VerifyCounts(dlg);
    }

    void modifiedRowIsAnnouncedAndShown()
    {
        AddStudent("2006001", "张三");
        AddStudent("2006002", "李四");
        ModelMainDialog dlg;
        dlg.show();
        dlg.OnShowList();
        QAbstractItemModel* pView = dlg.m_lstStudents->model();
        QSignalSpy changed(pView, &QAbstractItemModel::dataChanged);
        dlg.m_lstStudents->selectRow(1);
        MessageRecorder messages;
        WhenEditorOpens([](QDialog* pEditor) { FindById<QLineEdit>(pEditor, 1003)->setText(u"王五"_s); });
        dlg.OnModifyRecord();
        QCOMPARE(messages.count(), 0);
        QVERIFY(NotifiedRow(changed, 1));
        QVERIFY(!NotifiedRow(changed, 0));
        QCOMPARE(pView->index(1, Field::XM).data().toString(), u"王五"_s);
        QCOMPARE(pView->index(0, Field::XM).data().toString(), u"张三"_s);
        QCOMPARE(StoredCell(1, Field::XM), Gbk("王五"));
    }

  private:
    UiSchoolFixture m_school{UiSchoolFixture::Table::Empty};
};

QTEST_MAIN(TestStudentListModel)
#include "StudentListModelTest.moc"
