#include "ui/MainDialog.h"

#include "LoggedInMainDialog.h"
#include "StudentFixture.h"
#include "UiSchoolFixture.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "platform/ProgramDir.h"
#include "ui/Support/Seams/ShellOpen.h"
#include "ui/Support/StudentListModel.h"

namespace
{
QStringList ActionTexts(const QList<QAction*>& actions)
{
    QStringList texts;
    for (const QAction* pAction : actions)
        texts << (pAction->isSeparator() ? QStringLiteral("-") : pAction->text());
    return texts;
}
} // namespace

class TestMainDialog : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { m_school.initTestCase(); }

    void init() { m_school.init(); }

    void cleanup() { m_school.cleanup(); }

    void opensMaximisedWithTheListHiddenAndMirroringTheTable()
    {
        WriteDataFile("10001", "123", 5);
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("123"));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Varnholt"));
        QVERIFY(dlg.isMaximized());
        QVERIFY(!dlg.m_lstStudents->isVisible());
        QCOMPARE(dlg.m_stcStatus->text(), QStringLiteral("Stellwick "));

        const QAbstractItemModel* pModel = dlg.m_lstStudents->model();
        QCOMPARE(pModel->rowCount(), 5);
        QCOMPARE(pModel->columnCount(), 24);
        QCOMPARE(pModel->data(pModel->index(3, Field::XM)).toString(), QStringLiteral("学生3"));
        QCOMPARE(pModel->headerData(23, Qt::Horizontal).toString(), QStringLiteral("参加下基层项目"));
        const int widths[] = {100, 60,  60,  60,  40, 60, 40, 80, 60,  60, 100, 100,
                              60,  100, 100, 100, 40, 40, 40, 40, 100, 50, 100, 100};
        for (int nCol = 0; nCol < 24; ++nCol) // least widths: a column widens to show its values
            QVERIFY(dlg.m_lstStudents->horizontalHeader()->sectionSize(nCol) >= widths[nCol]);
        QCOMPARE(dlg.m_lstStudents->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(dlg.m_lstStudents->selectionMode(), QAbstractItemView::ExtendedSelection);
        QVERIFY(!dlg.m_lstStudents->isSortingEnabled());

        dlg.OnShowList();
        QVERIFY(dlg.m_lstStudents->isVisible());
        dlg.OnHideList();
        QVERIFY(!dlg.m_lstStudents->isVisible());
    }

    void listAndStatusLineFollowTheWindowSize()
    {
        LoggedInMainDialog dlg(QStringLiteral("10001"), QString());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QSize minimum = dlg.minimumSize();
        dlg.showNormal();
        dlg.resize(minimum + QSize(200, 100));
        QTRY_COMPARE(dlg.size(), minimum + QSize(200, 100));
        dlg.OnShowList();
        QTRY_COMPARE(dlg.m_lstStudents->mapTo(&dlg, QPoint(0, 0)).y(), dlg.contentsRect().top());
        const QRect client = dlg.contentsRect();
        const QRect list(dlg.m_lstStudents->mapTo(&dlg, QPoint(0, 0)), dlg.m_lstStudents->size());
        QCOMPARE(dlg.m_stcStatus->geometry().bottom(), client.bottom());
        QCOMPARE(dlg.m_stcStatus->geometry().left(), client.left());
        QCOMPARE(dlg.m_stcStatus->geometry().right(), client.right());
        QCOMPARE(list.right(), client.right());
        QCOMPARE(list.top(), client.top());
        QCOMPARE(dlg.m_stcStatus->geometry().top() - list.bottom(), 5);
        QCOMPARE(dlg.findChild<QMenuBar*>()->geometry().bottom() + 1, client.top());
    }

    void cancelledLoginEndsWithoutTheExitQuestion()
    {
        MessageRecorder messages;
        CMainDialog dlg;
        // The real login dialog runs modally; its cancel button ends it, and the main window with it.
        QTimer::singleShot(0, [] {
            for (QWidget* pWidget : QApplication::topLevelWidgets())
            {
                if (auto* pLogin = qobject_cast<CLoginDialog*>(pWidget); pLogin && pLogin->isVisible())
                    QTest::mouseClick(FindById<QPushButton>(pLogin, 2), Qt::LeftButton);
            }
        });
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(messages.count(), 0);
    }

    void menuBarHasEveryItemEnabledWithItsShortcutText()
    {
        LoggedInMainDialog dlg(QStringLiteral("10001"), QString());
        dlg.show();
        QStringList titles;
        QStringList items;
        for (QAction* pMenuAction : dlg.findChild<QMenuBar*>()->actions())
        {
            titles << pMenuAction->text();
            for (QAction* pAction : pMenuAction->menu()->actions())
            {
                // The history and the backups have items of their own, tested with them.
                if (QStringList({QStringLiteral("undo"), QStringLiteral("redo"), QStringLiteral("historySeparator"),
                                 QStringLiteral("restoreBackup"), QStringLiteral("restoreSeparator")})
                        .contains(pAction->objectName()))
                    continue;
                QVERIFY(pAction->isEnabled());
                // The key named after the TAB is bound; Enter is the window's own (a selected record only).
                const QString key = pAction->text().section(u'\t', 1);
                const QString bound = key == u"Enter" ? QString() : key;
                QCOMPARE(pAction->shortcut().toString(QKeySequence::PortableText), bound);
                items << (pAction->isSeparator() ? QStringLiteral("-") : pAction->text());
            }
        }
        QCOMPARE(titles,
                 QStringList({QStringLiteral("文件(&F)"), QStringLiteral("编辑(&E)"), QStringLiteral("查询(&S)"),
                              QStringLiteral("显示(&O)"), QStringLiteral("帮助(&H)")}));
        QCOMPARE(items.size(), 25);
        QCOMPARE(items[0], QStringLiteral("新增资料(&N)	Ctrl+N"));
        QCOMPARE(items[3], QStringLiteral("-"));
        QCOMPARE(items[7], QStringLiteral("打印(&P)...	Ctrl+P"));
        QCOMPARE(items[8], QStringLiteral("导出PDF(&F)..."));
        QCOMPARE(items[10], QStringLiteral("退出系统(&X)	Alt+F4"));
        QCOMPARE(items[12], QStringLiteral("批量修改选中记录(&B)..."));
        QCOMPARE(items[15], QStringLiteral("-"));
        QCOMPARE(items[16], QStringLiteral("检查全部记录(&K)"));
        QCOMPARE(items[17], QStringLiteral("统计(&T)..."));
        QCOMPARE(items[19], QStringLiteral("关闭显示列表(&X)	Alt+F6"));
        QCOMPARE(items[21], QStringLiteral("显示代码名称(&N)"));
        QCOMPARE(items[22], QStringLiteral("按存储顺序(&R)"));
        QCOMPARE(items[24], QStringLiteral("关于(&A)..."));
    }

    void contextMenuGreysRecordCommandsWithoutASelection()
    {
        WriteDataFile("10001", "", 3);
        LoggedInMainDialog dlg(QStringLiteral("10001"), QString());
        dlg.show();
        std::unique_ptr<QMenu> pMenu(dlg.CreateListContextMenu());
        const QList<QAction*> actions = pMenu->actions();
        QCOMPARE(ActionTexts(actions),
                 QStringList({QStringLiteral("新增资料(&N)\tCtrl+N"), QStringLiteral("修改资料(&M)\tEnter"),
                              QStringLiteral("删除资料(&D)\tDel"), QStringLiteral("-"),
                              QStringLiteral("从外部文件导入(&I)\tCtrl+I"),
                              QStringLiteral("导出Excel文件...(&E)\tCtrl+E"), QStringLiteral("-"),
                              QStringLiteral("全选(&A)\tCtrl+A"), QStringLiteral("批量修改选中记录(&B)...")}));
        QVERIFY(actions[0]->isEnabled());
        QVERIFY(!actions[1]->isEnabled());
        QVERIFY(!actions[2]->isEnabled());
        QVERIFY(!actions[8]->isEnabled()); // the batch change works on the selected records

        // A mark that is no longer selected still counts.
        dlg.m_lstStudents->setCurrentIndex(dlg.m_lstStudents->model()->index(1, 0));
        dlg.m_lstStudents->clearSelection();
        pMenu.reset(dlg.CreateListContextMenu());
        QVERIFY(pMenu->actions()[1]->isEnabled());
        QVERIFY(pMenu->actions()[2]->isEnabled());
        QVERIFY(!pMenu->actions()[8]->isEnabled());
        dlg.m_lstStudents->selectRow(1);
        pMenu.reset(dlg.CreateListContextMenu());
        QVERIFY(pMenu->actions()[8]->isEnabled());
    }

    void selectAllKeepsTheSelectionMark()
    {
        WriteDataFile("10001", "", 4);
        LoggedInMainDialog dlg(QStringLiteral("10001"), QString());
        dlg.show();
        dlg.m_lstStudents->setCurrentIndex(dlg.m_lstStudents->model()->index(2, 0));
        dlg.m_lstStudents->clearSelection();
        dlg.OnSelectAll();
        QCOMPARE(dlg.GetSelectedRows(), (std::vector<int>{0, 1, 2, 3}));
        QCOMPARE(dlg.GetSelectionMark(), 2);
    }

    void deleteWithoutSelectionSaysSo()
    {
        WriteDataFile("10001", "9", 3);
        const std::string before = ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db")));
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show();
        MessageRecorder messages;
        dlg.OnDeleteRecord();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, QStringLiteral("没有指定要删除的项目。"));
        QCOMPARE(messages.last().caption, QStringLiteral("提示"));
        QCOMPARE(dlg.Students().GetRowCount(), 3);
        QCOMPARE(ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db"))), before);
    }

    void deleteAnsweredNoChangesNothing()
    {
        WriteDataFile("10001", "9", 3);
        const std::string before = ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db")));
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show();
        SelectRows(dlg.m_lstStudents, {1});
        MessageRecorder messages(IDNO);
        dlg.OnDeleteRecord();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, QStringLiteral("真的要删除该项目？"));
        QCOMPARE(messages.last().caption, QStringLiteral("提示"));
        QCOMPARE(messages.last().buttons, MsgButtons::YesNo);
        QVERIFY(messages.last().bDefaultNo);
        QCOMPARE(dlg.m_pModel->rowCount(), 3);
        QCOMPARE(ReadFileBytes(m_school.dir().filePath(QStringLiteral("10001.db"))), before);
    }

    void deleteRemovesTheSelectedRecordsAndSaves()
    {
        WriteDataFile("10001", "9", 5);
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show();
        SelectRows(dlg.m_lstStudents, {3, 1});
        MessageRecorder messages(IDYES);
        dlg.OnDeleteRecord();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(StoredNumbers("10001", "9"), (std::vector<std::string>{"S0", "S2", "S4"}));
        QCOMPARE(dlg.m_pModel->rowCount(), 3);
        QCOMPARE(dlg.m_pModel->data(dlg.m_pModel->index(1, 0)).toString(), QStringLiteral("S2"));
    }

    void selectAllThenDeleteRemovesMoreThanAHundredRecords()
    {
        WriteDataFile("10001", "9", 250);
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show(); // the list stays hidden: the commands work on it all the same
        dlg.OnSelectAll();
        MessageRecorder messages(IDYES);
        dlg.OnDeleteRecord();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(dlg.Students().GetRowCount(), 0);
        QCOMPARE(dlg.m_pModel->rowCount(), 0);
        QCOMPARE(StoredNumbers("10001", "9"), std::vector<std::string>{});
    }

    void failedSaveIsReportedAndWrittenByTheNextSave()
    {
        WriteDataFile("10001", "9", 4);
        LoggedInMainDialog dlg(QStringLiteral("10001"), QStringLiteral("9"));
        dlg.show();
        SetProgramDirectory(m_school.dir().filePath(QStringLiteral("missing")).toStdString());
        SelectRows(dlg.m_lstStudents, {0});
        MessageRecorder messages(IDYES);
        dlg.OnDeleteRecord();
        QCOMPARE(messages.count(), 2);
        QCOMPARE(messages.last().caption, QStringLiteral("错误"));
        QVERIFY(messages.last().text.contains(QStringLiteral("10001.db")));
        QCOMPARE(dlg.m_pModel->rowCount(), 3); // the change stays in memory

        SetProgramDirectory(m_school.dir().path().toStdString());
        SelectRows(dlg.m_lstStudents, {2});
        dlg.OnDeleteRecord();
        QCOMPARE(messages.count(), 3);
        QCOMPARE(StoredNumbers("10001", "9"), (std::vector<std::string>{"S1", "S2"}));
    }

    void exitQuestionComesForEscapeAndCloseAndEnterDoesNothing()
    {
        LoggedInMainDialog dlg(QStringLiteral("10001"), QString());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        MessageRecorder messages(IDNO);
        QTest::keyClick(&dlg, Qt::Key_Return);
        QCOMPARE(messages.count(), 0);
        QVERIFY(dlg.isVisible());

        QTest::keyClick(&dlg, Qt::Key_Escape);
        QVERIFY(dlg.close() == false);
        QCOMPARE(messages.count(), 2);
        for (const MessageBoxCall& call : messages.calls())
        {
            QCOMPARE(call.text, QStringLiteral("这将退出登记软件，是否真的要退出吗?"));
            QCOMPARE(call.caption, QStringLiteral("提示"));
            QVERIFY(call.bDefaultNo);
        }
        QVERIFY(dlg.isVisible());

        messages.QueueAnswer(IDYES);
        dlg.findChild<QAction*>(QStringLiteral("id57665"))->trigger();
        QCOMPARE(messages.count(), 3);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }

    void manualFailuresShowTheirMessage_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        QTest::newRow("opened") << 42 << QString();
        QTest::newRow("missing") << 2 << QStringLiteral("不能找到要执行的程序或要打开的文档 ，因为文件不存在。");
        QTest::newRow("no association") << 31
                                        << QStringLiteral(
                                               "文件关联无效，不知道如何处理文件，可能原因你的注册表信息不全。");
        QTest::newRow("library") << 32 << QStringLiteral("当前系统至少缺少一个Varnholt需要的动态链接库。");
        QTest::newRow("other") << 17 << QStringLiteral("调用ShellExecute失败，错误码为17。");
    }

    void manualFailuresShowTheirMessage()
    {
        QFETCH(int, result);
        QFETCH(QString, message);
        LoggedInMainDialog dlg(QStringLiteral("10001"), QString());
        dlg.show();
        QString openedPath;
        SetShellOpenHook([&](const QString& path) {
            openedPath = path;
            return result;
        });
        MessageRecorder messages;
        dlg.OnHelpTopics();
        SetShellOpenHook({});
        QCOMPARE(openedPath, m_school.dir().filePath(QStringLiteral("Varnholt使用手册.mht")));
        if (message.isEmpty())
        {
            QCOMPARE(messages.count(), 0);
            return;
        }
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, message);
        QCOMPARE(messages.last().caption, QStringLiteral("错误"));
        QCOMPARE(messages.last().icon, MsgIcon::Exclamation);
    }

  private:
    UiSchoolFixture m_school;
};

QTEST_MAIN(TestMainDialog)
#include "MainDialogTest.moc"
