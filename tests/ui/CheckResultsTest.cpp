// Checking every stored record from the main window: the results window, the status line, and
// correcting a record from the results.
#include "SearchTestSupport.h"
#include "StudentFixture.h"
#include "UiSchoolFixture.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "ui/CheckResultsWindow.h"

using namespace Qt::StringLiterals;

namespace
{
class CheckMainDialog : public TestSchoolMainDialog
{
  public:
    using CMainDialog::m_lstStudents;
    using CMainDialog::m_stcStatus;
};

// The widget's place in the main window's coordinates.
QRect PlaceIn(const QWidget* pWidget, const QWidget* pWindow)
{
    return {pWidget->mapTo(pWindow, QPoint(0, 0)), pWidget->size()};
}

QStringList Line(CCheckResultsWindow* pWindow, int nLine)
{
    const QAbstractItemModel* pModel = pWindow->findChild<QTableView*>(u"checkResultList"_s)->model();
    QStringList cells;
    for (int nCol = 0; nCol < pModel->columnCount(); ++nCol)
        cells << pModel->index(nLine, nCol).data().toString();
    return cells;
}

void DoubleClickLine(CCheckResultsWindow* pWindow, int nLine)
{
    auto* pList = pWindow->findChild<QTableView*>(u"checkResultList"_s);
    emit pList->doubleClicked(pList->model()->index(nLine, 1));
}
} // namespace

class TestCheckResults : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { m_school.initTestCase(); }
    void init() { m_school.init(); }
    void cleanup() { m_school.cleanup(); }

    void listsEveryFailingRecordAndCorrectsItFromTheList()
    {
        AddStudent("2006001", "张三");
        const int nNoName = AddStudent("2006002", "");
        const int nBadCodes = AddStudent("2006003", "王五");
        TestStudents().SetCell(nBadCodes, Field::XBDM, "3");
        TestStudents().SetCell(nBadCodes, Field::ZYDM, "99999999");
        TestStudents().SetCell(nNoName, Field::JICENG, "77"); // a bad code beside the failing check
        AddStudent("2006004", "赵六");
        TestStudents().SetCell(3, Field::CSNY, "1965-03-01"); // before 1970: no date for the checks
        CheckMainDialog dlg;
        dlg.show();
        MessageRecorder messages;
        dlg.findChild<QAction*>(u"id32789"_s)->trigger();
        auto* pWindow = dlg.findChild<CCheckResultsWindow*>();
        QVERIFY(pWindow && pWindow->isVisible());
        QVERIFY(!pWindow->isModal());
        QCOMPARE(pWindow->FailingCount(), 3);
        QCOMPARE(Line(pWindow, 0), QStringList({u"2"_s, u"2006002"_s, QString(), u"请输入姓名，这要求必须填写。"_s,
                                                u"参加下基层项目：77"_s}));
        QCOMPARE(Line(pWindow, 1),
                 QStringList({u"3"_s, u"2006003"_s, u"王五"_s, QString(), u"专业：99999999；性别：3"_s}));
        QCOMPARE(Line(pWindow, 2),
                 QStringList({u"4"_s, u"2006004"_s, u"赵六"_s, u"出生年月要求必须填写。"_s, QString()}));
        QCOMPARE(dlg.m_stcStatus->text(), u"共4条记录，3条未通过检查"_s);
        QCOMPARE(messages.count(), 0);

        // Accepting the record in the editor saves it and checks everything again.
        bool bAccepted = false;
        WhenEditorOpens([](QDialog* pEditor) { FindById<QLineEdit>(pEditor, 1003)->setText(u"李四"_s); }, &bAccepted);
        DoubleClickLine(pWindow, 0);
        QVERIFY2(bAccepted, qPrintable(messages.count() ? messages.last().text : QString()));
        QCOMPARE(StoredCell(nNoName, Field::XM), Gbk("李四"));
        QCOMPARE(StoredCell(nNoName, Field::JICENG), "77"); // an untouched value is kept
        QCOMPARE(pWindow->FailingCount(), 3);
        QCOMPARE(Line(pWindow, 0).mid(2), QStringList({u"李四"_s, QString(), u"参加下基层项目：77"_s}));
        QCOMPARE(dlg.m_lstStudents->model()->index(nNoName, Field::XM).data().toString(), u"李四"_s);
        QAction* pUndo = dlg.findChild<QAction*>(u"undo"_s); // a step of the main window's history
        QCOMPARE(pUndo->text(), u"撤销修改 1 条记录(&U)"_s);
        pUndo->trigger();
        QCOMPARE(StoredCell(nNoName, Field::XM), std::string());
        QCOMPARE(pWindow->FailingCount(), 3);
        QCOMPARE(Line(pWindow, 0).mid(2),
                 QStringList({QString(), u"请输入姓名，这要求必须填写。"_s, u"参加下基层项目：77"_s}));
        dlg.findChild<QAction*>(u"redo"_s)->trigger();
        QCOMPARE(StoredCell(nNoName, Field::XM), Gbk("李四"));

        // Every change while the window is open counts again.
        dlg.m_lstStudents->selectRow(3);
        messages.QueueAnswer(IDYES);
        dlg.OnDeleteRecord();
        QCOMPARE(dlg.m_stcStatus->text(), u"共3条记录，2条未通过检查"_s);
        QCOMPARE(pWindow->FailingCount(), 2);
    }

    void checkOfAFlawlessSchoolSaysSoAndTheStatusLineGoesBackOnClose()
    {
        AddStudent("2006001", "张三");
        CheckMainDialog dlg;
        dlg.show();
        const QString normal = dlg.m_stcStatus->text();
        dlg.OnCheckAllRecords();
        QPointer<CCheckResultsWindow> pWindow = dlg.findChild<CCheckResultsWindow*>();
        QCOMPARE(pWindow->FailingCount(), 0);
        QCOMPARE(pWindow->findChild<QLabel*>(u"checkSummary"_s)->text(), u"全部1条记录都通过了检查。"_s);
        QCOMPARE(dlg.m_stcStatus->text(), u"共1条记录，0条未通过检查"_s);

        // Its own button closes it; the status line stops reporting counts it no longer follows.
        QTest::mouseClick(FindById<QPushButton>(pWindow, 2), Qt::LeftButton);
        QTRY_VERIFY(pWindow.isNull());
        QCOMPARE(dlg.m_stcStatus->text(), normal);
        MessageRecorder messages;
        dlg.m_lstStudents->selectRow(0);
        dlg.OnDeleteRecord();
        QCOMPARE(TestStudents().GetRowCount(), 0);
        QCOMPARE(dlg.m_stcStatus->text(), normal);

        // The close box does the same, and a new check counts anew.
        dlg.OnCheckAllRecords();
        QCOMPARE(dlg.m_stcStatus->text(), u"共0条记录，0条未通过检查"_s);
        QCOMPARE(dlg.findChild<QLabel*>(u"checkSummary"_s)->text(), u"全部0条记录都通过了检查。"_s);
        dlg.findChild<CCheckResultsWindow*>()->close();
        QCOMPARE(dlg.m_stcStatus->text(), normal);
    }

    void docksBelowTheListKeepingListAndStatusLineInView()
    {
        AddStudent("2006001", "");
        AddStudent("2006002", "李四");
        CheckMainDialog dlg;
        dlg.show();
        dlg.showNormal();
        dlg.resize(1000, 600);
        dlg.OnShowList();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QRect whole = PlaceIn(dlg.m_lstStudents, &dlg);
        dlg.OnCheckAllRecords();
        QPointer<CCheckResultsWindow> pPanel = dlg.findChild<CCheckResultsWindow*>();
        QVERIFY(!pPanel->isWindow());
        QVERIFY(pPanel->hasFocus() || pPanel->isAncestorOf(QApplication::focusWidget()));

        // The list and the panel share the list's place; the status line stays where it was.
        QTRY_VERIFY(PlaceIn(dlg.m_lstStudents, &dlg).height() < whole.height());
        const QRect list = PlaceIn(dlg.m_lstStudents, &dlg);
        const QRect panel = PlaceIn(pPanel, &dlg);
        QVERIFY(dlg.m_lstStudents->isVisible() && pPanel->isVisible() && dlg.m_stcStatus->isVisible());
        QCOMPARE(list.top(), whole.top());
        QVERIFY(panel.top() > list.bottom());
        QVERIFY(panel.bottom() <= whole.bottom());
        QVERIFY(panel.height() >= whole.height() / 4);
        QCOMPARE(panel.left(), whole.left());
        QCOMPARE(panel.right(), whole.right());
        QVERIFY(!dlg.m_stcStatus->geometry().intersects(panel));
        QCOMPARE(dlg.m_stcStatus->text(), u"共2条记录，1条未通过检查"_s);

        // The list beside it keeps working and the panel follows it.
        dlg.m_lstStudents->selectRow(1);
        MessageRecorder messages;
        messages.QueueAnswer(IDYES);
        dlg.OnDeleteRecord();
        QCOMPARE(pPanel->FailingCount(), 1);
        QCOMPARE(dlg.m_stcStatus->text(), u"共1条记录，1条未通过检查"_s);

        // Enter on a line corrects its record; Escape closes the panel, not the program.
        auto* pResults = pPanel->findChild<QTableView*>(u"checkResultList"_s);
        pResults->setCurrentIndex(pResults->model()->index(0, 0));
        WhenEditorOpens([](QDialog* pEditor) { FindById<QLineEdit>(pEditor, 1003)->setText(u"王五"_s); });
        QTest::keyClick(pResults, Qt::Key_Return);
        QCOMPARE(StoredCell(0, Field::XM), Gbk("王五"));
        QCOMPARE(pPanel->FailingCount(), 0);
        QTest::keyClick(pResults, Qt::Key_Escape);
        QCOMPARE(messages.count(), 1); // the delete's question only: no exit question
        QTRY_VERIFY(pPanel.isNull());
        QTRY_COMPARE(PlaceIn(dlg.m_lstStudents, &dlg), whole);
        QVERIFY(dlg.isVisible());
    }

  private:
    UiSchoolFixture m_school{UiSchoolFixture::Table::Empty};
};

QTEST_MAIN(TestCheckResults)
#include "CheckResultsTest.moc"
