// Both searches opened from the main window: a record changed in a search's list is a change of
// the main window's list and of its history.
#include "SearchTestSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSearchFromMain : public CSearchTest
{
    Q_OBJECT

  private slots:
    void changeShowsInTheMainList_data();
    void changeShowsInTheMainList();
};

void TestSearchFromMain::changeShowsInTheMainList_data()
{
    QTest::addColumn<bool>("bByNumber"); // the search by number, or by major and name
    QTest::addColumn<int>("nEdit");      // the editor's edit the change is typed into
    QTest::addColumn<int>("nField");
    QTest::addColumn<QString>("changed"); // what the second record's field becomes
    QTest::addColumn<QString>("before");  // the second record's field before, the first one's
    QTest::addColumn<QString>("first");
    QTest::newRow("by number") << true << 1000 << int(Field::XSBSH) << u"2006008"_s << u"2006002"_s << u"2006001"_s;
    QTest::newRow("by major and name") << false << 1003 << int(Field::XM) << u"李思"_s << u"李四"_s << u"张三"_s;
}

void TestSearchFromMain::changeShowsInTheMainList()
{
    QFETCH(bool, bByNumber);
    QFETCH(int, nEdit);
    QFETCH(int, nField);
    QFETCH(QString, changed);
    QFETCH(QString, before);
    QFETCH(QString, first);
    AddStudent("2006001", "张三");
    AddStudent("2006002", "李四");
    MessageRecorder messages;
    TestSchoolMainDialog main;
    main.show();
    QSignalSpy changes(MainListModel(main), &QAbstractItemModel::dataChanged);
    bool bAccepted = false;
    WhenModalOpens([&](QDialog* pSearch) {
        CFoundRecordList* pList = nullptr;
        if (auto* pByNumber = qobject_cast<CSearchInfo*>(pSearch))
        {
            Search(*pByNumber, u"2006002"_s);
            pList = List(*pByNumber);
        }
        else if (auto* pByName = qobject_cast<CSearchByName*>(pSearch))
        {
            Choose(*pByName, u"数学类"_s, u"数学与应用数学"_s);
            Search(*pByName, u"李四"_s);
            pList = List(*pByName);
        }
        WhenEditorOpens([&](QDialog* pEditor) { FindById<QLineEdit>(pEditor, nEdit)->setText(changed); }, &bAccepted);
        if (pList)
            DoubleClickItem(pList, 0);
        pSearch->reject();
    });
    if (bByNumber)
        main.OnSearchByNumber();
    else
        main.OnSearchByMajor();
    QVERIFY(bAccepted);
    QVERIFY(NotifiedRow(changes, 1)); // the view repaints the changed record
    QCOMPARE(MainListText(main, 1, nField), changed);
    QCOMPARE(MainListText(main, 0, nField), first);
    QCOMPARE(StoredCell(1, nField), Gbk(changed.toStdString()));
    QCOMPARE(messages.count(), 0);

    // The change is a step of the main window's history like a change made in its own list.
    QAction* pUndo = main.findChild<QAction*>(u"undo"_s);
    QCOMPARE(pUndo->text(), u"撤销修改 1 条记录(&U)"_s);
    pUndo->trigger();
    QCOMPARE(StoredCell(1, nField), Gbk(before.toStdString()));
    QCOMPARE(MainListText(main, 1, nField), before);
}

QTEST_MAIN(TestSearchFromMain)
#include "SearchFromMainTest.moc"
#include "moc_SearchTestSupport.cpp"
