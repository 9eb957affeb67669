#pragma once

#include <string>
#include <string_view>

#include "core/MemTable.h"
#include "core/SaveResult.h"
#include "platform/FileSystem.h"
#include "platform/Types.h"

class CSchoolHold;

// The promises the load and save keep: docs/guarantees.md, "The data file".
// Loads the school's records; a missing file gives an empty table.
// FALSE: GetLastError() holds the code; the table is unchanged, except after a file whose text
// does not parse (ERROR_INVALID_DATA), which leaves it empty with the student columns. A header
// line that does not name all 24 fields is ERROR_INVALID_PASSWORD, unless it is cut short by the
// file's end; that, a file of 6 bytes or less (no header line at all), and text that does not end
// in CR LF or holds a NUL byte are ERROR_FILE_CORRUPT. A file that the note of its last save
// (DataFileNote.h) does not describe is ERROR_DATA_CHECKSUM_ERROR, unless bAcceptChangedFile; a
// file without a note loads as it is. When pHold has the school, the note is read through its lock
// and the loaded file's identity is remembered in it.
BOOL LoadSchoolDatabase(const std::string& strCode, const std::string& strPassword, CMemTable& table,
                        bool bAcceptChangedFile = false, CSchoolHold* pHold = nullptr);
// LoadSchoolDatabase on a data file at any path (a backup), with the same rules and codes but no note;
// pIdentity (optional) receives the identity of the file read (bExists false when missing).
BOOL LoadDatabaseFile(const std::string& strPath, const std::string& strPassword, CMemTable& table,
                      FileIdentity* pIdentity = nullptr);
// The same on the file's bytes, already read.
BOOL LoadDatabaseBytes(std::string strBytes, const std::string& strPassword, CMemTable& table);
// Writes the whole table scrambled with the password; the previous file survives any failure.
// The file it replaces is kept as a backup first (see SchoolBackups.h); a backup that cannot be
// made does not stop the save, and the result gives its code. A failure also sets the last error.
// Every save of a data file passes here. A new file gets mode 0600, an existing one keeps its mode;
// a read-only file is refused (ERROR_FILE_READ_ONLY). When pHold has the school, the save runs under
// its lock, and a file no longer the one loaded or saved last through it is refused
// (ERROR_FILE_INVALID).
SaveResult SaveSchoolDatabase(const std::string& strCode, const CMemTable& table, const std::string& strPassword,
                              CSchoolHold* pHold = nullptr);
// The last step of every save: writes the data file's bytes (scrambled already) with the rules
// above, keeping the file replaced as a backup, and notes the new file in the lock file. Without a
// hold that has the school, the school's writer lock is taken for the save alone
// (ERROR_LOCK_VIOLATION while another holder has it).
SaveResult WriteSchoolFileBytes(const std::string& strCode, std::string_view bytes, CSchoolHold* pHold = nullptr);
// The same with the bytes made piece by piece.
SaveResult WriteSchoolFile(const std::string& strCode, const ContentWriter& content, CSchoolHold* pHold = nullptr);
