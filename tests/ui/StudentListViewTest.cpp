// The main list as a registrar reads it: column widths, codes or names, sorting, the keys of the
// menus and the selection mark after a delete.
#include "EditorScript.h"
#include "SearchTestSupport.h"
#include "StudentFixture.h"
#include "UiSchoolFixture.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QSettings>
#include <QTableView>
#include <QTest>

#include "ui/Support/CodeNameDisplay.h"

using namespace Qt::StringLiterals;

namespace
{
class ListMainDialog : public TestSchoolMainDialog
{
  public:
    using CMainDialog::m_lstStudents;
};

// Least widths of the main list, in record order.
constexpr int kMinWidths[STUDENT_FIELD_COUNT] = {100, 60,  60,  60,  40, 60, 40, 80, 60,  60, 100, 100,
                                                 60,  100, 100, 100, 40, 40, 40, 40, 100, 50, 100, 100};

// Least widths of the search lists.
constexpr int kFoundMinWidths[STUDENT_FIELD_COUNT] = {100, 100, 60,  80,  40, 80, 40, 100, 60,  60, 100, 100,
                                                      60,  100, 100, 100, 40, 40, 40, 40,  100, 50, 100, 100};

QString ViewText(ListMainDialog& dlg, int nViewRow, int nCol)
{
    return dlg.m_lstStudents->model()->index(nViewRow, nCol).data().toString();
}

QStringList ViewColumn(ListMainDialog& dlg, int nCol)
{
    QStringList texts;
    for (int nRow = 0; nRow < dlg.m_lstStudents->model()->rowCount(); ++nRow)
        texts << ViewText(dlg, nRow, nCol);
    return texts;
}

// A key pressed in the main window, which is active again after any dialog it ran.
void Press(QWidget* pWindow, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QApplication::setActiveWindow(pWindow);
    QTest::keyClick(pWindow, key, modifiers);
}

void ClickTitle(QTableView* pList, int nCol)
{
    QHeaderView* pHeader = pList->horizontalHeader();
    const QPoint at(pHeader->sectionViewportPosition(nCol) + pHeader->sectionSize(nCol) / 2, pHeader->height() / 2);
    QTest::mouseClick(pHeader->viewport(), Qt::LeftButton, {}, at);
}

QAction* Action(QWidget* pDialog, int nId)
{
    return pDialog->findChild<QAction*>(QStringLiteral("id%1").arg(nId));
}

// Every column is at least its least width and shows its title and the value whole; rows never wrap.
void VerifyColumnsShow(QTableView* pList, const int (&minWidths)[STUDENT_FIELD_COUNT], int nRow)
{
    QVERIFY(!pList->wordWrap());
    const QFontMetrics cell = pList->fontMetrics();
    const QFontMetrics title = pList->horizontalHeader()->fontMetrics();
    for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
    {
        const int nWidth = pList->columnWidth(nCol);
        const QString value = pList->model()->index(nRow, nCol).data().toString();
        const QString label = pList->model()->headerData(nCol, Qt::Horizontal).toString();
        QVERIFY2(nWidth >= minWidths[nCol], qPrintable(label));
        QVERIFY2(cell.horizontalAdvance(value) + 8 <= nWidth, qPrintable(label + u' ' + value));
        QVERIFY2(title.horizontalAdvance(label) + 8 <= nWidth, qPrintable(label));
    }
    QCOMPARE(pList->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
}

// A record with the longest values the registrar met: dates, majors, e-mail, salary.
int AddTypicalStudent(const char* lpcszNumber, const char* lpcszName)
{
    const int nRow = AddStudent(lpcszNumber, lpcszName, "05010100");
    TestStudents().SetCell(nRow, Field::DZXX, "zhangming@example.com");
    TestStudents().SetCell(nRow, Field::YXYX, Gbk("1000-2000 "));
    TestStudents().SetCell(nRow, Field::CSNY, "1984-07-07");
    return nRow;
}
} // namespace

class TestStudentListView : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { m_school.initTestCase(); }
    void init()
    {
        m_school.init();
        SetShowsCodeNames(false);
    }
    void cleanup() { m_school.cleanup(); }

    void columnsShowTitlesAndTypicalValues()
    {
        AddTypicalStudent("123456789012345", "欧阳明华"); // as long as the 填写举例 number
        for (bool bNames : {false, true})
        {
            SetShowsCodeNames(bNames);
            ListMainDialog dlg;
            dlg.show();
            VerifyColumnsShow(dlg.m_lstStudents, kMinWidths, 0);
            CFoundRecordList found(TestSchool(), false);
            found.AddRecord(TestStudents(), 0);
            VerifyColumnsShow(&found, kFoundMinWidths, 0);
        }
    }

    void codeNamesToggleIsRememberedAndFollowedBySearchLists()
    {
        AddStudent("2006001", "张三");
        {
            ListMainDialog dlg;
            dlg.show();
            QCOMPARE(ViewText(dlg, 0, Field::XBDM), u"1"_s); // codes by default
            QCOMPARE(ViewText(dlg, 0, Field::SYSZDQDM), u"110000"_s);
            QVERIFY(!Action(&dlg, 32790)->isChecked());
            Action(&dlg, 32790)->trigger();
            QCOMPARE(ViewText(dlg, 0, Field::XBDM), u"男"_s);
            QCOMPARE(ViewText(dlg, 0, Field::SYSZDQDM), u"北京市"_s);
            QCOMPARE(ViewText(dlg, 0, Field::XM), u"张三"_s);
            const QModelIndex sex = dlg.m_lstStudents->model()->index(0, Field::XBDM);
            QCOMPARE(sex.data(Qt::ToolTipRole).toString(), u"1"_s);
            QVERIFY(!dlg.m_lstStudents->model()->index(0, Field::XM).data(Qt::ToolTipRole).isValid());
        }
        QVERIFY(QSettings().value(u"display/codeNames"_s).toBool());
        ListMainDialog again;
        QVERIFY(Action(&again, 32790)->isChecked());
        QCOMPARE(ViewText(again, 0, Field::ZYDM), u"数学与应用数学"_s);
        CFoundRecordList found(TestSchool(), false);
        found.AddRecord(TestStudents(), 0);
        QCOMPARE(ItemText(&found, 0, Field::XBDM), u"男"_s);
        QCOMPARE(found.item(0, Field::XBDM)->toolTip(), u"1"_s);

        Action(&again, 32790)->trigger();
        QCOMPARE(ViewText(again, 0, Field::XBDM), u"1"_s);
        QVERIFY(!QSettings().value(u"display/codeNames"_s).toBool());
        QCOMPARE(StoredCell(0, Field::XBDM), "<missing>"); // showing names never saves
    }

    void titleClickSortsTheViewOnly()
    {
        for (const char* lpcszName : {"王五", "张三", "李四"})
            AddStudent(("20060" + std::to_string(TestStudents().GetRowCount())).c_str(), lpcszName);
        QVERIFY(SaveSchoolDatabase(kTestCode, TestStudents(), kTestPassword));
        const QString path = m_school.dir().filePath(u"10001.db"_s);
        const std::string strBefore = ReadFileBytes(path);
        ListMainDialog dlg;
        dlg.show();
        dlg.OnShowList();
        // Names compare as GBK, which is the order of their readings: li, wang, zhang.
        ClickTitle(dlg.m_lstStudents, Field::XM);
        QCOMPARE(ViewColumn(dlg, Field::XM), QStringList({u"李四"_s, u"王五"_s, u"张三"_s}));
        ClickTitle(dlg.m_lstStudents, Field::XM);
        QCOMPARE(ViewColumn(dlg, Field::XM), QStringList({u"张三"_s, u"王五"_s, u"李四"_s}));
        QCOMPARE(std::string(TestStudents().GetCell(0, Field::XM)), Gbk("王五"));
        QCOMPARE(ReadFileBytes(path), strBefore);

        Action(&dlg, 32791)->trigger();
        QCOMPARE(ViewColumn(dlg, Field::XM), QStringList({u"王五"_s, u"张三"_s, u"李四"_s}));
        QCOMPARE(dlg.m_lstStudents->horizontalHeader()->sortIndicatorSection(), -1);
    }

    void eachSortUsesItsOwnColumnAndTheShownValues()
    {
        // 生源地 codes 310000 < 320000, but their names 江苏省 (320000) < 上海市 (310000) as GBK.
        const char* const students[][3] = {
            {"2006003", "王五", "310000"}, {"2006001", "张三", "320000"}, {"2006002", "李四", "310000"}};
        for (const auto& student : students)
            TestStudents().SetCell(AddStudent(student[0], student[1]), Field::SYSZDQDM, student[2]);
        ListMainDialog dlg;
        dlg.show();
        QTableView* pList = dlg.m_lstStudents;
        pList->sortByColumn(Field::XM, Qt::AscendingOrder);
        QCOMPARE(ViewColumn(dlg, Field::XSBSH), QStringList({u"2006002"_s, u"2006003"_s, u"2006001"_s}));
        pList->sortByColumn(Field::XSBSH, Qt::AscendingOrder); // never by the names' keys again
        QCOMPARE(ViewColumn(dlg, Field::XSBSH), QStringList({u"2006001"_s, u"2006002"_s, u"2006003"_s}));

        pList->sortByColumn(Field::SYSZDQDM, Qt::AscendingOrder);
        QCOMPARE(ViewColumn(dlg, Field::SYSZDQDM), QStringList({u"310000"_s, u"310000"_s, u"320000"_s}));
        Action(&dlg, 32790)->trigger(); // names shown: sorted by the names
        QCOMPARE(ViewColumn(dlg, Field::SYSZDQDM), QStringList({u"江苏省"_s, u"上海市"_s, u"上海市"_s}));
        Action(&dlg, 32790)->trigger(); // codes again: sorted by the codes
        QCOMPARE(ViewColumn(dlg, Field::SYSZDQDM), QStringList({u"310000"_s, u"310000"_s, u"320000"_s}));
    }

    void recordCommandsActOnTheSortedSelection()
    {
        for (const char* lpcszName : {"王五", "张三", "李四"})
            AddStudent(("20060" + std::to_string(TestStudents().GetRowCount())).c_str(), lpcszName);
        ListMainDialog dlg;
        dlg.show();
        dlg.m_lstStudents->sortByColumn(Field::XM, Qt::AscendingOrder); // 李四 (row 2), 王五, 张三
        dlg.m_lstStudents->selectRow(0);
        QCOMPARE(dlg.GetSelectionMark(), 2);
        QCOMPARE(dlg.GetSelectedRows(), std::vector<int>{2});

        EditorScript script;
        QString shownName;
        script.Queue([&shownName](CEditDialog* pEditor) { shownName = FindById<QLineEdit>(pEditor, 1003)->text(); });
        dlg.OnModifyRecord();
        QCOMPARE(shownName, u"李四"_s);

        dlg.m_lstStudents->selectRow(2); // 张三, stored row 1
        MessageRecorder messages(IDYES);
        dlg.OnDeleteRecord();
        QCOMPARE(ViewColumn(dlg, Field::XM), QStringList({u"李四"_s, u"王五"_s}));
        QCOMPARE(StoredCell(0, Field::XM), Gbk("王五"));
        QCOMPARE(StoredCell(1, Field::XM), Gbk("李四"));
    }

    void deleteClearsTheSelectionMark()
    {
        for (const char* lpcszNumber : {"2006001", "2006002", "2006003"})
            AddStudent(lpcszNumber, "张三");
        ListMainDialog dlg;
        dlg.show();
        dlg.OnShowList();
        dlg.m_lstStudents->selectRow(1);
        MessageRecorder messages(IDYES);
        dlg.OnDeleteRecord();
        QCOMPARE(TestStudents().GetRowCount(), 2);
        dlg.m_lstStudents->setFocus(Qt::TabFocusReason); // focus alone marks no record
        EditorScript script;
        dlg.OnModifyRecord();
        QCOMPARE(script.editorsSeen(), 0);
        QCOMPARE(messages.last().text, u"没有指定要修改的项目。"_s);
        QCOMPARE(messages.last().caption, u"提示"_s);
    }

    void menuKeysDoWhatTheirItemsDo()
    {
        for (const char* lpcszNumber : {"2006001", "2006002"})
            AddStudent(lpcszNumber, "张三");
        ListMainDialog dlg;
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        MessageRecorder messages(IDNO);
        FileDialogAnswers files;
        EditorScript script; // every editor is left at once

        Press(&dlg, Qt::Key_F5, Qt::AltModifier);
        QVERIFY(dlg.m_lstStudents->isVisible());
        Press(&dlg, Qt::Key_F6, Qt::AltModifier);
        QVERIFY(!dlg.m_lstStudents->isVisible());
        Press(&dlg, Qt::Key_F5, Qt::AltModifier);

        Press(&dlg, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(script.titles(), QList<QString>({u"添加学生记录"_s}));
        Press(&dlg, Qt::Key_Return); // nothing selected: nothing happens
        QCOMPARE(script.editorsSeen(), 1);
        Press(&dlg, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(dlg.GetSelectedRows(), (std::vector<int>{0, 1}));
        dlg.m_lstStudents->selectRow(1);
        Press(&dlg, Qt::Key_Return);
        QCOMPARE(script.titles().last(), u"修改学生记录"_s);
        Press(&dlg, Qt::Key_Delete);
        QCOMPARE(messages.last().text, u"真的要删除该项目？"_s);
        QCOMPARE(TestStudents().GetRowCount(), 2); // answered No

        Press(&dlg, Qt::Key_I, Qt::ControlModifier);
        Press(&dlg, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(files.requests().size(), 2);
        QVERIFY(!files.requests()[0].bSave);
        QVERIFY(files.requests()[1].bSave);

        QStringList searches;
        for (auto key : {Qt::Key_F3, Qt::Key_F9})
        {
            WhenModalOpens([&searches](QDialog* pSearch) {
                searches << pSearch->windowTitle();
                pSearch->reject();
            });
            Press(&dlg, key, Qt::AltModifier);
        }
        QCOMPARE(searches, QStringList({u"查询学生资料"_s, u"按专业与姓名查询"_s}));

        const int nBefore = messages.count();
        Press(&dlg, Qt::Key_F4, Qt::AltModifier);
        QCOMPARE(messages.count(), nBefore + 1);
        QCOMPARE(messages.last().text, u"这将退出登记软件，是否真的要退出吗?"_s);
        QVERIFY(dlg.isVisible());
    }

  private:
    UiSchoolFixture m_school{UiSchoolFixture::Table::Empty};
};

QTEST_MAIN(TestStudentListView)
#include "StudentListViewTest.moc"
