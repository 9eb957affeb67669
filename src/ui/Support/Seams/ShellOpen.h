#pragma once

#include <functional>

#include <QString>

// The results of opening a document, numbered as the dialogs' message tables expect them.
namespace ShellResult
{
enum : int
{
    OutOfResources = 0,
    FileNotFound = 2,
    PathNotFound = 3,
    AccessDenied = 5,
    OutOfMemory = 8,
    BadProgram = 11,
    SharingViolation = 26,
    AssociationIncomplete = 27,
    DdeTimeout = 28,
    DdeFailed = 29,
    DdeBusy = 30,
    NoAssociation = 31,
    LibraryMissing = 32,
    Opened = 42 // the value given for success; every result above LibraryMissing is one
};
inline bool IsOpened(int nResult)
{
    return nResult > LibraryMissing;
}
} // namespace ShellResult

// Opens a document, or an address with a scheme such as "https:", with the desktop's program for
// it: ShellResult::Opened, FileNotFound for a missing file, NoAssociation when the desktop refuses.
int UiShellOpen(const QString& path);

// Replaces the desktop (tests record the path and give the result); an empty hook restores it.
void SetShellOpenHook(std::function<int(const QString&)> hook);
