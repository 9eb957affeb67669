#pragma once

#include <string>
#include <vector>

#include <QDialog>

#include "core/SchoolBackups.h"

class COpenSchool;
class QLabel;
class QPushButton;
class QTableWidget;

// 文件 → 恢复备份...: the school's backups, last written first, with their time, what the save that
// made them was for, record count and file size, and a preview of the first rows of the one
// selected. Backups that the current password does not open, or that are damaged, are listed and
// marked. OK (恢复) asks for the password of a backup the current one does not open, then for
// confirmation, and ends the dialog with the chosen backup and its password; the caller restores it.
class CRestoreDialog : public QDialog
{
    Q_OBJECT
  public:
    explicit CRestoreDialog(const COpenSchool& school, QWidget* pParent = nullptr);

    // The id of the backup chosen for restoring (after Accepted).
    const std::string& GetChosenId() const { return m_strChosenId; }
    // The password the chosen backup opens with (GBK): the current one unless the user gave another.
    const std::string& GetBackupPassword() const { return m_strBackupPassword; }

    void accept() override { OnOK(); }
    // Refuses an unreadable backup with its message; otherwise asks, and on Yes ends the dialog.
    void OnOK();

    // Rows of the preview.
    static constexpr int kPreviewRows = 20;

  private:
    struct Listed
    {
        BackupEntry backup;
        int nRecords = -1; // -1: not readable
        DWORD dwError = 0; // why not: ERROR_INVALID_PASSWORD, or another code for damage
    };
    void FillBackupList();
    // Asks for the password of a backup the current one does not open and checks it; true when it opens.
    bool AskBackupPassword(Listed& listed);
    void ShowPreview();
    int CurrentEntry() const;

    std::string m_strCode;     // the open school's
    std::string m_strPassword; // the open school's current password
    std::vector<Listed> m_entries;
    std::string m_strChosenId;
    std::string m_strBackupPassword;
    QTableWidget* m_lstBackups;
    QTableWidget* m_lstPreview;
    QLabel* m_stcNone;
    QPushButton* m_btnRestore;
};

// The marks of unreadable backups in the list.
QString UnreadableBackupText(DWORD dwError);
