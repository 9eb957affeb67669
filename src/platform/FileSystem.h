#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

#include "platform/Types.h"

// Its promises (the atomic replace above all) are those of docs/guarantees.md, "What is guaranteed".
// The one file layer: every file the program reads or writes goes through these functions, so the
// same rules hold everywhere. Results are last-error codes (ERROR_SUCCESS: done). Refusals:
//   ERROR_FILE_NOT_FOUND         no such file (and no link of that name)
//   ERROR_CANT_RESOLVE_FILENAME  a symbolic link to nothing, or a loop of links
//   ERROR_DIRECTORY              a directory
//   ERROR_BAD_FILE_TYPE          a FIFO, socket or device (refused without opening or blocking)
//   ERROR_FILE_READ_ONLY         an existing file its owner may not write (replace only)
//   ERROR_FILE_INVALID           the file is no longer the one expected (replace only)
// System failures map through ErrorFromErrno (EFBIG -> ERROR_FILE_TOO_LARGE, ENOSPC -> ERROR_DISK_FULL).

// What tells one file apart from its successors: a replace makes a new inode; a write in place
// changes the size or the modification time.
struct FileIdentity
{
    bool bExists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    bool operator==(const FileIdentity& other) const;
};

// The identity of the file the path names (links followed). A missing file is an identity too
// (bExists false, ERROR_SUCCESS); a dangling link is ERROR_CANT_RESOLVE_FILENAME.
DWORD GetFileIdentity(const std::string& strPath, FileIdentity& identity);

// Called with each piece of a file as it is read, before the piece joins the bytes read so far;
// nOffset is where the piece lies in the file. It may change the piece's bytes in place: a caller
// that looks at or rewrites every byte does so while the piece is in the processor's cache.
using FilePieceVisitor = std::function<void(char* pPiece, std::size_t nSize, std::size_t nOffset)>;

// Reads the regular file whole into strBytes, links followed. A read that ends before the file's
// size is ERROR_READ_FAULT; no storage, ERROR_NOT_ENOUGH_MEMORY. pIdentity (optional) receives the
// identity of the file that was read; visitPiece (optional) sees every piece, in order.
DWORD ReadRegularFile(const std::string& strPath, std::string& strBytes, FileIdentity* pIdentity = nullptr,
                      const FilePieceVisitor& visitPiece = nullptr);

struct ReplaceOptions
{
    // The permissions of a file that does not exist yet; an existing file keeps its own.
    mode_t newFileMode = 0644;
    // The file gets newFileMode even when it exists, and an existing read-only file is replaced
    // too: for files whose permissions follow the caller's own rule rather than the old file's.
    bool bTakeNewMode = false;
    // When given, the target must still be this file (or still be missing); else ERROR_FILE_INVALID.
    const FileIdentity* pExpected = nullptr;
    // Called with the resolved target once the new content is safely on disk, just before it takes
    // the target's place; a code other than ERROR_SUCCESS abandons the replace with that code.
    std::function<DWORD(const std::string& strTarget)> beforeReplace;
};

// Replaces the file's content without ever leaving it damaged: the bytes go to "<target>.tmp-PID-N"
// in the target's own directory, which is synced, given the target's mode (and owner where
// permitted), and renamed over the target; then the directory is synced. A symbolic link is
// resolved and its target replaced, never the link. On failure the previous file is byte for byte
// as it was and no temporary file remains. A missing directory gives ERROR_PATH_NOT_FOUND.
// pWritten (optional) receives the identity of the new file.
DWORD ReplaceFileAtomically(const std::string& strPath, std::string_view bytes, const ReplaceOptions& options = {},
                            FileIdentity* pWritten = nullptr);

// A file's content made piece by piece, so that a large file needs no copy of it whole in memory:
// it calls write() with each piece in order, and returns ERROR_SUCCESS, or the first code other than
// ERROR_SUCCESS that write() returned, or a code of its own when it cannot go on (the replace is then
// abandoned like a failed write).
using WriteFunction = std::function<DWORD(std::string_view bytes)>;
using ContentWriter = std::function<DWORD(const WriteFunction& write)>;

// ReplaceFileAtomically with the content made by a writer.
DWORD ReplaceFileAtomically(const std::string& strPath, const ContentWriter& content,
                            const ReplaceOptions& options = {}, FileIdentity* pWritten = nullptr);

// Removes the temporary files that interrupted replaces of this file left behind ("<name>.tmp-*",
// beside the file and beside its link target). Call only while holding the file's writer lock.
// Returns how many were removed.
int RemoveStaleTemporaries(const std::string& strPath);

// Whether the name is one of the temporary files ReplaceFileAtomically makes for strFileName.
bool IsTemporaryOf(std::string_view name, std::string_view strFileName);

// What a name is by itself, a symbolic link not followed.
enum class PathKind
{
    Missing,
    RegularFile,
    Directory,
    SymbolicLink,
    Other
};

// ERROR_SUCCESS with Missing when nothing has the name; pSize (optional) receives the size.
DWORD InspectPath(const std::string& strPath, PathKind& kind, std::uint64_t* pSize = nullptr);
// Makes a directory with this mode; ERROR_SUCCESS also when the name is taken already (by anything).
DWORD MakeDirectory(const std::string& strPath, mode_t mode);
// Removes a directory if it is empty.
DWORD RemoveEmptyDirectory(const std::string& strPath);
// Gives the file a second name (a hard link); ERROR_FILE_EXISTS when strNewPath is taken, which
// stays as it was.
DWORD LinkFile(const std::string& strPath, const std::string& strNewPath);
DWORD RemoveFile(const std::string& strPath);
DWORD SetFileMode(const std::string& strPath, mode_t mode);
