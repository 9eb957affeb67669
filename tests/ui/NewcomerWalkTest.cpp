// The walk of a new school through the whole program, from the first password to a second login:
// the program runs as it does for a user (the application object, the modal login and main
// window), and every dialog it opens is answered by a scripted step.
#include "EditorScript.h"
#include "StudentFixture.h"
#include "TypeText.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ui/LoginDialog.h"
#include "ui/MainDialog.h"
#include "ui/PasswordDialog.h"
#include "ui/Quillmark.h"

using namespace Qt::StringLiterals;

namespace
{
// Answers the modal dialogs the program opens, one step per dialog in the order they appear. A step
// runs from a timer of its own, so it may open the next modal dialog (whose step then runs inside).
// A modal dialog that no step expects is closed after a while, so that a wrong turn fails instead
// of waiting for ever.
class ModalSteps
{
  public:
    ModalSteps()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start(5);
        m_waiting.start();
    }
    template <typename Dialog> void Expect(std::function<void(Dialog*)> step)
    {
        m_steps.push_back({[](QWidget* pWidget) { return qobject_cast<Dialog*>(pWidget) != nullptr; },
                           [step](QWidget* pWidget) { step(static_cast<Dialog*>(pWidget)); }});
    }
    int stepsLeft() const { return static_cast<int>(m_steps.size()); }
    const QStringList& unexpected() const { return m_unexpected; }

  private:
    struct Step
    {
        std::function<bool(QWidget*)> matches;
        std::function<void(QWidget*)> run;
    };

    void Poll()
    {
        QWidget* pActive = QApplication::activeModalWidget();
        if (m_bStepPending || !pActive)
            return;
        if (!m_steps.empty() && m_steps.front().matches(pActive))
        {
            Step step = std::move(m_steps.front());
            m_steps.pop_front();
            m_bStepPending = true;
            QTimer::singleShot(0, [this, step, pTarget = QPointer<QWidget>(pActive)] {
                m_bStepPending = false;
                m_waiting.restart();
                if (pTarget)
                    step.run(pTarget);
            });
            return;
        }
        if (m_waiting.elapsed() > 10000)
        {
            m_unexpected << pActive->windowTitle();
            m_waiting.restart();
            if (auto* pDialog = qobject_cast<QDialog*>(pActive))
                pDialog->done(QDialog::Rejected);
        }
    }

    QTimer m_timer;
    QElapsedTimer m_waiting;
    std::deque<Step> m_steps;
    bool m_bStepPending = false;
    QStringList m_unexpected;
};

QPushButton* Button(QWidget* pDialog, int nId)
{
    return FindById<QPushButton>(pDialog, nId);
}

void Click(QWidget* pDialog, int nId)
{
    QTest::mouseClick(Button(pDialog, nId), Qt::LeftButton);
}

// Replaces the edit's text by typing, as a user who selected it all does.
void Retype(QWidget* pDialog, int nId, const QString& text)
{
    auto* pEdit = FindById<QLineEdit>(pDialog, nId);
    pEdit->selectAll();
    TypeText(pEdit, text);
}

void Trigger(QWidget* pMainWindow, int nCommandId)
{
    pMainWindow->findChild<QAction*>(QStringLiteral("id%1").arg(nCommandId))->trigger();
}

// Every cell of the main window's list, row by row, as shown.
QList<QStringList> ListTexts(QWidget* pMainWindow)
{
    const QAbstractItemModel* pModel = FindById<QTableView>(pMainWindow, 1018)->model();
    QList<QStringList> rows;
    for (int nRow = 0; nRow < pModel->rowCount(); ++nRow)
    {
        QStringList cells;
        for (int nCol = 0; nCol < pModel->columnCount(); ++nCol)
            cells << pModel->index(nRow, nCol).data().toString();
        rows << cells;
    }
    return rows;
}

// The example fill, fixing what it leaves to the user (the work region), with the student's own
// number and name.
std::function<void(CEditDialog*)> AddStudent(const QString& number, const QString& name)
{
    return [number, name](CEditDialog* pEditor) {
        QCOMPARE(pEditor->windowTitle(), u"添加学生记录");
        Click(pEditor, 9);
        EditorScript::Choose(pEditor, 1027, u"海南省"_s);
        Retype(pEditor, 1000, number);
        Retype(pEditor, 1003, name);
        Click(pEditor, 1);
        QVERIFY2(!pEditor->isVisible(), "the editor refused the record");
    };
}

const QString kCode = u"10001"_s;
const QString kPassword = u"2468"_s;
} // namespace

class TestNewcomerWalk : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase()
    {
        // The window placement goes to a directory of the test; the program directory brings its own
        // configuration directory for quillmark.ini.
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    }

    void newSchoolSetsAPasswordAddsRecordsExportsAndFindsThemAgain();

  private:
    QTemporaryDir m_config;
};

void TestNewcomerWalk::newSchoolSetsAPasswordAddsRecordsExportsAndFindsThemAgain()
{
    TempProgramDir program;
    QTemporaryDir documents;
    const QString csvPath = documents.filePath(u"毕业生.csv"_s);
    QList<QStringList> shownRows;

    // First day: no data file yet. The school sets its password, logs in, adds two students one
    // after another, exports them and quits.
    {
        MessageRecorder messages;
        messages.QueueAnswer(IDNO); // do not open the exported file now
        FileDialogAnswers files;
        files.QueuePath(csvPath);
        ModalSteps steps;
        steps.Expect<CLoginDialog>([](CLoginDialog* pLogin) {
            TypeText(FindById<QLineEdit>(pLogin, 1001), kCode);
            Click(pLogin, 4); // "密码设置"
        });
        steps.Expect<CPasswordDialog>([&program](CPasswordDialog* pPassword) {
            TypeText(FindById<QLineEdit>(pPassword, 1001), kCode);
            TypeText(FindById<QLineEdit>(pPassword, 1014), kPassword);
            TypeText(FindById<QLineEdit>(pPassword, 1003), kPassword);
            Click(pPassword, 1);
            QVERIFY(!pPassword->isVisible());
            QVERIFY(QFile::exists(program.filePath(u"10001.db"_s)));
            QCOMPARE(ReadFileBytes(QString::fromStdString(program.ConfigPath()) + u"/quillmark.ini"_s),
                     std::string("[security]\r\n10001=2468\r\n"));
        });
        steps.Expect<CLoginDialog>([](CLoginDialog* pLogin) {
            QCOMPARE(FindById<QLineEdit>(pLogin, 1001)->text(), kCode); // still typed in
            TypeText(FindById<QLineEdit>(pLogin, 1002), kPassword);
            Click(pLogin, 1);
        });
        steps.Expect<CMainDialog>([&](CMainDialog* pMain) {
            QVERIFY(pMain->isMaximized());
            Trigger(pMain, 32787); // "打开显示列表"
            QVERIFY(FindById<QTableView>(pMain, 1018)->isVisible());
            Trigger(pMain, 57600); // "新增资料": editors until "退出添加"
            shownRows = ListTexts(pMain);
            Trigger(pMain, 32780); // "导出Excel文件..."
            QCOMPARE(files.requests().size(), 1);
            QCOMPARE(files.requests().first().defaultName, u"10001.CSV");
            Trigger(pMain, 57665); // "退出系统", answered Yes
        });
        steps.Expect<CEditDialog>(AddStudent(u"2006010001"_s, u"王小红"_s));
        steps.Expect<CEditDialog>(AddStudent(u"2006010002"_s, u"李建国"_s));
        steps.Expect<CEditDialog>([](CEditDialog* pEditor) {
            QCOMPARE(Button(pEditor, 2)->text(), u"退出添加");
            Click(pEditor, 2);
        });

        CQuillmarkApp().InitInstance();
        QCOMPARE(steps.unexpected(), QStringList());
        QCOMPARE(steps.stepsLeft(), 0);
        QStringList texts;
        for (const MessageBoxCall& call : messages.calls())
            texts << call.text;
        QCOMPARE(texts,
                 (QStringList{u"文件已经生成，是否现在就查看内容。"_s, u"这将退出登记软件，是否真的要退出吗?"_s}));
    }

    QCOMPARE(shownRows.size(), 2);
    QCOMPARE(shownRows[0][Field::XSBSH], u"2006010001");
    QCOMPARE(shownRows[0][Field::XM], u"王小红");
    QCOMPARE(shownRows[1][Field::XSBSH], u"2006010002");
    QCOMPARE(shownRows[1][Field::XM], u"李建国");
    QCOMPARE(shownRows[0][Field::YXDM], kCode);

    // The exported file: GBK, the header of field names, then each record as the list shows it.
    std::string strExpected = "XSBSH,YXDM,ZYDM,XM,XBDM,CSNY,XLDM,ZXWYYZDM,BYSJ,SYSZDQDM,WYSPDM,DZXX,ZZMMDM,YXGZDQDM,"
                              "YXDWXZDM,YXDWHYDM,YXYX,YXZYLBM,LXDH,SJHM,TXDZ,YZBM,BZ,JICENG\r\n";
    for (const QStringList& row : shownRows)
        strExpected += Gbk(row.join(u',').toUtf8().constData()) + "\r\n";
    QCOMPARE(ReadFileBytes(csvPath), strExpected);

    // Next day: a wrong password is refused, the right one shows both records as they were.
    {
        MessageRecorder messages;
        ModalSteps steps;
        QList<QStringList> rowsAfterLogin;
        steps.Expect<CLoginDialog>([&messages](CLoginDialog* pLogin) {
            TypeText(FindById<QLineEdit>(pLogin, 1001), kCode);
            TypeText(FindById<QLineEdit>(pLogin, 1002), u"2469"_s);
            Click(pLogin, 1);
            QCOMPARE(messages.count(), 1);
            QCOMPARE(messages.last().text, u"密码不正确，请检查。");
            QVERIFY(pLogin->isVisible());
            Retype(pLogin, 1002, kPassword);
            Click(pLogin, 1);
        });
        steps.Expect<CMainDialog>([&rowsAfterLogin](CMainDialog* pMain) {
            Trigger(pMain, 32787);
            rowsAfterLogin = ListTexts(pMain);
            Trigger(pMain, 57665);
        });
        CQuillmarkApp().InitInstance();
        QCOMPARE(steps.unexpected(), QStringList());
        QCOMPARE(steps.stepsLeft(), 0);
        QCOMPARE(rowsAfterLogin, shownRows);
        QCOMPARE(messages.count(), 2); // the refusal and the exit question
    }
}

QTEST_MAIN(TestNewcomerWalk)
#include "NewcomerWalkTest.moc"
