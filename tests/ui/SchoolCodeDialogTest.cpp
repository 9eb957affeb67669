#include "ui/SchoolCodeDialog.h"

#include "TypeText.h"
#include "UiTestSupport.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "core/DataFunc.h"
#include "ui/HyperLink.h"
#include "ui/LoginDialog.h"
#include "ui/PasswordDialog.h"
#include "ui/Support/GbkText.h"

class TestSchoolCodeDialog : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void listsEverySchoolForABlankFilter();
    void narrowsToNamesHoldingTheFilter_data();
    void narrowsToNamesHoldingTheFilter();
    void refusesOkWithoutASelection();
    void returnsTheChosenCode();
    void doubleClickChoosesAtOnce();
    void loginLinkFillsTheCodeOnlyOnOk();
    void passwordDialogLinkFillsTheCodeOnlyOnOk();
    void loginButtonOpensAnEmptyPasswordDialog();

  private:
    // Drives the lookup that the next link click opens: types the filter, then marks the first
    // school shown and presses OK, or presses Cancel.
    static void AnswerNextLookup(const QString& filter, bool bChoose);
    // The dialog's link (101) opens the lookup: Cancel leaves its code field (1001), OK fills it.
    static void CheckLinkFillsTheCodeOnlyOnOk(QDialog& dlg);
    // The codes the list shows, in list order.
    static QStringList ShownCodes(QTableView* list);
};

void TestSchoolCodeDialog::initTestCase()
{
    std::string strMessage;
    QVERIFY(LoadResourceTable(IDR_SCHOOL_DIRECTORY, "TXT", g_memSchools, strMessage));
}

QStringList TestSchoolCodeDialog::ShownCodes(QTableView* list)
{
    QStringList codes;
    for (int nRow = 0; nRow < list->model()->rowCount(); ++nRow)
        codes << list->model()->index(nRow, 0).data().toString();
    return codes;
}

void TestSchoolCodeDialog::listsEverySchoolForABlankFilter()
{
    CSchoolCodeDialog dlg;
    auto* list = FindById<QTableView>(&dlg, 1015);
    QCOMPARE(list->model()->rowCount(), g_memSchools.GetRowCount());
    QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(), u"学校编码"_qs);
    QCOMPARE(list->model()->headerData(1, Qt::Horizontal).toString(), u"学校名称"_qs);
    QCOMPARE(list->columnWidth(0), 100);
    QCOMPARE(list->columnWidth(1), 400);
    QCOMPARE(list->model()->index(0, 0).data().toString(), u"10001"_qs);
    QCOMPARE(list->model()->index(0, 1).data().toString(), u"北京大学"_qs);

    TypeText(FindById<QLineEdit>(&dlg, 1016), u" \t "_qs);
    QCOMPARE(list->model()->rowCount(), g_memSchools.GetRowCount());
}

void TestSchoolCodeDialog::narrowsToNamesHoldingTheFilter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("contained"); // what every shown name holds
    QTest::newRow("大学") << u"大学"_qs << u"大学"_qs;
    QTest::newRow("trimmed") << u"  复旦大学 "_qs << u"复旦大学"_qs;
    // The bytes of "本" are also the middle bytes of "北京"; that is no match.
    QTest::newRow("second byte") << u"本"_qs << u"本"_qs;
    QTest::newRow("a code") << u"10001"_qs << u"10001"_qs;
    QTest::newRow("no such name") << u"不存在的学校"_qs << u"不存在的学校"_qs;
}

// Compares the list, after typing character by character, with the directory read as Unicode
// text, where containment cannot start inside a character.
void TestSchoolCodeDialog::narrowsToNamesHoldingTheFilter()
{
    QFETCH(QString, typed);
    QFETCH(QString, contained);
    CSchoolCodeDialog dlg;
    TypeText(FindById<QLineEdit>(&dlg, 1016), typed);

    QStringList expected;
    for (int nRow = 0; nRow < g_memSchools.GetRowCount(); ++nRow)
        if (FromGbk(g_memSchools.GetCell(nRow, 1)).contains(contained))
            expected << FromGbk(g_memSchools.GetCell(nRow, 0));
    QCOMPARE(ShownCodes(FindById<QTableView>(&dlg, 1015)), expected);
}

void TestSchoolCodeDialog::refusesOkWithoutASelection()
{
    MessageRecorder messages;
    CSchoolCodeDialog dlg;
    dlg.show();
    auto* list = FindById<QTableView>(&dlg, 1015);
    list->setCurrentIndex(list->model()->index(3, 0));
    TypeText(FindById<QLineEdit>(&dlg, 1016), u"不存在的学校"_qs);
    QCOMPARE(list->model()->rowCount(), 0);
    QTest::mouseClick(FindById<QPushButton>(&dlg, 1), Qt::LeftButton);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, u"请选择一项后再点击“确定”。"_qs);
    QCOMPARE(messages.last().caption, u"提示"_qs);
    QVERIFY(dlg.isVisible());
    QVERIFY(dlg.GetSelectedCode().empty());
}

void TestSchoolCodeDialog::returnsTheChosenCode()
{
    MessageRecorder messages;
    CSchoolCodeDialog dlg;
    dlg.show();
    TypeText(FindById<QLineEdit>(&dlg, 1016), u"清华"_qs);
    auto* list = FindById<QTableView>(&dlg, 1015);
    list->setCurrentIndex(list->model()->index(0, 1));
    QTest::mouseClick(FindById<QPushButton>(&dlg, 1), Qt::LeftButton);
    QCOMPARE(messages.count(), 0);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.GetSelectedCode(), std::string("10003"));
}

void TestSchoolCodeDialog::doubleClickChoosesAtOnce()
{
    CSchoolCodeDialog dlg;
    dlg.show();
    auto* list = FindById<QTableView>(&dlg, 1015);
    const QRect cell = list->visualRect(list->model()->index(1, 1));
    // A user's double click begins with a plain click on the same item.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.GetSelectedCode(), g_memSchools.GetCell(1, 0));
}

void TestSchoolCodeDialog::AnswerNextLookup(const QString& filter, bool bChoose)
{
    QTimer::singleShot(0, [filter, bChoose] {
        auto* lookup = qobject_cast<CSchoolCodeDialog*>(QApplication::activeModalWidget());
        if (!lookup)
            qFatal("the link opened no school code lookup");
        QCOMPARE(lookup->parentWidget(), nullptr);
        TypeText(FindById<QLineEdit>(lookup, 1016), filter);
        auto* list = FindById<QTableView>(lookup, 1015);
        list->setCurrentIndex(list->model()->index(0, 0));
        QTest::mouseClick(FindById<QPushButton>(lookup, bChoose ? 1 : 2), Qt::LeftButton);
    });
}

void TestSchoolCodeDialog::CheckLinkFillsTheCodeOnlyOnOk(QDialog& dlg)
{
    dlg.show();
    auto* code = FindById<QLineEdit>(&dlg, 1001);
    auto* link = FindById<CHyperLink>(&dlg, 101);
    QVERIFY(link);
    code->setText(u"123"_qs);
    AnswerNextLookup(u"北京大学"_qs, false);
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(code->text(), u"123"_qs);
    AnswerNextLookup(u"北京大学"_qs, true);
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(code->text(), u"10001"_qs);
    QVERIFY(dlg.isVisible());
}

void TestSchoolCodeDialog::loginLinkFillsTheCodeOnlyOnOk()
{
    CLoginDialog dlg;
    FindById<QLineEdit>(&dlg, 1002)->setText(u"42"_qs);
    CheckLinkFillsTheCodeOnlyOnOk(dlg);
    QCOMPARE(FindById<QLineEdit>(&dlg, 1002)->text(), u"42"_qs);
}

void TestSchoolCodeDialog::passwordDialogLinkFillsTheCodeOnlyOnOk()
{
    CPasswordDialog dlg;
    CheckLinkFillsTheCodeOnlyOnOk(dlg);
}

void TestSchoolCodeDialog::loginButtonOpensAnEmptyPasswordDialog()
{
    CLoginDialog dlg;
    dlg.show();
    FindById<QLineEdit>(&dlg, 1001)->setText(u"10001"_qs);
    bool bOpened = false;
    QTimer::singleShot(0, [&bOpened] {
        auto* change = qobject_cast<CPasswordDialog*>(QApplication::activeModalWidget());
        if (!change)
            qFatal("the button opened no password dialog");
        bOpened = change->parentWidget() == nullptr && FindById<QLineEdit>(change, 1001)->text().isEmpty();
        change->reject();
    });
    QTest::mouseClick(FindById<QPushButton>(&dlg, 4), Qt::LeftButton);
    QVERIFY(bOpened);
    QVERIFY(dlg.isVisible());
    QCOMPARE(FindById<QLineEdit>(&dlg, 1001)->text(), u"10001"_qs);
}

QTEST_MAIN(TestSchoolCodeDialog)
#include "SchoolCodeDialogTest.moc"
