#include "ui/SearchInfo.h"

#include "SearchTestSupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSearchInfo : public CSearchTest
{
    Q_OBJECT

  private slots:
    void refusesAnEmptyNumberAndAnEmptyTable_data();
    void refusesAnEmptyNumberAndAnEmptyTable();
    void unknownNumberLeavesTheListEmptyWithoutMessage();
    void searchingTwiceListsTheRecordOnce();
    void secondRecordWithTheNumberIsReportedAndTheLastOneIsModified();
    void changedNumberKeepsItsPlaceAndIsSaved();
    void cancelledEditorChangesNothing();
    void doubleClickWithoutSelectionDoesNothing();
};

void TestSearchInfo::refusesAnEmptyNumberAndAnEmptyTable_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("bStored");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::newRow("empty number") << QString() << true << u"您输入的学号为空!"_s << u"输入提示!"_s;
    QTest::newRow("empty number, empty table") << QString() << false << u"您输入的学号为空!"_s << u"输入提示!"_s;
    QTest::newRow("empty table") << u"2006001"_s << false << u"没有您要查询的学生资料!"_s << u"查询提示"_s;
}

void TestSearchInfo::refusesAnEmptyNumberAndAnEmptyTable()
{
    QFETCH(QString, number);
    QFETCH(bool, bStored);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    if (bStored)
        AddStudent("2006001", "张三");
    MessageRecorder messages;
    CSearchInfo dlg(TestSchool());
    dlg.show();
    Search(dlg, number);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, text);
    QCOMPARE(messages.last().caption, caption);
    QVERIFY(dlg.isVisible());
}

void TestSearchInfo::unknownNumberLeavesTheListEmptyWithoutMessage()
{
    AddStudent("2006001", "张三");
    MessageRecorder messages;
    CSearchInfo dlg(TestSchool());
    dlg.show();
    // The captions stay exactly as the registrars know them, the missing bracket included.
    QCOMPARE(FindById<QPushButton>(&dlg, 1)->text(), u"确认(&O)"_s);
    QCOMPARE(FindById<QPushButton>(&dlg, 2)->text(), u"退出&C)"_s);
    Search(dlg, u"2006001"_s);
    QCOMPARE(List(dlg)->rowCount(), 1);
    Search(dlg, u"2006001 "_s); // numbers compare byte for byte
    QCOMPARE(List(dlg)->rowCount(), 0);
    QCOMPARE(messages.count(), 0);
}

void TestSearchInfo::searchingTwiceListsTheRecordOnce()
{
    AddStudent("2006001", "张三");
    AddStudent("2006002", "李四");
    TestStudents().SetCell(1, Field::YXYX, Gbk("3000以上"));
    MessageRecorder messages;
    CSearchInfo dlg(TestSchool());
    dlg.show();
    Search(dlg, u"2006002"_s);
    Search(dlg, u"2006002"_s);
    QCOMPARE(List(dlg)->rowCount(), 1);
    QCOMPARE(ItemText(List(dlg), 0, Field::XM), u"李四"_s);
    QCOMPARE(ItemText(List(dlg), 0, Field::ZYDM), u"07010100"_s); // codes as stored
    QCOMPARE(ItemText(List(dlg), 0, Field::YXYX), u"3000以上"_s);
    QCOMPARE(messages.count(), 0);
}

void TestSearchInfo::secondRecordWithTheNumberIsReportedAndTheLastOneIsModified()
{
    AddStudent("2006001", "张三");
    AddStudent("2006009", "王五");
    AddStudent("2006001", "李四");
    MessageRecorder messages;
    CSearchInfo dlg(TestSchool());
    dlg.show();
    Search(dlg, u"2006001"_s);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, u"您查询的学生资料已经在列表里存在了！请点击查看学生资料~"_s);
    QCOMPARE(messages.last().caption, u"查询提示"_s);
    QCOMPARE(List(dlg)->rowCount(), 1);
    QCOMPARE(ItemText(List(dlg), 0, Field::XM), u"张三"_s);

    QString shownName;
    bool bAccepted = false;
    WhenEditorOpens([&](QDialog* pEditor) { shownName = FindById<QLineEdit>(pEditor, 1003)->text(); }, &bAccepted);
    DoubleClickItem(List(dlg), 0);
    QVERIFY(bAccepted);
    QCOMPARE(shownName, u"李四"_s); // the last stored record with the number
    QCOMPARE(ItemText(List(dlg), 0, Field::XM), u"李四"_s);
    QCOMPARE(StoredCell(2, Field::XM), Gbk("李四"));
    QCOMPARE(StoredCell(0, Field::XM), Gbk("张三"));
}

void TestSearchInfo::changedNumberKeepsItsPlaceAndIsSaved()
{
    AddStudent("2006001", "张三");
    AddStudent("2006005", "李四");
    MessageRecorder messages;
    CSearchInfo dlg(TestSchool());
    dlg.show();
    Search(dlg, u"2006005"_s);
    bool bAccepted = false;
    WhenEditorOpens([](QDialog* pEditor) { SetEditorNumber(pEditor, u"2006000"_s); }, &bAccepted);
    DoubleClickItem(List(dlg), 0);
    QVERIFY(bAccepted);
    QCOMPARE(List(dlg)->rowCount(), 1);
    QCOMPARE(ItemText(List(dlg), 0, Field::XSBSH), u"2006000"_s);
    QCOMPARE(std::string(TestStudents().GetCell(1, Field::XSBSH)), std::string("2006000"));
    QCOMPARE(StoredCell(1, Field::XSBSH), std::string("2006000"));
    QCOMPARE(StoredCell(1, Field::ZYDM), std::string("07010100")); // untouched fields stored as before

    // The item now leads to the changed record.
    WhenEditorOpens([](QDialog* pEditor) { FindById<QLineEdit>(pEditor, 1003)->setText(u"李四四"_s); }, &bAccepted);
    DoubleClickItem(List(dlg), 0);
    QVERIFY(bAccepted);
    QCOMPARE(StoredCell(1, Field::XM), Gbk("李四四"));
    QCOMPARE(StoredCell(0, Field::XM), Gbk("张三"));
    QCOMPARE(messages.count(), 0);
}

void TestSearchInfo::cancelledEditorChangesNothing()
{
    AddStudent("2006001", "张三");
    CSearchInfo dlg(TestSchool());
    dlg.show();
    Search(dlg, u"2006001"_s);
    bool bOpened = false;
    QTimer::singleShot(0, [&bOpened] {
        if (QWidget* pEditor = QApplication::activeModalWidget())
        {
            bOpened = true;
            pEditor->close();
        }
    });
    DoubleClickItem(List(dlg), 0);
    QVERIFY(bOpened);
    QCOMPARE(ItemText(List(dlg), 0, Field::XM), u"张三"_s);
    QCOMPARE(StoredCell(0, Field::XM), std::string("<missing>")); // nothing was saved
}

void TestSearchInfo::doubleClickWithoutSelectionDoesNothing()
{
    AddStudent("2006001", "张三");
    CSearchInfo dlg(TestSchool());
    dlg.show();
    Search(dlg, u"2006001"_s);
    List(dlg)->clearSelection();
    bool bOpened = false;
    WhenModalOpens([&bOpened](QDialog* pEditor) {
        bOpened = true;
        pEditor->reject();
    });
    QTest::mouseDClick(List(dlg)->viewport(), Qt::LeftButton, Qt::NoModifier,
                       List(dlg)->viewport()->rect().bottomLeft() + QPoint(5, -5));
    QCoreApplication::processEvents();
    QVERIFY(!bOpened);
}

QTEST_MAIN(TestSearchInfo)
#include "SearchInfoTest.moc"
#include "moc_SearchTestSupport.cpp"
