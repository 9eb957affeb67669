#include "ui/Support/CodeNameDisplay.h"

#include <QSettings>

#include "core/DataFunc.h"
#include "ui/Support/GbkText.h"

namespace
{
const QString kSettingKey = QStringLiteral("display/codeNames");

bool ShowsName(int nField, bool bNames)
{
    return bNames && g_studentFields[nField].pTable != nullptr;
}
} // namespace

bool ShowsCodeNames()
{
    return QSettings().value(kSettingKey, false).toBool();
}

void SetShowsCodeNames(bool bNames)
{
    QSettings().setValue(kSettingKey, bNames);
}

std::string ListCellBytes(int nField, const char* lpcszCell, bool bNames)
{
    if (!ShowsName(nField, bNames))
        return lpcszCell;
    return LookupCodeName(lpcszCell, g_studentFields[nField].pTable);
}

QString ListCellText(int nField, const char* lpcszCell, bool bNames)
{
    return FromGbk(ListCellBytes(nField, lpcszCell, bNames));
}

QString ListCellToolTip(int nField, const char* lpcszCell, bool bNames)
{
    return ShowsName(nField, bNames) ? FromGbk(lpcszCell) : QString();
}
