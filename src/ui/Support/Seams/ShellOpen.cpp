#include "ui/Support/Seams/ShellOpen.h"

#include <utility>

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace
{
std::function<int(const QString&)>& Hook()
{
    static std::function<int(const QString&)> hook;
    return hook;
}
} // namespace

void SetShellOpenHook(std::function<int(const QString&)> hook)
{
    Hook() = std::move(hook);
}

int UiShellOpen(const QString& path)
{
    if (Hook())
        return Hook()(path);
    if (QFileInfo::exists(path))
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? ShellResult::Opened : ShellResult::NoAssociation;
    // An address such as "https://..." or "mailto:..." (a one-letter scheme would be a drive name).
    const QUrl url(path, QUrl::StrictMode);
    if (url.isValid() && url.scheme().size() > 1)
        return QDesktopServices::openUrl(url) ? ShellResult::Opened : ShellResult::NoAssociation;
    return ShellResult::FileNotFound;
}
