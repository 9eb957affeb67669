#pragma once

class QWidget;
struct SaveResult;

// After a successful save or restore: when the file it replaced could not be kept as a backup (the
// result says), says so ("备份失败：..."), unless the backups were failing before already
// (bFailingBefore, the open school's BackupFailing before the save): a backup that keeps failing
// is reported once, not at every save, until a backup works again.
void ReportBackupFailure(QWidget* parent, const SaveResult& saved, bool bFailingBefore);
