#pragma once

#include <optional>

#include <QString>
#include <QStringList>

// Opening a link target with the desktop's web browser when the desktop's own opening fails.

// The longest command line that is run (bytes of UTF-8, as a buffer of 520 bytes with its end mark).
constexpr int kMaxOpenCommandLine = 519;

// The Exec line of the desktop's default program for "text/html", from the mimeapps.list files
// (desktop-specific ones first) or else the mimeinfo.cache of the application directories.
std::optional<QString> FindHtmlProgramCommand();

// The Exec line cut before its first file or URL placeholder (%u, %U, %f, %F): the first one
// enclosed in double quotes, cut at its opening quote, else the first bare one; unchanged when
// there is none. "%%" is a literal percent sign, never a placeholder.
QString CutAtPlaceholder(const QString& exec);

// The program and arguments that open the target: the words of the cut Exec line (lone field codes
// such as %i dropped, "%%" read as "%"), then the target as one more argument. Empty when the
// command line (cut line, a space, the target) would exceed kMaxOpenCommandLine bytes or holds no
// program: a cut-off command line is never run.
QStringList OpenCommandArguments(const QString& exec, const QString& target);
