#include "UiTestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSizeGrip>
#include <QStandardPaths>
#include <QTest>

#include "ui/AboutDialog.h"
#include "ui/Layout/SizingDialog.h"

namespace
{
// A dialog with one control per layout mode, registered from its own initialisation.
class ModesDialog : public CSizingDialog
{
  public:
    explicit ModesDialog(SizeFreedom freedom = sfBoth) : m_freedom(freedom)
    {
        for (int i = 0; i < 4; ++i)
        {
            m_controls[i] = new QLabel(this);
            m_controls[i]->setGeometry(10 + 50 * i, 10, 40, 30);
        }
        resize(300, 200);
    }
    QLabel* m_controls[4];

  protected:
    void OnInitDialog() override
    {
        InitSizing(0, m_freedom, false);
        AddControl(m_controls[0], lmFixed, lmFixed);
        AddControl(m_controls[1], lmStretch, lmStretch);
        AddControl(m_controls[2], lmMove, lmMove);
        AddControl(m_controls[3], lmMoveHalf, lmMoveHalf);
    }

  private:
    SizeFreedom m_freedom;
};

QRect RectOf(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}
} // namespace

class TestLayoutManager : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("VarnholtTest"));
        QCoreApplication::setApplicationName(QStringLiteral("layout"));
        QSettings().clear();
    }

    void controlsFollowTheirModes()
    {
        ModesDialog dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.resize(403, 261); // +103, +61
        QTRY_COMPARE(dlg.size(), QSize(403, 261));
        QCOMPARE(dlg.m_controls[0]->geometry(), RectOf(10, 10, 50, 40));
        QCOMPARE(dlg.m_controls[1]->geometry(), RectOf(60, 10, 100 + 103, 40 + 61));
        QCOMPARE(dlg.m_controls[2]->geometry(), RectOf(110 + 103, 10 + 61, 150 + 103, 40 + 61));
        QCOMPARE(dlg.m_controls[3]->geometry(), RectOf(160 + 51, 10 + 30, 200 + 51, 40 + 30));

        // Back to the start: every control is on its template rectangle again, without drift.
        dlg.resize(300, 200);
        QTRY_COMPARE(dlg.size(), QSize(300, 200));
        QCOMPARE(dlg.m_controls[3]->geometry(), RectOf(160, 10, 200, 40));
        QCOMPARE(dlg.m_controls[1]->geometry(), RectOf(60, 10, 100, 40));
    }

    void windowBelowItsMinimumIsLaidOutAsAtItsMinimum()
    {
        ModesDialog dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QCOMPARE(dlg.minimumSize(), QSize(300, 200));
        dlg.ArrangeControlsFor(QSize(250, 150), QRect(0, 0, 250, 150), false);
        QCOMPARE(dlg.m_controls[1]->geometry(), RectOf(60, 10, 100, 40));
        QCOMPARE(dlg.m_controls[2]->geometry(), RectOf(110, 10, 150, 40));
    }

    void directionWithoutFreedomIsFixed()
    {
        ModesDialog dlg(sfHorizontal);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QCOMPARE(dlg.minimumHeight(), 200);
        QCOMPARE(dlg.maximumHeight(), 200);
        QCOMPARE(dlg.maximumWidth(), QWIDGETSIZE_MAX);
    }

    void limitsAreCheckedAndFitAroundTheCentre()
    {
        ModesDialog dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QRect before = dlg.geometry();
        QVERIFY(!dlg.SetMinMaxSize(QSize(0, 0), QSize(0, 500), true));
        QVERIFY(!dlg.SetMinMaxSize(QSize(400, 100), QSize(350, 500), true));
        QCOMPARE(dlg.geometry(), before);
        QVERIFY(dlg.SetMinMaxSize(QSize(320, 100), QSize(500, 180), true));
        QTRY_COMPARE(dlg.size(), QSize(320, 180));
        QCOMPARE(dlg.geometry().left(), before.left() - 10);
        QCOMPARE(dlg.geometry().top(), before.top() + 10);
        QVERIFY(!dlg.FitSizeToLimits());
    }

    void aboutBoxGrowsByTenPercentAndKeepsItsGripInTheCorner()
    {
        CAboutDialog dlg;
        for (int nShowing = 0; nShowing < 2; ++nShowing)
        {
            dlg.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            QCOMPARE(dlg.minimumSize(), QSize(352, 96)); // the template cannot be undercut
            QCOMPARE(dlg.size(), QSize(352 + 35, 96 + 9));
            const QList<QSizeGrip*> grips = dlg.findChildren<QSizeGrip*>();
            QCOMPARE(grips.size(), 1);
            QCOMPARE(grips[0]->geometry().bottomRight(), dlg.rect().bottomRight());

            dlg.resize(500, 300);
            QTRY_COMPARE(dlg.size(), QSize(500, 300));
            QCOMPARE(grips[0]->geometry().bottomRight(), dlg.rect().bottomRight());
            QCOMPARE(FindById<QPushButton>(&dlg, 1)->geometry(), QRect(256, 12, 80, 26));
            dlg.resize(100, 50);
            QTRY_COMPARE(dlg.size(), QSize(352, 96));

            QTest::mouseClick(FindById<QPushButton>(&dlg, 1), Qt::LeftButton);
            QVERIFY(!dlg.isVisible());
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
        }
    }

    void growsAroundTheCentreWithTheOddPixelRightAndBottom()
    {
        QWidget window;
        window.setGeometry(100, 100, 200, 100);
        QVERIFY(CLayoutManager::GrowWindow(&window, QSize(3, 3)));
        QCOMPARE(window.geometry(), RectOf(99, 99, 302, 202));
        QVERIFY(CLayoutManager::GrowWindow(&window, QSize(-3, -3)));
        QCOMPARE(window.geometry(), RectOf(100, 100, 301, 201));
        QVERIFY(!CLayoutManager::GrowWindow(&window, QSize(-500, 0)));
        QCOMPARE(window.geometry(), RectOf(100, 100, 301, 201));
    }

    void placementIsSavedAndRestoredThroughTheProfile()
    {
        QWidget window;
        window.setGeometry(40, 50, 200, 100);
        QVERIFY(CLayoutManager::SaveWindowPosition(&window, QStringLiteral("Placement")));
        QSettings settings;
        settings.beginGroup(QStringLiteral("Placement"));
        QCOMPARE(settings.value(QStringLiteral("(valid)")).toInt(), 1);
        QCOMPARE(settings.value(QStringLiteral("Right")).toInt(), 240);
        QCOMPARE(settings.value(QStringLiteral("Bottom")).toInt(), 150);
        QCOMPARE(settings.value(QStringLiteral("Visibility")).toInt(), 0);
        QCOMPARE(settings.value(QStringLiteral("State")).toInt(), -1);
        settings.endGroup();

        window.setGeometry(0, 0, 120, 80);
        QVERIFY(
            CLayoutManager::RestoreWindowPosition(&window, QStringLiteral("Placement"), CLayoutManager::rpVisibility));
        QCOMPARE(window.geometry(), QRect(40, 50, 200, 100));
        QVERIFY(!window.isVisible()); // it was saved hidden
    }

    void placementWithoutTheValidMarkIsIgnored()
    {
        QSettings settings;
        settings.setValue(QStringLiteral("Broken/Left"), 5);
        settings.setValue(QStringLiteral("Broken/(valid)"), 0);
        settings.sync();
        QWidget window;
        window.setGeometry(10, 20, 100, 60);
        QVERIFY(!CLayoutManager::RestoreWindowPosition(&window, QStringLiteral("Broken"), 0));
        QVERIFY(!CLayoutManager::RestoreWindowPosition(&window, QStringLiteral("Missing"), 0));
        QCOMPARE(window.geometry(), QRect(10, 20, 100, 60));
    }
};

QTEST_MAIN(TestLayoutManager)
#include "LayoutManagerTest.moc"
