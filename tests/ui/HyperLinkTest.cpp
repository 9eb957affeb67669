#include "ui/HyperLink.h"

#include "UiTestSupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "ui/HyperLinkOpen.h"
#include "ui/Support/Seams/ShellOpen.h"

class TestHyperLink : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void fitsTheRectangleByAlignment_data();
    void fitsTheRectangleByAlignment();
    void takesItsTextAsTargetAndFitsKeepingTheTopLeft();
    void reportsClicksAndOpensNothing();
    void cutsTheCommandLineAtThePlaceholder_data();
    void cutsTheCommandLineAtThePlaceholder();
    void buildsTheArgumentsAndRefusesAnOverlongCommandLine();
    void findsTheDefaultHtmlProgram();
    void fallsBackToTheHtmlProgram();
    void reportsAFailedOpen();

  private:
    void WriteFile(const QString& relativePath, const QByteArray& content);
    std::optional<QTemporaryDir> m_xdg;
};

void TestHyperLink::init()
{
    // Desktop lookups see only the files a test writes.
    m_xdg.emplace();
    qputenv("XDG_CONFIG_HOME", m_xdg->filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_CONFIG_DIRS", m_xdg->filePath(QStringLiteral("etc")).toUtf8());
    qputenv("XDG_DATA_HOME", m_xdg->filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_DATA_DIRS", m_xdg->filePath(QStringLiteral("share")).toUtf8());
    qputenv("XDG_CURRENT_DESKTOP", "Test");
}

void TestHyperLink::cleanup()
{
    SetShellOpenHook({});
    m_xdg.reset();
}

void TestHyperLink::WriteFile(const QString& relativePath, const QByteArray& content)
{
    const QString path = m_xdg->filePath(relativePath);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

void TestHyperLink::fitsTheRectangleByAlignment_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QRect>("fitted");
    // The label stands at (10, 20), 101 x 41; the text measures 40 x 16.
    QTest::newRow("top left keeps the corner") << int(Qt::AlignLeft | Qt::AlignTop) << QRect(10, 20, 40, 16);
    QTest::newRow("right keeps the right edge") << int(Qt::AlignRight | Qt::AlignTop) << QRect(71, 20, 40, 16);
    QTest::newRow("centre keeps the centre") << int(Qt::AlignHCenter | Qt::AlignTop) << QRect(40, 20, 41, 16);
    QTest::newRow("vertical centre") << int(Qt::AlignLeft | Qt::AlignVCenter) << QRect(10, 32, 40, 17);
    QTest::newRow("both centred") << int(Qt::AlignCenter) << QRect(40, 32, 41, 17);
}

void TestHyperLink::fitsTheRectangleByAlignment()
{
    QFETCH(int, alignment);
    QFETCH(QRect, fitted);
    QCOMPARE(FitLinkRect(QRect(10, 20, 101, 41), QSize(40, 16), Qt::Alignment(alignment)), fitted);
    // A text wider than the label grows it the same way, about the same edge or centre.
    const QRect grown = FitLinkRect(QRect(10, 20, 20, 10), QSize(40, 16), Qt::Alignment(alignment));
    QCOMPARE(grown.width(), 40);
}

void TestHyperLink::takesItsTextAsTargetAndFitsKeepingTheTopLeft()
{
    QWidget parent;
    CHyperLink link(QStringLiteral("点击此处查询院校编码"), &parent);
    QCOMPARE(link.GetTarget(), QStringLiteral("点击此处查询院校编码"));
    QCOMPARE(link.toolTip(), link.GetTarget());
    QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);

    link.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    link.setGeometry(10, 20, 400, 60);
    link.FitToText();
    QCOMPARE(link.geometry(), QRect(QPoint(10, 20), link.fontMetrics().size(Qt::TextSingleLine, link.text())));

    link.SetFitToText(false);
    link.setGeometry(10, 20, 400, 60);
    link.SetTarget(QStringLiteral("https://example.org/"));
    QCOMPARE(link.geometry(), QRect(10, 20, 400, 60));
    QCOMPARE(link.toolTip(), QStringLiteral("https://example.org/"));
}

void TestHyperLink::reportsClicksAndOpensNothing()
{
    int nOpened = 0;
    SetShellOpenHook([&nOpened](const QString&) { return ++nOpened, 42; });
    CHyperLink link(QStringLiteral("点击此处查询院校编码"));
    link.show();
    QSignalSpy clicks(&link, &CHyperLink::clicked);
    QTest::mouseClick(&link, Qt::LeftButton);
    QTest::mouseClick(&link, Qt::RightButton);
    QCOMPARE(clicks.count(), 1);
    link.setFocus();
    QTest::keyClick(&link, Qt::Key_Space);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(nOpened, 0);
    QVERIFY(!link.IsVisited());
}

void TestHyperLink::cutsTheCommandLineAtThePlaceholder_data()
{
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QString>("cut");
    QTest::newRow("bare") << u"firefox-esr %u"_qs << u"firefox-esr "_qs;
    QTest::newRow("quoted, tail dropped") << u"browser \"%U\" --tail"_qs << u"browser "_qs;
    QTest::newRow("quoted wins over an earlier bare") << u"b %f --x \"%u\" y"_qs << u"b %f --x "_qs;
    QTest::newRow("other codes are no cut") << u"b %i --name %c %F"_qs << u"b %i --name %c "_qs;
    QTest::newRow("escaped percent") << u"b %%u %F"_qs << u"b %%u "_qs;
    QTest::newRow("no placeholder") << u"viewer --open"_qs << u"viewer --open"_qs;
}

void TestHyperLink::cutsTheCommandLineAtThePlaceholder()
{
    QFETCH(QString, exec);
    QFETCH(QString, cut);
    QCOMPARE(CutAtPlaceholder(exec), cut);
}

void TestHyperLink::buildsTheArgumentsAndRefusesAnOverlongCommandLine()
{
    const QString target = QStringLiteral("https://example.org/a b");
    QCOMPARE(OpenCommandArguments(u"\"/opt/My Browser/b\" --new %i %%x \"%U\" tail"_qs, target),
             (QStringList{u"/opt/My Browser/b"_qs, u"--new"_qs, u"%x"_qs, target}));
    QVERIFY(OpenCommandArguments(u"%u"_qs, target).isEmpty());

    // Cut line, a space and the target: 519 bytes run, 520 do not.
    const QString program = QStringLiteral("/bin/") + QString(500, u'p');
    const QString fits(519 - 1 - int(program.size()) - 1, u't'); // "program " + " " + target
    QCOMPARE(OpenCommandArguments(program + u" %u"_qs, fits).size(), 2);
    QVERIFY(OpenCommandArguments(program + u" %u"_qs, fits + u't').isEmpty());
    QVERIFY(
        OpenCommandArguments(program + u" %u"_qs, QStringLiteral("点").repeated(int(fits.size()) / 3 + 1)).isEmpty());
}

void TestHyperLink::findsTheDefaultHtmlProgram()
{
    QVERIFY(!FindHtmlProgramCommand());
    WriteFile(u"share/applications/cached.desktop"_qs, "[Desktop Entry]\nExec=cached %U\n");
    WriteFile(u"share/applications/mimeinfo.cache"_qs, "[MIME Cache]\ntext/html=cached.desktop;\n");
    QCOMPARE(FindHtmlProgramCommand(), std::optional<QString>(u"cached %U"_qs));

    WriteFile(u"data/applications/chosen.desktop"_qs,
              "[Desktop Action x]\nExec=wrong\n[Desktop Entry]\nExec=chosen %u\n");
    WriteFile(u"config/mimeapps.list"_qs, "[Default Applications]\ntext/html=missing.desktop;chosen.desktop;\n");
    QCOMPARE(FindHtmlProgramCommand(), std::optional<QString>(u"chosen %u"_qs));

    WriteFile(u"config/test-mimeapps.list"_qs, "[Default Applications]\ntext/html=cached.desktop\n");
    QCOMPARE(FindHtmlProgramCommand(), std::optional<QString>(u"cached %U"_qs));
}

void TestHyperLink::fallsBackToTheHtmlProgram()
{
    SetShellOpenHook([](const QString&) { return 31; });
    WriteFile(u"data/applications/touch.desktop"_qs, "[Desktop Entry]\nExec=touch %u\n");
    WriteFile(u"config/mimeapps.list"_qs, "[Default Applications]\ntext/html=touch.desktop\n");
    const QString opened = m_xdg->filePath(QStringLiteral("opened by the fallback"));
    QVERIFY(CHyperLink::ShellOpen(opened) > 32);
    QTRY_VERIFY(QFile::exists(opened));
}

void TestHyperLink::reportsAFailedOpen()
{
    MessageRecorder messages;
    SetShellOpenHook([](const QString&) { return 2; });
    CHyperLink link(QStringLiteral("missing.htm"));
    link.OpenTarget();
    QVERIFY(!link.IsVisited());
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, u"Unable to open hyperlink:\n\nThe specified file was not found."_qs);
    QCOMPARE(messages.last().icon, MsgIcon::Exclamation);

    link.ShowOpenError(7);
    QCOMPARE(messages.last().text, u"Unable to open hyperlink:\n\nUnknown Error (7) occurred."_qs);

    SetShellOpenHook([](const QString&) { return 42; });
    link.OpenTarget();
    QVERIFY(link.IsVisited());
    QCOMPARE(messages.count(), 2);
}

QTEST_MAIN(TestHyperLink)
#include "HyperLinkTest.moc"
