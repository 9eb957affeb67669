#include "EditorScript.h"
#include "LoggedInMainDialog.h"
#include "StudentFixture.h"
#include "UiSchoolFixture.h"

#include <QTableView>
#include <QTest>

#include "ui/MainDialog.h"
#include "ui/Support/StudentListModel.h"

using namespace Qt::StringLiterals;

namespace
{
class RecordsMainDialog : public LoggedInMainDialog
{
  public:
    RecordsMainDialog() : LoggedInMainDialog(u"10001"_s, u"123"_s) {}
};

// A data file of complete records numbered 2005000, 2005001, ...
void WriteRecords(int nRows)
{
    std::vector<std::vector<std::string>> records;
    for (int nRow = 0; nRow < nRows; ++nRow)
        records.push_back(EditorScript::CompleteRecord(std::to_string(2005000 + nRow).c_str()));
    WriteDataFile("10001", "123", records);
}

QString ListCell(RecordsMainDialog& dlg, int nRow, int nCol)
{
    return dlg.m_pModel->index(nRow, nCol).data().toString();
}
} // namespace

class TestMainDialogRecords : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { m_school.initTestCase(); }
    void init() { m_school.init(); }
    void cleanup() { m_school.cleanup(); }

    void addsRecordsUntilTheEditorIsLeft()
    {
        WriteRecords(2);
        RecordsMainDialog dlg;
        dlg.show();
        MessageRecorder messages;
        EditorScript script;
        for (const QString& number : {u"2006001"_s, u"2006002"_s, u"2006003"_s})
            script.Queue(EditorScript::AddRecord(number));
        dlg.OnNewRecord();
        QCOMPARE(script.editorsSeen(), 4); // the fourth was left with "退出添加"
        QCOMPARE(messages.count(), 0);
        QCOMPARE(dlg.m_pModel->rowCount(), 5);
        QCOMPARE(ListCell(dlg, 4, Field::XSBSH), u"2006003");
        QCOMPARE(ListCell(dlg, 4, Field::ZYDM), u"01000000"); // the list shows the stored code
        QCOMPARE(StoredNumbers("10001", "123"),
                 (std::vector<std::string>{"2005000", "2005001", "2006001", "2006002", "2006003"}));
    }

    void modifyWithoutSelectionMarkSaysSo()
    {
        WriteRecords(2);
        RecordsMainDialog dlg;
        dlg.show();
        MessageRecorder messages;
        EditorScript script;
        dlg.OnModifyRecord();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, u"没有指定要修改的项目。");
        QCOMPARE(messages.last().caption, u"提示");
        QCOMPARE(script.editorsSeen(), 0);
    }

    void modifyChangesTheRecordAtTheSelectionMark()
    {
        WriteRecords(3);
        RecordsMainDialog dlg;
        dlg.show();
        dlg.m_lstStudents->setCurrentIndex(dlg.m_lstStudents->model()->index(1, 0));
        dlg.m_lstStudents->clearSelection(); // the mark stays on row 1
        MessageRecorder messages;
        EditorScript script;
        script.Queue([](CEditDialog* pEditor) {
            FindById<QLineEdit>(pEditor, 1003)->setText(u"李四"_s);
            EditorScript::Click(pEditor, 1);
        });
        dlg.OnModifyRecord();
        QCOMPARE(messages.count(), 0);
        QCOMPARE(ListCell(dlg, 1, Field::XM), u"李四");
        QCOMPARE(ListCell(dlg, 0, Field::XM), u"张三");
        CMemTable saved;
        QVERIFY(LoadSchoolDatabase("10001", "123", saved));
        QCOMPARE(std::string(saved.GetCell(1, Field::XM)), Gbk("李四"));
    }

    void doubleClickAddsOnEmptySpaceAndModifiesASelection()
    {
        WriteRecords(2);
        RecordsMainDialog dlg;
        dlg.show();
        dlg.OnShowList();
        QWidget* pViewport = dlg.m_lstStudents->viewport();
        EditorScript script; // every editor is left at once
        QTest::mouseDClick(pViewport, Qt::LeftButton, {}, QPoint(5, pViewport->height() - 5));
        QCOMPARE(script.titles(), QList<QString>({u"添加学生记录"_s}));

        dlg.m_lstStudents->selectRow(0);
        dlg.OnListDblClk();
        QCOMPARE(script.titles().last(), u"修改学生记录");
        QCOMPARE(dlg.m_pModel->rowCount(), 2);
    }

  private:
    UiSchoolFixture m_school;
};

QTEST_MAIN(TestMainDialogRecords)
#include "MainDialogRecordsTest.moc"
