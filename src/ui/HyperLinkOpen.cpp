#include "ui/HyperLinkOpen.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace
{
const QString kHtmlType = QStringLiteral("text/html");

QStringList EnvDirs(const char* lpcszName, const QString& fallback)
{
    const QString value = qEnvironmentVariable(lpcszName);
    QStringList dirs;
    for (const QString& dir : (value.isEmpty() ? fallback : value).split(u':', Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(dir))
            dirs << dir;
    return dirs;
}

QString EnvDir(const char* lpcszName, const QString& homeRelative)
{
    const QString value = qEnvironmentVariable(lpcszName);
    return QDir::isAbsolutePath(value) ? value : QDir::homePath() + homeRelative;
}

QStringList ApplicationDirs()
{
    QStringList dirs{EnvDir("XDG_DATA_HOME", QStringLiteral("/.local/share"))};
    dirs << EnvDirs("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (QString& dir : dirs)
        dir += QStringLiteral("/applications");
    return dirs;
}

// The value of key in [group] of a desktop-style key file (first occurrence), or nullopt.
std::optional<QString> ReadKey(const QString& path, const QString& group, const QString& key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool bInGroup = false;
    while (!file.atEnd())
    {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'['))
            bInGroup = line == u'[' + group + u']';
        else if (bInGroup && line.section(u'=', 0, 0).trimmed() == key)
            return line.section(u'=', 1).trimmed();
    }
    return std::nullopt;
}

// The Exec line of the first listed desktop entry that exists in an application directory.
std::optional<QString> FirstExec(const QString& list, const QStringList& appDirs)
{
    for (const QString& id : list.split(u';', Qt::SkipEmptyParts))
        for (const QString& dir : appDirs)
            if (auto exec = ReadKey(dir + u'/' + id, QStringLiteral("Desktop Entry"), QStringLiteral("Exec")))
                return exec;
    return std::nullopt;
}

QStringList MimeAppsLists()
{
    QStringList desktops;
    for (const QString& name : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts))
        desktops << name.toLower() + QStringLiteral("-mimeapps.list");
    desktops << QStringLiteral("mimeapps.list");

    QStringList dirs{EnvDir("XDG_CONFIG_HOME", QStringLiteral("/.config"))};
    dirs << EnvDirs("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg")) << ApplicationDirs();
    QStringList files;
    for (const QString& dir : dirs)
        for (const QString& name : desktops)
            files << dir + u'/' + name;
    return files;
}

bool IsFileOrUrlCode(QChar ch)
{
    return ch == u'u' || ch == u'U' || ch == u'f' || ch == u'F';
}
} // namespace

std::optional<QString> FindHtmlProgramCommand()
{
    const QStringList appDirs = ApplicationDirs();
    for (const QString& list : MimeAppsLists())
        if (auto defaults = ReadKey(list, QStringLiteral("Default Applications"), kHtmlType))
            if (auto exec = FirstExec(*defaults, appDirs))
                return exec;
    for (const QString& dir : appDirs)
        if (auto cached = ReadKey(dir + QStringLiteral("/mimeinfo.cache"), QStringLiteral("MIME Cache"), kHtmlType))
            if (auto exec = FirstExec(*cached, appDirs))
                return exec;
    return std::nullopt;
}

QString CutAtPlaceholder(const QString& exec)
{
    qsizetype firstBare = -1;
    for (qsizetype i = 0; i + 1 < exec.size(); ++i)
    {
        if (exec[i] != u'%')
            continue;
        if (IsFileOrUrlCode(exec[i + 1]))
        {
            if (i > 0 && exec[i - 1] == u'"' && i + 2 < exec.size() && exec[i + 2] == u'"')
                return exec.left(i - 1);
            if (firstBare < 0)
                firstBare = i;
        }
        ++i; // the code letter, or the second '%' of "%%"
    }
    return firstBare < 0 ? exec : exec.left(firstBare);
}

QStringList OpenCommandArguments(const QString& exec, const QString& target)
{
    const QString cut = CutAtPlaceholder(exec);
    if ((cut + u' ' + target).toUtf8().size() > kMaxOpenCommandLine)
        return {};
    QStringList arguments;
    for (const QString& word : QProcess::splitCommand(cut))
    {
        if (word.size() == 2 && word[0] == u'%' && word[1] != u'%')
            continue; // %i, %c, %k: nothing to put in their place
        arguments << QString(word).replace(QStringLiteral("%%"), QStringLiteral("%"));
    }
    if (arguments.isEmpty())
        return {};
    arguments << target;
    return arguments;
}
