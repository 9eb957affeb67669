#pragma once

class QWidget;
struct SaveResult;

// After a successful save: when the file it replaced could not be kept as a backup (the save's
// result says), says so ("备份失败：..."). A backup that keeps failing is reported once, not at
// every save, until a backup works again.
void ReportBackupFailure(QWidget* parent, const SaveResult& saved);
