// Changing one field of many selected records at once: the dialog with the editor's own controls
// and checks, the preview count, one undo step, and the data file on disk after each.
#include "SearchTestSupport.h"
#include "StudentFixture.h"
#include "UiSchoolFixture.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMenuBar>
#include <QTableView>
#include <QTest>

#include "ui/BatchEditDialog.h"
#include "ui/ByteCounter.h"
#include "ui/DatePicker.h"
#include "ui/Support/GbkText.h"

using namespace Qt::StringLiterals;

namespace
{
class BatchMainDialog : public TestSchoolMainDialog
{
  public:
    using CMainDialog::m_lstStudents;
};

// The data file's records as they are on disk now.
std::vector<std::vector<std::string>> StoredRecords()
{
    CMemTable table;
    if (!LoadSchoolDatabase(kTestCode, kTestPassword, table))
        return {};
    std::vector<std::vector<std::string>> records(static_cast<std::size_t>(table.GetRowCount()));
    for (int nRow = 0; nRow < table.GetRowCount(); ++nRow)
        for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
            records[static_cast<std::size_t>(nRow)].push_back(table.GetCell(nRow, nCol));
    return records;
}

// Selects the list's rows nFirst..nLast (as shown, stored order).
void SelectRange(QTableView* pList, int nFirst, int nLast)
{
    const QAbstractItemModel* pModel = pList->model();
    pList->selectionModel()->select(QItemSelection(pModel->index(nFirst, 0), pModel->index(nLast, 0)),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QString Preview(QDialog* pDialog)
{
    return pDialog->findChild<QLabel*>(u"batchPreview"_s)->text();
}
} // namespace

class TestBatchEdit : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { m_school.initTestCase(); }
    void init() { m_school.init(); }
    void cleanup() { m_school.cleanup(); }

    void graduationDateOfAThousandSelectedRecordsAndItsUndoAreRightOnDisk()
    {
        for (int i = 0; i < 1200; ++i)
            AddStudent(std::to_string(2006000 + i).c_str(), "张三");
        TestStudents().SetCell(5, Field::BYSJ, "2007-06-30"); // holds the new value already
        QVERIFY(SaveSchoolDatabase(kTestCode, TestStudents(), kTestPassword));
        const auto before = StoredRecords();
        BatchMainDialog dlg;
        dlg.show();
        SelectRange(dlg.m_lstStudents, 0, 999);
        MessageRecorder messages;
        QString preview;
        WhenModalOpens([&preview](QDialog* pDialog) {
            auto* pBatch = qobject_cast<CBatchEditDialog*>(pDialog);
            QVERIFY(pBatch);
            pBatch->SelectField(Field::BYSJ);
            auto* pPicker = pBatch->findChild<CDatePicker*>(u"batchValue"_s); // the editor's own picker
            QVERIFY(pPicker);
            pPicker->setDate(QDate(2007, 6, 30));
            preview = Preview(pBatch);
            FindById<QPushButton>(pBatch, 1)->click();
            if (pBatch->isVisible())
                pBatch->reject();
        });
        dlg.findChild<QAction*>(u"id32810"_s)->trigger(); // 编辑 → 批量修改选中记录...
        QCOMPARE(messages.count(), 0);
        QCOMPARE(preview, u"将修改999条记录，1条记录已是这个值。"_s);

        auto after = StoredRecords();
        QCOMPARE(after.size(), before.size());
        for (std::size_t i = 0; i < after.size(); ++i)
        {
            auto expected = before[i];
            if (i < 1000)
                expected[Field::BYSJ] = "2007-06-30";
            QCOMPARE(after[i], expected);
        }
        QAction* pUndo = dlg.findChild<QAction*>(u"undo"_s);
        QCOMPARE(pUndo->text(), u"撤销批量修改 999 条记录(&U)"_s);
        pUndo->trigger();
        QVERIFY(StoredRecords() == before);
        QCOMPARE(dlg.m_lstStudents->model()->index(0, Field::BYSJ).data().toString(), u"2006-06-30"_s);
        dlg.findChild<QAction*>(u"redo"_s)->trigger();
        QVERIFY(StoredRecords() == after);
    }

    void valueIsChosenWithTheEditorsControlsAndChecked()
    {
        AddStudent("2006001", "张三");
        AddStudent("2006002", "李四");
        const std::vector<int> rows = {0, 1};
        MessageRecorder messages;
        CBatchEditDialog dlg(TestStudents(), rows);
        dlg.show();

        // The major: the category list first, its cascade fills the majors.
        dlg.SelectField(Field::ZYDM);
        auto* pCategory = dlg.findChild<QComboBox*>(u"batchFilter"_s);
        auto* pMajor = dlg.findChild<QComboBox*>(u"batchValue"_s);
        QVERIFY(pCategory && pMajor && !pMajor->isEditable());
        const int nCategory = pCategory->findText(u"数学类"_s);
        QVERIFY(nCategory > 0);
        pCategory->setCurrentIndex(nCategory);
        emit pCategory->activated(nCategory);
        QVERIFY(pMajor->count() > 0);
        for (int i = 0; i < pMajor->count(); ++i)
            QVERIFY2(LookupFieldCode(GbkLiteral(pMajor->itemText(i)), "ZYDM").starts_with("0701"),
                     qPrintable(pMajor->itemText(i)));

        // A text field: the edit with its byte limit and counter; the editor's check for it.
        dlg.SelectField(Field::YZBM);
        QVERIFY(!dlg.findChild<QComboBox*>(u"batchFilter"_s));
        auto* pPostal = dlg.findChild<QLineEdit*>(u"batchValue"_s);
        QTest::keyClicks(pPostal, u"12a34567"_s); // digits only, six at most
        QCOMPARE(pPostal->text(), u"123456"_s);
        QCOMPARE(dlg.findChild<CByteCounter*>(u"batchValueCount"_s)->text(), u"6/6"_s);
        pPostal->setText(u"12345"_s);
        QCOMPARE(Preview(&dlg), u"将修改2条记录，0条记录已是这个值。"_s);
        FindById<QPushButton>(&dlg, 1)->click();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, u"您输入的邮政编码位数不对，邮件编码规定是六位数！"_s);
        QCOMPARE(messages.last().caption, u"帮助信息"_s);
        QVERIFY(dlg.isVisible());

        // A value every selected record holds already changes nothing.
        pPostal->setText(u"100871"_s);
        QCOMPARE(Preview(&dlg), u"将修改0条记录，2条记录已是这个值。"_s);
        FindById<QPushButton>(&dlg, 1)->click();
        QCOMPARE(messages.last().text, u"选中的记录都已是这个值，不需要修改。"_s);
        QVERIFY(dlg.isVisible());

        // The phones: one of the two must stay; these records have no mobile number.
        dlg.SelectField(Field::LXDH);
        FindById<QPushButton>(&dlg, 1)->click();
        QCOMPARE(messages.last().text, u"手机号码和联系电话至少必须填写一个。"_s);

        dlg.SelectField(Field::SJHM);
        dlg.findChild<QLineEdit*>(u"batchValue"_s)->setText(u"13512345678"_s);
        FindById<QPushButton>(&dlg, 1)->click();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.GetChange().nField, int(Field::SJHM));
        QCOMPARE(dlg.GetChange().strValue, std::string("13512345678"));
        QCOMPARE(TestStudents().GetCell(0, Field::SJHM), std::string()); // the caller applies it
    }

    void withoutASelectionNothingOpens()
    {
        AddStudent("2006001", "张三");
        BatchMainDialog dlg;
        dlg.show();
        MessageRecorder messages;
        dlg.OnBatchModify();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, u"没有选中要修改的记录。"_s);
        QCOMPARE(messages.last().caption, u"提示"_s);
        const QList<QAction*> edit = dlg.findChild<QMenuBar*>()->actions().at(1)->menu()->actions();
        QCOMPARE(edit.last()->text(), u"批量修改选中记录(&B)..."_s);
    }

  private:
    UiSchoolFixture m_school{UiSchoolFixture::Table::Empty};
};

QTEST_MAIN(TestBatchEdit)
#include "BatchEditTest.moc"
