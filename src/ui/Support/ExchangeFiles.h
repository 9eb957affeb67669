#pragma once

#include <QString>

#include "exchange/WorkbookImport.h"
#include "platform/Types.h"

class QWidget;

// The file dialogs of export and import: every type the program reads (or writes) is listed, and
// the dialog starts in the folder used last, else in the user's documents folder (never beside the
// program's data files). The folder of a chosen file is remembered. Empty when cancelled.
QString ChooseExchangeFile(QWidget* pParent, bool bSave, const QString& defaultName = QString());

ExchangeFormat FormatOf(const QString& path);
QString NativePath(const QString& path);
// The platform's reason for an error code, in the program's words.
QString ReasonOf(DWORD dwCode);
// A file error shown with the caption "错误".
void ShowFileError(QWidget* pParent, const QString& text);
