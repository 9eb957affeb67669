#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "platform/FatalExit.h"
#include "ui/AppIcon.h"
#include "ui/Quillmark.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/Seams/MessageBox.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Varnholt"));
    QApplication::setApplicationName(QStringLiteral("varnholt"));
    QApplication::setWindowIcon(ApplicationIcon());

    // Standard buttons read "确定", "是", "否", "取消".
    QTranslator translator;
    if (translator.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);

    SetFatalExitHandler([](const char* lpcszText) {
        UiMessageBox(nullptr, FromGbk(lpcszText), QStringLiteral("Varnholt"), MsgButtons::Ok, MsgIcon::Error);
    });

    CQuillmarkApp theApp;
    theApp.InitInstance();
    return 0;
}
