#include "ui/AppIcon.h"

// The resource lives in a static library: it must be pulled in by name.
static void InitIconResource()
{
    Q_INIT_RESOURCE(AppIcon);
}

QIcon ApplicationIcon()
{
    InitIconResource();
    QIcon icon;
    for (int nSize : {16, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/icons/varnholt-%1.png").arg(nSize), QSize(nSize, nSize));
    return icon;
}
