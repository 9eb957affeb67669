#include "core/SchoolDatabase.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "core/DataFileNote.h"
#include "core/SchoolBackups.h"
#include "core/SchoolHold.h"
#include "core/SchoolPaths.h"
#include "core/StudentSchema.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"
#include "platform/WriteBehind.h"

namespace
{
constexpr std::string_view MAGIC = "OKAY\r\n";
constexpr std::size_t KEY_LENGTH = 8;

// XOR with the first 8 password bytes (zero-padded), byte i of the file with key byte i mod 8; its
// own inverse. nOffset is where the bytes lie in the file, so that a file may be scrambled in
// pieces. An empty password leaves the text plain.
void Scramble(char* p, std::size_t nSize, const std::string& strPassword, std::size_t nOffset = 0)
{
    if (strPassword.empty())
        return;
    unsigned char key[KEY_LENGTH] = {};
    std::memcpy(key, strPassword.data(), std::min(strPassword.size(), KEY_LENGTH));
    std::size_t i = 0;
    for (; i < nSize && (nOffset + i) % KEY_LENGTH != 0; ++i)
        p[i] = static_cast<char>(p[i] ^ key[(nOffset + i) % KEY_LENGTH]);
    std::uint64_t nKeyWord = 0; // the key in memory order, for whole 8-byte blocks
    std::memcpy(&nKeyWord, key, KEY_LENGTH);
    for (; i + KEY_LENGTH <= nSize; i += KEY_LENGTH)
    {
        std::uint64_t nWord = 0;
        std::memcpy(&nWord, p + i, KEY_LENGTH);
        nWord ^= nKeyWord;
        std::memcpy(p + i, &nWord, KEY_LENGTH);
    }
    for (; i < nSize; ++i)
        p[i] = static_cast<char>(p[i] ^ key[(nOffset + i) % KEY_LENGTH]);
}

// Reads the data file, unscrambling each piece as it arrives; pMarker (optional) takes the mark of the
// bytes as they lie on disk.
DWORD ReadPlainText(const std::string& strPath, const std::string& strPassword, std::string& strText,
                    FileIdentity& identity, CFileMarker* pMarker)
{
    return ReadRegularFile(strPath, strText, &identity, [&](char* pPiece, std::size_t nSize, std::size_t nOffset) {
        if (pMarker != nullptr)
            pMarker->Add(std::string_view(pPiece, nSize));
        Scramble(pPiece, nSize, strPassword, nOffset);
    });
}

// Whether the header line names every student field, in any order. The magic checks only the
// first six key bytes; a password wrong in a later byte garbles the names, and so is caught here.
bool HeaderNamesEveryField(std::string_view text)
{
    const auto nLineEnd = text.find("\r\n");
    if (nLineEnd == std::string_view::npos)
        return false;
    const std::string_view header = text.substr(0, nLineEnd);
    std::vector<std::string_view> names;
    for (std::size_t nStart = 0;;)
    {
        const auto nTab = header.find('\t', nStart);
        names.push_back(header.substr(nStart, nTab - nStart));
        if (nTab == std::string_view::npos)
            break;
        nStart = nTab + 1;
    }
    return std::all_of(std::begin(g_studentFields), std::end(g_studentFields), [&](const STUDENTFIELD& field) {
        return std::find(names.begin(), names.end(), field.lpcszName) != names.end();
    });
}

// A header line that the file's end cut short: the names before the cut are field names, the last
// piece starts one. A password wrong in a later key byte garbles the first name instead.
bool IsCutHeader(std::string_view text)
{
    if (text.find('\n') != std::string_view::npos)
        return false;
    if (text.ends_with('\r'))
        text.remove_suffix(1);
    const auto nLastTab = text.rfind('\t');
    const std::string_view last = nLastTab == std::string_view::npos ? text : text.substr(nLastTab + 1);
    const auto isField = [](std::string_view name, bool bPrefix) {
        return std::any_of(std::begin(g_studentFields), std::end(g_studentFields), [&](const STUDENTFIELD& field) {
            const std::string_view fieldName = field.lpcszName;
            return bPrefix ? fieldName.starts_with(name) : fieldName == name;
        });
    };
    if (!isField(last, true))
        return false;
    for (std::size_t nStart = 0; nLastTab != std::string_view::npos && nStart <= nLastTab;)
    {
        const auto nTab = text.find('\t', nStart);
        if (!isField(text.substr(nStart, nTab - nStart), false))
            return false;
        nStart = nTab + 1;
    }
    return true;
}

// Whether the file's bytes (their mark) are those its note describes; a file without a note is taken
// as it is.
bool MatchesNote(const std::string& strCode, const FileMark& mark, const CSchoolHold* pHold)
{
    const std::optional<std::vector<FileMark>> marks = ParseFileNote(ReadSchoolNote(strCode, pHold));
    return !marks || std::find(marks->begin(), marks->end(), mark) != marks->end();
}

// Before the new file takes the old one's place: the note names both, so that whichever an
// interruption leaves in place still matches it.
DWORD NoteBothFiles(const std::string& strCode, const FileMark& written, CSchoolHold& hold)
{
    std::vector<FileMark> marks = ParseFileNote(ReadSchoolNote(strCode, &hold)).value_or(std::vector<FileMark>{});
    if (marks.size() > 1)
        marks.erase(marks.begin(), marks.end() - 1); // an interrupted save's pair: the last is the file now
    marks.push_back(written);
    return hold.WriteNote(MakeFileNote(marks), true);
}

// Every file the program writes ends with a whole line and holds no NUL byte: anything else was
// cut short or overwritten, and loading it would make the loss permanent at the next save.
bool IsWholeText(std::string_view text)
{
    return text.ends_with("\r\n") && text.find('\0') == std::string_view::npos;
}

bool HasStudentColumns(const CMemTable& table)
{
    if (table.GetColCount() != STUDENT_FIELD_COUNT)
        return false;
    for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
        if (std::string_view(table.GetColName(nCol)) != g_studentFields[nCol].lpcszName)
            return false;
    return true;
}

// Gives the target the source's rows, each target column taking the source column of its name
// (empty when the source has none).
void CopyRowsByColumnName(const CMemTable& source, CMemTable& target)
{
    std::vector<int> sourceCols;
    for (int nCol = 0; nCol < target.GetColCount(); ++nCol)
        sourceCols.push_back(source.GetColIndex(target.GetColName(nCol)));
    target.AddRows(source.GetRowCount());
    for (int nRow = 0; nRow < source.GetRowCount(); ++nRow)
        for (int nCol = 0; nCol < target.GetColCount(); ++nCol)
            if (sourceCols[static_cast<std::size_t>(nCol)] >= 0)
                target.SetCell(nRow, nCol, source.GetCell(nRow, sourceCols[static_cast<std::size_t>(nCol)]));
}

// Parses the table text (the file's plain bytes from nStart on) into the student table, placing the
// columns by name.
BOOL ParseStudentText(std::string&& strText, std::size_t nStart, CMemTable& table)
{
    // A file written by the program lists the student columns in record order: its bytes become
    // the table's own, with no copy.
    std::string strError;
    if (!table.LoadOwnText(std::move(strText), nStart, strError))
    {
        CreateStudentTable(table); // a failed parse leaves the table empty with its columns
        return FailWith(ERROR_INVALID_DATA);
    }
    if (HasStudentColumns(table))
        return TRUE;
    CMemTable fileTable;
    fileTable.AppendTable(std::move(table));
    if (!CreateStudentTable(table))
        return FailWith(ERROR_INTERNAL_ERROR);
    CopyRowsByColumnName(fileTable, table);
    return TRUE;
}

// Loads the file's plain text (magic included) into the table, or gives the failure code.
BOOL LoadPlainText(std::string strText, CMemTable& table)
{
    if (strText.size() <= MAGIC.size())
        return FailWith(ERROR_FILE_CORRUPT); // every file the program writes has a header line after its magic
    if (!std::string_view(strText).starts_with(MAGIC))
        return FailWith(ERROR_INVALID_PASSWORD); // the table keeps what it held
    const std::string_view text = std::string_view(strText).substr(MAGIC.size());
    if (!HeaderNamesEveryField(text))
        return FailWith(IsCutHeader(text) ? ERROR_FILE_CORRUPT : ERROR_INVALID_PASSWORD);
    if (!IsWholeText(text))
        return FailWith(ERROR_FILE_CORRUPT);
    return ParseStudentText(std::move(strText), MAGIC.size(), table);
}
} // namespace

BOOL LoadSchoolDatabase(const std::string& strCode, const std::string& strPassword, CMemTable& table,
                        bool bAcceptChangedFile, CSchoolHold* pHold)
{
    if (pHold != nullptr && !pHold->Holds(strCode))
        pHold = nullptr; // a hold of another school knows nothing of this one
    const std::string strPath = GetSchoolDatabasePath(strCode);
    if (strPath.empty())
        return FALSE; // the last error is set
    std::string strText;
    FileIdentity identity;
    CFileMarker marker;
    if (const DWORD dwCode = ReadPlainText(strPath, strPassword, strText, identity, &marker);
        dwCode == ERROR_FILE_NOT_FOUND)
    {
        if (pHold != nullptr)
            pHold->RememberFile(FileIdentity{});
        return CreateStudentTable(table); // a school without records yet
    }
    else if (dwCode != ERROR_SUCCESS)
        return FailWith(dwCode); // the table keeps what it held
    if (!bAcceptChangedFile && !MatchesNote(strCode, marker.Mark(), pHold))
    {
        // A wrong password or damaged text is the surer finding: it is told first.
        CMemTable checked;
        return LoadPlainText(std::move(strText), checked) ? FailWith(ERROR_DATA_CHECKSUM_ERROR) : FALSE;
    }
    if (!LoadPlainText(std::move(strText), table))
        return FALSE;
    if (pHold != nullptr)
        pHold->RememberFile(identity);
    return TRUE;
}

BOOL LoadDatabaseFile(const std::string& strPath, const std::string& strPassword, CMemTable& table,
                      FileIdentity* pIdentity)
{
    std::string strText;
    FileIdentity identity;
    const DWORD dwCode = ReadPlainText(strPath, strPassword, strText, identity, nullptr);
    if (pIdentity != nullptr)
        *pIdentity = dwCode == ERROR_SUCCESS ? identity : FileIdentity{};
    if (dwCode == ERROR_FILE_NOT_FOUND)
        return CreateStudentTable(table); // a school without records yet
    if (dwCode != ERROR_SUCCESS)
        return FailWith(dwCode); // the table keeps what it held
    return LoadPlainText(std::move(strText), table);
}

BOOL LoadDatabaseBytes(std::string strText, const std::string& strPassword, CMemTable& table)
{
    Scramble(strText.data(), strText.size(), strPassword);
    return LoadPlainText(std::move(strText), table);
}

SaveResult SaveSchoolDatabase(const std::string& strCode, const CMemTable& table, const std::string& strPassword,
                              CSchoolHold* pHold)
{
    if (table.GetColCount() == 0)
    {
        SetLastError(ERROR_INVALID_DATA);
        return {ERROR_INVALID_DATA}; // no header line, no table text
    }
    // The text is scrambled and written a block at a time as it is made: no copy of the whole file.
    // Each block is marked and written on a thread of its own while the next one is made.
    const ContentWriter content = [&](const WriteFunction& write) {
        CWriteBehind behind(write);
        std::size_t nOffset = 0;
        const auto scrambleAndWrite = [&](std::string& block) {
            Scramble(block.data(), block.size(), strPassword, nOffset);
            nOffset += block.size();
            return behind.Write(block);
        };
        std::string strMagic(MAGIC);
        DWORD dwCode = scrambleAndWrite(strMagic);
        try
        {
            if (dwCode == ERROR_SUCCESS)
                dwCode = table.WriteInBlocks(scrambleAndWrite);
        }
        catch (const std::bad_alloc&)
        {
            dwCode = ERROR_INVALID_DATA;
        }
        const DWORD dwWritten = behind.Finish();
        return dwCode != ERROR_SUCCESS ? dwCode : dwWritten;
    };
    const SaveResult saved = WriteSchoolFile(strCode, content, pHold);
    if (!saved)
        SetLastError(saved.dwError);
    return saved;
}

SaveResult WriteSchoolFileBytes(const std::string& strCode, std::string_view bytes, CSchoolHold* pHold)
{
    return WriteSchoolFile(
        strCode, [bytes](const WriteFunction& write) { return write(bytes); }, pHold);
}

SaveResult WriteSchoolFile(const std::string& strCode, const ContentWriter& content, CSchoolHold* pHold)
{
    const std::string strPath = GetSchoolDatabasePath(strCode);
    if (strPath.empty())
        return {GetLastError()};
    // Every save holds the writer lock: the note of the file is written under it. A save handed no
    // hold of the school takes the lock for itself.
    CSchoolHold ownHold;
    CSchoolHold& hold = pHold != nullptr && pHold->Holds(strCode) ? *pHold : ownHold;
    if (const DWORD dwCode = hold.Lock(strCode); dwCode != ERROR_SUCCESS)
        return {dwCode};
    // The note's mark is taken of the bytes as they are written.
    CFileMarker marker;
    const ContentWriter markedContent = [&](const WriteFunction& write) {
        return content([&](std::string_view bytes) {
            marker.Add(bytes);
            return write(bytes);
        });
    };
    ReplaceOptions options;
    options.beforeReplace = [&](const std::string&) { return NoteBothFiles(strCode, marker.Mark(), hold); };
    options.newFileMode = 0600; // the scrambling is weak: a new data file is its owner's alone
    // While the school is held, the file must still be the one loaded or saved last through the hold.
    options.pExpected = hold.LoadedFile();
    FileIdentity written;
    const SaveResult saved = ReplaceKeepingBackup(strCode, strPath, markedContent, options, &written);
    if (!saved)
        return saved;
    hold.RememberFile(written);
    // Unsynced: should this be lost, the note still names the new file beside the old.
    hold.WriteNote(MakeFileNote({marker.Mark()}), false);
    return saved;
}
