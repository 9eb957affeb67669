#pragma once

#include <string>

#include <QString>

#include "platform/Types.h"

class QWidget;

// The logged-in school: code and password as accepted at login; every save uses them.
struct SchoolKey
{
    std::string strCode;
    std::string strPassword;
};

// Saves g_memStudents to the school's data file. A failure is shown (caption "错误") naming the
// file and the reason; the change stays in memory and the next save writes it. Returns success.
bool SaveStudentsOrReport(QWidget* parent, const SchoolKey& key);

// The reason shown in a file failure message for a last-error code ("磁盘空间不足", ...).
QString FileErrorReason(DWORD dwCode);

// After a successful save: when the file it replaced could not be kept as a backup, says so
// ("备份失败：..."). A backup that keeps failing is reported once, not at every save, until a
// backup works again.
void ReportBackupFailure(QWidget* parent);
