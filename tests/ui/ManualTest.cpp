// The manual the build places beside the program: the help command opens it there, and it holds
// every picture its text shows.
#include "UiTestSupport.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include "platform/ProgramDir.h"
#include "ui/MainDialog.h"
#include "ui/Support/Seams/ShellOpen.h"

using namespace Qt::StringLiterals;

namespace
{
// The directory of the built program (where its manual was copied).
const QString kProgramDir = QString::fromUtf8(VARNHOLT_PROGRAM_DIR);
const QString kManualName = u"Varnholt使用手册.mht"_s;

// The MIME parts of the MHTML file by their Content-Location, decoded.
QMap<QString, QByteArray> ManualParts(const QByteArray& mht)
{
    QMap<QString, QByteArray> parts;
    static const QRegularExpression part(u"Content-Location: file:///([^\r\n]+)\r\n\r\n([A-Za-z0-9+/=\r\n]+)"_s);
    for (const QRegularExpressionMatch& match : part.globalMatch(QString::fromLatin1(mht)))
        parts.insert(match.captured(1), QByteArray::fromBase64(match.captured(2).toLatin1()));
    return parts;
}
} // namespace

class TestManual : public QObject
{
    Q_OBJECT
  private slots:
    void helpCommandOpensTheManualBesideTheProgram()
    {
        const QString path = QDir(kProgramDir).filePath(kManualName);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        SetProgramDirectory(kProgramDir.toStdString());
        QStringList opened;
        SetShellOpenHook([&opened](const QString& document) {
            opened << document;
            return 42;
        });
        MessageRecorder messages;
        CMainDialog dlg;
        dlg.OnHelpTopics();
        SetShellOpenHook({});
        SetProgramDirectory(std::string());
        QCOMPARE(opened, QStringList{path});
        QCOMPARE(messages.count(), 0);
    }

    void manualHoldsEveryPictureItsTextShows()
    {
        QFile file(QDir(kProgramDir).filePath(kManualName));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QMap<QString, QByteArray> parts = ManualParts(file.readAll());
        QVERIFY(parts.contains(u"manual.html"_s));
        const QString html = QString::fromUtf8(parts.value(u"manual.html"_s));
        static const QRegularExpression image(u"<img src=\"([^\"]+)\""_s);
        QStringList pictures;
        for (const QRegularExpressionMatch& match : image.globalMatch(html))
            pictures << match.captured(1);
        QVERIFY(!pictures.isEmpty());
        for (const QString& picture : pictures)
        {
            QVERIFY2(parts.contains(picture), qPrintable(picture));
            QVERIFY2(parts.value(picture).startsWith("\x89PNG\r\n\x1a\n"), qPrintable(picture));
        }
    }
};

QTEST_MAIN(TestManual)
#include "ManualTest.moc"
