#pragma once

#include <string>

#include <QString>

#include "platform/Types.h"

class QWidget;

// What the windows say about the files they write and read.

// A file error in a box captioned "错误".
void ShowFileError(QWidget* pParent, const QString& text);
// The path as the user writes it.
QString NativePath(const QString& path);
// Why a file call failed, in the program's words.
QString ReasonOf(DWORD dwCode);

// Writes an exported file whole or not at all: an existing file keeps its bytes when anything
// fails, and the program's own data files (of the school strCode) are never a target. False after
// the failure was shown.
bool WriteExport(QWidget* pParent, const QString& path, const std::string& strBytes, const std::string& strCode);
