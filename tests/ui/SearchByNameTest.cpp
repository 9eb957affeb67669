#include "ui/SearchByName.h"

#include "SearchTestSupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSearchByName : public CSearchTest
{
    Q_OBJECT

  private slots:
    void opensWithTheFirstCategoryAndItsOwnRow();
    void categoryRefillsTheMajors();
    void maximisedWindowStretchesTheListAndMovesTheButtons();
    void checksRunInOrder_data();
    void checksRunInOrder();
    void findsByExactNameAndMajorCode_data();
    void findsByExactNameAndMajorCode();
    void changedRecordStaysListedAndIsSaved();
};

void TestSearchByName::opensWithTheFirstCategoryAndItsOwnRow()
{
    CSearchByName dlg(TestSchool());
    dlg.show();
    QCOMPARE(Categories(dlg)->count(), 88);
    QCOMPARE(Categories(dlg)->currentText(), u"哲学类"_s);
    QCOMPARE(Majors(dlg)->currentText(), u"哲学类"_s);
    QCOMPARE(Majors(dlg)->itemText(1), u"哲学"_s);
    // The captions stay exactly as the registrars know them, the odd mnemonic included.
    QCOMPARE(FindById<QPushButton>(&dlg, 1)->text(), u"确认(&)"_s);
    QCOMPARE(FindById<QPushButton>(&dlg, 2)->text(), u"退出(&C)"_s);
}

void TestSearchByName::categoryRefillsTheMajors()
{
    CSearchByName dlg(TestSchool());
    dlg.show();
    Choose(dlg, u"数学类"_s, u"数学类"_s);
    QCOMPARE(Majors(dlg)->count(), 7);
    QCOMPARE(Majors(dlg)->currentIndex(), 0);
    QCOMPARE(Majors(dlg)->itemText(1), u"数学与应用数学"_s);
}

void TestSearchByName::maximisedWindowStretchesTheListAndMovesTheButtons()
{
    CSearchByName dlg(TestSchool());
    const QSize templateSize = dlg.size();
    const QRect list = List(dlg)->geometry();
    const QRect exit = FindById<QPushButton>(&dlg, 2)->geometry();
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QVERIFY(dlg.isMaximized());
    const QSize grown = dlg.size() - templateSize;
    QVERIFY(grown.width() > 0 && grown.height() > 0);
    QCOMPARE(FindById<QPushButton>(&dlg, 2)->geometry(), exit.translated(grown.width(), grown.height()));
    QCOMPARE(List(dlg)->geometry(), list.adjusted(0, 0, grown.width(), grown.height()));
    QCOMPARE(FindById<QLineEdit>(&dlg, 1031)->pos(), QPoint(140, 52)); // the fields at the top stay
}

void TestSearchByName::checksRunInOrder_data()
{
    QTest::addColumn<bool>("bCategory"); // a category is chosen
    QTest::addColumn<bool>("bMajors");   // the majors were refilled after dropping the category
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("bStored");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    const QString noMajor = u"请选择正确的专业，如果觉得可选项多，可输关键字进行快选，比如：“数学类”的输入“数”。"_s;
    QTest::newRow("no major before no name") << false << true << QString() << true << noMajor << u"帮助信息"_s;
    QTest::newRow("no name") << true << true << QString() << true << u"您输入的姓名为空!"_s << u"输入提示!"_s;
    QTest::newRow("no category") << false << false << u"张三"_s << true << u"您输入的专业为空!"_s << u"输入提示!"_s;
    QTest::newRow("empty table") << true << true << u"张三"_s << false
                                 << u"没有您要查询的学生资料!可能是您的输入学生号码有误,请查对!"_s << u"查询提示"_s;
}

void TestSearchByName::checksRunInOrder()
{
    QFETCH(bool, bCategory);
    QFETCH(bool, bMajors);
    QFETCH(QString, name);
    QFETCH(bool, bStored);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    if (bStored)
        AddStudent("2006001", "张三", "01010000");
    MessageRecorder messages;
    CSearchByName dlg(TestSchool());
    dlg.show();
    if (!bCategory)
    {
        Categories(dlg)->setCurrentIndex(-1);
        if (bMajors)
            emit Categories(dlg)->activated(-1); // no category: the majors hold one empty entry
    }
    Search(dlg, name);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, text);
    QCOMPARE(messages.last().caption, caption);
    QCOMPARE(List(dlg)->rowCount(), 0);
    QVERIFY(dlg.isVisible());
}

void TestSearchByName::findsByExactNameAndMajorCode_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("major");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<int>>("rows"); // the stored rows listed, in list order
    QTest::newRow("two matches in table order") << u"数学类"_s << u"数学与应用数学"_s << u"张三"_s << QList<int>{0, 4};
    QTest::newRow("name with a trailing space") << u"数学类"_s << u"数学与应用数学"_s << u"张三 "_s << QList<int>{};
    QTest::newRow("哲学 stores the discipline code") << u"哲学类"_s << u"哲学"_s << u"张三"_s << QList<int>{2};
    QTest::newRow("category's own row") << u"哲学类"_s << u"哲学类"_s << u"张三"_s << QList<int>{3};
}

void TestSearchByName::findsByExactNameAndMajorCode()
{
    QFETCH(QString, category);
    QFETCH(QString, major);
    QFETCH(QString, name);
    QFETCH(QList<int>, rows);
    AddStudent("2006001", "张三", "07010100");
    AddStudent("2006002", "李四", "07010100");
    AddStudent("2006003", "张三", "01000000");
    AddStudent("2006004", "张三", "01010000");
    AddStudent("2006005", "张三", "07010100");
    AddStudent("2006006", "张三", "01010100");
    MessageRecorder messages;
    CSearchByName dlg(TestSchool());
    dlg.show();
    Choose(dlg, u"数学类"_s, u"数学与应用数学"_s);
    Search(dlg, u"李四"_s);
    QCOMPARE(List(dlg)->rowCount(), 1); // replaced by the next search, not extended
    Choose(dlg, category, major);
    Search(dlg, name);
    QCOMPARE(List(dlg)->rowCount(), rows.size());
    for (int nItem = 0; nItem < rows.size(); ++nItem)
        QCOMPARE(ItemText(List(dlg), nItem, Field::XSBSH), u"200600%1"_s.arg(rows[nItem] + 1));
    QCOMPARE(messages.count(), 0);
    // The choice stays for the next search.
    QCOMPARE(Categories(dlg)->currentText(), category);
    QCOMPARE(Majors(dlg)->currentText(), major);
}

void TestSearchByName::changedRecordStaysListedAndIsSaved()
{
    AddStudent("2006001", "张三");
    AddStudent("2006002", "张三");
    MessageRecorder messages;
    CSearchByName dlg(TestSchool());
    dlg.show();
    Choose(dlg, u"数学类"_s, u"数学与应用数学"_s);
    Search(dlg, u"张三"_s);
    QCOMPARE(List(dlg)->rowCount(), 2);
    bool bAccepted = false;
    WhenEditorOpens([](QDialog* pEditor) { FindById<QLineEdit>(pEditor, 1003)->setText(u"张三丰"_s); }, &bAccepted);
    DoubleClickItem(List(dlg), 1);
    QVERIFY(bAccepted);
    QCOMPARE(ItemText(List(dlg), 1, Field::XM), u"张三丰"_s); // listed although it no longer matches
    QCOMPARE(ItemText(List(dlg), 0, Field::XM), u"张三"_s);
    QCOMPARE(StoredCell(1, Field::XM), Gbk("张三丰"));
    QCOMPARE(StoredCell(0, Field::XM), Gbk("张三"));
    QCOMPARE(StoredCell(1, Field::ZYDM), std::string("07010100"));
    QCOMPARE(messages.count(), 0);
}

QTEST_MAIN(TestSearchByName)
#include "SearchByNameTest.moc"
#include "moc_SearchTestSupport.cpp"
