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

// The refusal of an export to one of the program's own data files.
void ShowDataFileRefusal(QWidget* pParent, const QString& path);
// A failed write of an exported file, which leaves an existing file as it was.
void ShowWriteError(QWidget* pParent, const QString& path, DWORD dwCode);

// Writes an exported file whole or not at all: an existing file keeps its bytes when anything
// fails, and the program's own data files (of the school strCode) are never a target. False after
// the failure was shown.
bool WriteExport(QWidget* pParent, const QString& path, const std::string& strBytes, const std::string& strCode);
