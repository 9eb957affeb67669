// Saving and restoring a window's placement in the application profile (QSettings).
#include <utility>

#include <QDebug>
#include <QSettings>
#include <QWidget>

#include "ui/Layout/LayoutManager.h"

namespace
{
const QString kValid = QStringLiteral("(valid)");

QRect NormalRect(const QWidget* pWindow)
{
    return (pWindow->isMaximized() || pWindow->isFullScreen()) ? pWindow->normalGeometry() : pWindow->geometry();
}

// The state entry: 0 minimised, 1 maximised, -1 normal.
int StateOf(const QWidget* pWindow)
{
    if (pWindow->isMinimized())
        return 0;
    return pWindow->isMaximized() ? 1 : -1;
}
} // namespace

bool CLayoutManager::SaveWindowPosition(QWidget* pWindow, const QString& section)
{
    Q_ASSERT(pWindow && !section.isEmpty());
    const QRect rect = NormalRect(pWindow);
    // Right and bottom are exclusive edges, as the placement has always been stored.
    const std::pair<QString, int> entries[] = {
        {kValid, 0},
        {QStringLiteral("Left"), rect.left()},
        {QStringLiteral("Right"), rect.left() + rect.width()},
        {QStringLiteral("Top"), rect.top()},
        {QStringLiteral("Bottom"), rect.top() + rect.height()},
        {QStringLiteral("Visibility"), pWindow->isVisible() ? 1 : 0},
        {QStringLiteral("State"), StateOf(pWindow)},
        {kValid, 1},
    };
    QSettings settings;
    settings.beginGroup(section);
    for (const auto& [key, nValue] : entries)
    {
        settings.setValue(key, nValue);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return false;
    }
    return true;
}

bool CLayoutManager::RestoreWindowPosition(QWidget* pWindow, const QString& section, unsigned flags)
{
    Q_ASSERT(pWindow && !section.isEmpty());
    QSettings settings;
    settings.beginGroup(section);
    if (settings.value(kValid, 0).toInt() != 1)
        return false;
    const int nState = settings.value(QStringLiteral("State"), -1).toInt();
    const QRect current = NormalRect(pWindow);
    const int nLeft = settings.value(QStringLiteral("Left"), current.left()).toInt();
    const int nRight = settings.value(QStringLiteral("Right"), current.left() + current.width()).toInt();
    const int nTop = settings.value(QStringLiteral("Top"), current.top()).toInt();
    const int nBottom = settings.value(QStringLiteral("Bottom"), current.top() + current.height()).toInt();
    pWindow->showNormal();
    pWindow->setGeometry(nLeft, nTop, nRight - nLeft, nBottom - nTop);
    if (flags & rpState)
    {
        qDebug("*** NOTE[CLayoutManager::RestoreWindowPosition()]: Restoring a window's state is not fully "
               "supported for now - see documentation !");
        if (nState == 1)
            pWindow->showMaximized();
        else if (nState == 0)
            pWindow->showMinimized();
    }
    if (flags & rpVisibility)
    {
        const int nVisibility = settings.value(QStringLiteral("Visibility"), -1).toInt();
        if (nVisibility == 1)
            pWindow->show();
        else if (nVisibility == 0)
            pWindow->hide();
    }
    return true;
}
