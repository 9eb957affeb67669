#pragma once

#include <functional>

#include <QString>

// Opens a document, or an address with a scheme such as "https:", with the desktop's program for it.
// The result is numbered like the shell's results the dialogs expect: above 32 is success, 2 a
// missing file, 31 a refusal of the desktop.
int UiShellOpen(const QString& path);

// Replaces the desktop (tests record the path and give the result); an empty hook restores it.
void SetShellOpenHook(std::function<int(const QString&)> hook);
