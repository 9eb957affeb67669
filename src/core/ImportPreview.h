#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "core/ColumnMapping.h"
#include "core/StoredRecordCheck.h"

class CMemTable;
struct ImportedRecords;

// How the records of a file are checked before they are stored.
enum class ImportCheck
{
    None,       // not at all (every record passes)
    Records,    // the editor's checks; a number repeated within the file fails at its second record
    WithStored, // the same, and a number already stored fails too (as the editor's add mode does)
};

// What an import would do: which records pass the editor's checks and which student numbers are
// stored already, with how many of their fields the file would change. Nothing is stored.
class CImportPreview
{
  public:
    struct Failing
    {
        int nRecord; // row of the imported records
        StoredRecordProblems problems;
    };

    // stored: the school's records. mapping: the fields the file has (an update changes only them).
    CImportPreview(const ImportedRecords& records, const CMemTable& stored, const ColumnMapping& mapping,
                   ImportCheck check);

    int RecordCount() const { return static_cast<int>(m_passes.size()); }
    int PassingCount() const { return RecordCount() - static_cast<int>(m_failing.size()); }
    // In record order.
    const std::vector<Failing>& FailingRecords() const { return m_failing; }
    bool Passes(int nRecord) const { return m_passes[static_cast<std::size_t>(nRecord)]; }
    // The stored row with the record's student number (the first such row), or -1.
    int StoredRowOf(int nRecord) const { return m_storedRows[static_cast<std::size_t>(nRecord)]; }
    int StoredCount() const { return m_nStored; }
    // How many of the mapped fields of the stored record an update would change.
    int ChangedFields(int nRecord) const;
    int TotalChangedFields() const { return m_nChangedFields; }

  private:
    std::vector<bool> m_passes;
    std::vector<int> m_storedRows;
    std::unordered_map<int, int> m_changedFields; // record -> fields, for records already stored
    std::vector<Failing> m_failing;
    int m_nStored = 0;
    int m_nChangedFields = 0;
};

// Which records go in: every one as read, or only those that pass the checks.
enum class ImportScope
{
    All,
    PassingOnly
};

// What becomes of a record whose student number is stored already.
enum class StoredChoice
{
    Update, // the stored record takes the file's values for the fields the file has
    Skip,
    Append // a new record beside the stored one
};

// The changes an import makes, decided before any is made.
struct ImportActions
{
    std::vector<std::pair<int, int>> updates; // (record, stored row), in record order
    std::vector<int> appends;                 // records, in record order
    int nSkipped = 0;

    // The stored rows the updates change, ascending, each once.
    std::vector<int> UpdatedRows() const;
};

ImportActions DecideImport(const CImportPreview& preview, ImportScope scope, StoredChoice choice);

// Makes the changes in stored: updates first, then the appended records at its end.
void ApplyImport(const ImportActions& actions, const ImportedRecords& records, const ColumnMapping& mapping,
                 CMemTable& stored);
// The same, the records' storage becoming stored's where it can instead of being copied; the
// records are left empty.
void ApplyImport(const ImportActions& actions, ImportedRecords&& records, const ColumnMapping& mapping,
                 CMemTable& stored);

// "已导入N条记录，更新K条，跳过M条。" (GBK): N appended, K updated, M left out.
std::string ImportSummary(const ImportActions& actions);
