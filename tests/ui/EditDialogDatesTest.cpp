// The record editor's dates and byte counters: untouched dates keep their stored text, dates
// before 1970 are shown as stored, the pickers take yyyy-MM-dd in any language.
#include "SearchTestSupport.h"
#include "UiSchoolFixture.h"

#include <QClipboard>
#include <QDateEdit>
#include <QLabel>
#include <QLocale>
#include <QTest>

#include "ui/ByteCounter.h"
#include "ui/EditDialog.h"
#include "ui/RecordUpdate.h"

using namespace Qt::StringLiterals;

namespace
{
QDateEdit* Picker(QWidget* pDialog, int nId)
{
    return FindById<QDateEdit>(pDialog, nId);
}

// Modifies the record at nRow through the shared flow, with fnEdit changing the editor first.
// Returns whether the editor accepted.
bool Modify(int nRow, std::function<void(QDialog*)> fnEdit)
{
    bool bAccepted = false;
    WhenEditorOpens(std::move(fnEdit), &bAccepted);
    ModifyStudentRow(nullptr, nRow, TestSchool());
    return bAccepted;
}

// Clicks the picker's text field on character nChar, as a user clicking into the date does.
void ClickOnCharacter(QDateEdit* pPicker, int nChar)
{
    auto* pEdit = pPicker->findChild<QLineEdit*>();
    const QFontMetrics metrics = pEdit->fontMetrics();
    const QString text = pEdit->text();
    // 2: the line edit's own inner margin before the text.
    const int nX = pEdit->contentsRect().left() + pEdit->textMargins().left() + 2 +
                   metrics.horizontalAdvance(text.left(nChar)) + metrics.horizontalAdvance(text.at(nChar)) / 2;
    QTest::mouseClick(pEdit, Qt::LeftButton, {}, QPoint(nX, pEdit->height() / 2));
}
} // namespace

class TestEditDialogDates : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { m_school.initTestCase(); }
    void init()
    {
        m_school.init();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); // a desktop not in Chinese
    }
    void cleanup() { m_school.cleanup(); }

    void untouchedDatesKeepTheirStoredText_data()
    {
        QTest::addColumn<QString>("birth");
        QTest::addColumn<QDate>("newBirth"); // invalid: left as it opened
        QTest::addColumn<QString>("stored");
        QTest::newRow("short month and day kept") << u"1984-7-7"_s << QDate() << u"1984-7-7"_s;
        QTest::newRow("changed date written in full") << u"1984-7-7"_s << QDate(1985, 3, 1) << u"1985-03-01"_s;
        QTest::newRow("changed and back again") << u"1984-7-7"_s << QDate(1984, 7, 7) << u"1984-7-7"_s;
        QTest::newRow("before 1970 corrected") << u"1965-03-01"_s << QDate(1985, 3, 1) << u"1985-03-01"_s;
    }
    void untouchedDatesKeepTheirStoredText()
    {
        QFETCH(QString, birth);
        QFETCH(QDate, newBirth);
        QFETCH(QString, stored);
        const int nRow = AddStudent("2006001", "张三");
        TestStudents().SetCell(nRow, Field::CSNY, birth.toStdString());
        TestStudents().SetCell(nRow, Field::BYSJ, "2006-6-30");
        MessageRecorder messages;
        QVERIFY(Modify(nRow, [newBirth](QDialog* pEditor) {
            FindById<QLineEdit>(pEditor, 1003)->setText(u"李四"_s);
            if (newBirth.isValid())
                Picker(pEditor, 1005)->setDate(newBirth);
        }));
        QCOMPARE(messages.count(), 0);
        QCOMPARE(StoredCell(nRow, Field::CSNY), stored.toStdString());
        QCOMPARE(StoredCell(nRow, Field::BYSJ), "2006-6-30");
        QCOMPARE(StoredCell(nRow, Field::XM), Gbk("李四"));
    }

    void dateBefore1970IsShownAndRefusedOnlyIfLeft()
    {
        const int nRow = AddStudent("2006001", "张三");
        TestStudents().SetCell(nRow, Field::CSNY, "1965-03-01");
        MessageRecorder messages;
        QDate shown;
        QVERIFY(!Modify(nRow, [&shown](QDialog* pEditor) { shown = Picker(pEditor, 1005)->date(); }));
        QCOMPARE(shown, QDate(1965, 3, 1));
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, u"出生年月要求必须填写。"_s);
        QCOMPARE(messages.last().caption, u"帮助信息"_s);
        QCOMPARE(StoredCell(nRow, Field::CSNY), "<missing>"); // nothing was saved
    }

    void pickersShowAndTakeIsoDatesAndLeaveWithOneTab()
    {
        CEditDialog dlg(kTestCode);
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QDateEdit* pBirth = Picker(&dlg, 1005);
        QCOMPARE(pBirth->displayFormat(), u"yyyy-MM-dd"_s);
        QCOMPARE(pBirth->text(), u"1984-01-01"_s);

        // Into the month: the Right key moves from the year to the month, digits replace it.
        pBirth->setFocus(Qt::TabFocusReason);
        pBirth->setCurrentSection(QDateTimeEdit::YearSection);
        QTest::keyClick(pBirth, Qt::Key_Right);
        QCOMPARE(pBirth->currentSection(), QDateTimeEdit::MonthSection);
        QTest::keyClicks(pBirth, u"07"_s);
        QCOMPARE(pBirth->date(), QDate(1984, 7, 1));
        pBirth->setCurrentSection(QDateTimeEdit::DaySection);
        QTest::keyClick(pBirth, Qt::Key_Left);
        QCOMPARE(pBirth->currentSection(), QDateTimeEdit::MonthSection);

        QTest::keyClick(pBirth, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), FindById<QWidget>(&dlg, 1028));
        FindById<QWidget>(&dlg, 1012)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), FindById<QWidget>(&dlg, 1010));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), FindById<QWidget>(&dlg, 1012));
    }

    void digitsReplaceTheSectionUnderTheCaretAndWholeDatesAreTaken_data()
    {
        QTest::addColumn<int>("click"); // the character clicked on; -1: everything selected
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("pasted"); // put on the clipboard and pasted after the keys
        QTest::addColumn<QDate>("date");
        const QDate unchanged(1984, 1, 1);
        QTest::newRow("month clicked, one digit") << 6 << u"3"_s << QString() << QDate(1984, 3, 1);
        QTest::newRow("day clicked, two digits") << 9 << u"15"_s << QString() << QDate(1984, 1, 15);
        QTest::newRow("year clicked, typing runs on") << 1 << u"19860304"_s << QString() << QDate(1986, 3, 4);
        QTest::newRow("a digit after Backspace goes on") << 3 << u"\b6"_s << QString() << QDate(1986, 1, 1);
        QTest::newRow("all selected, typed with dashes") << -1 << u"1986-03-04"_s << QString() << QDate(1986, 3, 4);
        QTest::newRow("all selected, short month and day") << -1 << u"1986-3-4"_s << QString() << QDate(1986, 3, 4);
        QTest::newRow("all selected, eight digits") << -1 << u"19860304"_s << QString() << QDate(1986, 3, 4);
        QTest::newRow("eight digits pasted into the month") << 6 << QString() << u"19860304"_s << QDate(1986, 3, 4);
        QTest::newRow("a date pasted into the day") << 9 << QString() << u"1986-03-04"_s << QDate(1986, 3, 4);
        QTest::newRow("a copied cell pasted over all") << -1 << QString() << u"1986-3-4\n"_s << QDate(1986, 3, 4);
        QTest::newRow("no such month pasted") << 6 << QString() << u"1986-13-04"_s << unchanged;
        QTest::newRow("before the first date pasted") << -1 << QString() << u"18991231"_s << unchanged;
        QTest::newRow("words pasted") << -1 << QString() << u"明天"_s << unchanged;
    }
    void digitsReplaceTheSectionUnderTheCaretAndWholeDatesAreTaken()
    {
        QFETCH(int, click);
        QFETCH(QString, keys);
        QFETCH(QString, pasted);
        QFETCH(QDate, date);
        CEditDialog dlg(kTestCode);
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QDateEdit* pBirth = Picker(&dlg, 1005);
        QCOMPARE(pBirth->date(), QDate(1984, 1, 1));
        if (click < 0)
        {
            pBirth->setFocus(Qt::TabFocusReason);
            QTest::keyClick(pBirth, Qt::Key_A, Qt::ControlModifier);
        }
        else
        {
            ClickOnCharacter(pBirth, click);
            QVERIFY(pBirth->hasFocus());
        }
        QTest::keyClicks(pBirth, keys);
        if (!pasted.isEmpty())
        {
            QGuiApplication::clipboard()->setText(pasted);
            QTest::keyClick(pBirth, Qt::Key_V, Qt::ControlModifier);
        }
        QCOMPARE(pBirth->date(), date);
        QCOMPARE(pBirth->text(), date.toString(u"yyyy-MM-dd"_s));
    }

    void typedAndPastedDatesAreStored()
    {
        const int nRow = AddStudent("2006001", "张三");
        MessageRecorder messages;
        QVERIFY(Modify(nRow, [](QDialog* pEditor) {
            QDateEdit* pGraduation = Picker(pEditor, 1010);
            ClickOnCharacter(pGraduation, 0);
            QTest::keyClicks(pGraduation, u"20070701"_s);
            QGuiApplication::clipboard()->setText(u"19860304"_s);
            QDateEdit* pBirth = Picker(pEditor, 1005);
            ClickOnCharacter(pBirth, 9);
            QTest::keyClick(pBirth, Qt::Key_V, Qt::ControlModifier);
        }));
        QCOMPARE(messages.count(), 0);
        QCOMPARE(StoredCell(nRow, Field::BYSJ), "2007-07-01");
        QCOMPARE(StoredCell(nRow, Field::CSNY), "1986-03-04");
    }

    void byteCountersFollowTheTextAndTurnRedOnlyOverTheLimit()
    {
        CEditDialog dlg(kTestCode);
        dlg.show();
        struct Case
        {
            int nId;
            int nLimit;
        };
        for (const Case& field : {Case{1000, 15}, Case{1003, 30}, Case{1021, 12}, Case{1020, 20}, Case{1013, 30},
                                  Case{1022, 50}, Case{1023, 6}, Case{1024, 50}})
        {
            const QString name = u"id%1Count"_s.arg(field.nId);
            auto* pCounter = dlg.findChild<CByteCounter*>(name);
            QVERIFY2(pCounter, qPrintable(name));
            QCOMPARE(pCounter->text(), u"0/%1"_s.arg(field.nLimit));
            QVERIFY(!pCounter->IsOverLimit());
        }
        QVERIFY(!dlg.findChild<CByteCounter*>(u"id1001Count"_s)); // the read-only school code has none

        auto* pName = FindById<QLineEdit>(&dlg, 1003);
        auto* pCounter = dlg.findChild<CByteCounter*>(u"id1003Count"_s);
        pName->setText(u"张三a"_s);
        QCOMPARE(pCounter->text(), u"5/30"_s);
        QVERIFY(!pCounter->IsOverLimit());
        QVERIFY(pCounter->styleSheet().contains(u"gray"_s));
        pName->setText(QString(15, u'张'));
        QCOMPARE(pCounter->text(), u"30/30"_s); // a full field is no error
        QVERIFY(!pCounter->IsOverLimit());
        QVERIFY(pCounter->styleSheet().contains(u"gray"_s));
        pName->setText(QString(16, u'张')); // a stored value longer than the editor allows
        QCOMPARE(pCounter->text(), u"32/30"_s);
        QVERIFY(pCounter->IsOverLimit());
        QVERIFY(pCounter->styleSheet().contains(u"#c00000"_s));

        auto* pPostal = FindById<QLineEdit>(&dlg, 1023);
        pPostal->setText(u"100871"_s);
        QCOMPARE(dlg.findChild<CByteCounter*>(u"id1023Count"_s)->text(), u"6/6"_s);
        QVERIFY(!dlg.findChild<CByteCounter*>(u"id1023Count"_s)->IsOverLimit());
    }

  private:
    UiSchoolFixture m_school{UiSchoolFixture::Table::Empty};
};

QTEST_MAIN(TestEditDialogDates)
#include "EditDialogDatesTest.moc"
