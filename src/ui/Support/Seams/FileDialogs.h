#pragma once

#include <functional>

#include <QString>

class QWidget;

struct FileDialogRequest
{
    QWidget* parent = nullptr;
    bool bSave = false;    // save dialog (asks before overwriting) or open dialog
    QString defaultName;   // proposed file name, may be empty
    QString filter;        // e.g. "Excel Files (*.csv)"
    QString defaultSuffix; // e.g. "CSV", appended when the user types none
    QString directory;     // the folder the dialog starts in; empty: the platform's choice
};

// Shows the platform's file dialog; the chosen path, or an empty text when cancelled.
QString UiFileDialog(const FileDialogRequest& request);

// Replaces the real dialog (tests hand the next file name); an empty hook restores it.
void SetFileDialogHook(std::function<QString(const FileDialogRequest&)> hook);
