#pragma once

#include <QString>

#include "ui/Support/FileMessages.h"
#include "ui/Support/Seams/FileDialogs.h"

class QWidget;

// The file dialogs of export and import: every type the program reads (or writes) is listed, and
// the dialog starts in the folder used last, else in the user's documents folder (never beside the
// program's data files). The folder of a chosen file is remembered. Empty when cancelled.
QString ChooseExchangeFile(QWidget* pParent, bool bSave, const QString& defaultName = QString());
// Any file dialog of the program's exchanges (exports of reports too) that starts in the folder
// used last, else in the documents folder; the request's own folder is not used.
QString ChooseFileInLastFolder(FileDialogRequest request);
