#include "core/ImportPreview.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "core/ImportRecords.h"
#include "core/MemTable.h"
#include "core/TwoHalves.h"

namespace
{
// The first row of each student number in a table: open addressing over (hash, row) pairs, sized
// once for twice as many rows, so that a probe reaches the table's text only on a likely match.
class CNumberRows
{
  public:
    // A row's student number and its hash.
    struct Key
    {
        std::string_view number;
        std::size_t nHash = 0;
    };

    explicit CNumberRows(const CMemTable& table) : m_table(table)
    {
        std::size_t nSlots = 16;
        while (nSlots < 2 * static_cast<std::size_t>(table.GetRowCount()))
            nSlots *= 2;
        m_slots.assign(nSlots, Slot());
        m_nMask = nSlots - 1;
    }

    // Calls visit(r, key) for the rows r = nFirst..nEnd-1 of table in turn, key being row r's. The
    // slots of a large index lie all over memory: each key is made some rows ahead of its visit and
    // its slot fetched into the cache meanwhile.
    template <typename Visit> void ForEachKey(const CMemTable& table, int nFirst, int nEnd, Visit visit) const
    {
        constexpr int kAhead = 16;
        std::array<Key, kAhead> keys;
        for (int r = nFirst; r < nEnd && r < nFirst + kAhead; ++r)
            keys[static_cast<std::size_t>(r % kAhead)] = KeyOf(table, r);
        for (int r = nFirst; r < nEnd; ++r)
        {
            Key& key = keys[static_cast<std::size_t>(r % kAhead)];
            const Key current = key;
            if (r + kAhead < nEnd)
                key = KeyOf(table, r + kAhead);
            visit(r, current);
        }
    }

    // The first row added with the key's number, or -1.
    int Find(const Key& key) const { return m_slots[SlotOf(key)].nRow; }

    // Adds the table's row nRow, whose key this is; returns the row added before with its number,
    // or -1 (and then the number is row nRow's from now on).
    int Add(int nRow, const Key& key)
    {
        Slot& slot = m_slots[SlotOf(key)];
        if (slot.nRow >= 0)
            return slot.nRow;
        slot = {static_cast<std::uint32_t>(key.nHash), nRow};
        return -1;
    }

  private:
    struct Slot
    {
        std::uint32_t nHash = 0;
        int nRow = -1;
    };

    Key KeyOf(const CMemTable& table, int nRow) const
    {
        const std::string_view number = table.GetCell(nRow, Field::XSBSH);
        const std::size_t nHash = std::hash<std::string_view>{}(number);
        __builtin_prefetch(&m_slots[nHash & m_nMask]);
        return {number, nHash};
    }

    std::size_t SlotOf(const Key& key) const
    {
        std::size_t i = key.nHash & m_nMask;
        while (m_slots[i].nRow >= 0 && (m_slots[i].nHash != static_cast<std::uint32_t>(key.nHash) ||
                                        key.number != m_table.GetCell(m_slots[i].nRow, Field::XSBSH)))
            i = (i + 1) & m_nMask;
        return i;
    }

    const CMemTable& m_table;
    std::vector<Slot> m_slots;
    std::size_t m_nMask = 0;
};

// Whether each row's student number is that of an earlier row.
std::vector<bool> RepeatedNumbers(const CMemTable& table)
{
    CNumberRows rows(table);
    std::vector<bool> repeated(static_cast<std::size_t>(table.GetRowCount()), false);
    rows.ForEachKey(table, 0, table.GetRowCount(), [&](int r, const CNumberRows::Key& key) {
        repeated[static_cast<std::size_t>(r)] = rows.Add(r, key) >= 0;
    });
    return repeated;
}

// What the records of a range came to, in record order.
struct CheckedRange
{
    std::vector<CImportPreview::Failing> failing;
    std::vector<std::pair<int, int>> changedFields; // (record, fields), for records stored already
    int nStored = 0;
    int nChangedFields = 0;
};

// The facts one range of records is checked against; shared read-only by the threads.
struct CheckContext
{
    const ImportedRecords& records;
    const CMemTable& stored;
    const CNumberRows& storedRowOf;
    const std::vector<bool>& repeated;
    const ColumnMapping& mapping;
    ImportCheck check;
};

// Checks records nFirst..nEnd-1 with a checker of its own, writing only their storedRows and the result.
CheckedRange CheckRange(const CheckContext& context, int nFirst, int nEnd, std::vector<int>& storedRows)
{
    const CMemTable& table = context.records.table;
    CheckedRange range;
    CStoredRecordChecker checker;
    context.storedRowOf.ForEachKey(table, nFirst, nEnd, [&](int r, const CNumberRows::Key& key) {
        const int nStoredRow = context.storedRowOf.Find(key);
        if (context.check != ImportCheck::None)
        {
            // Taken: stored already (when that counts) or the number of an earlier record.
            const bool bTaken = context.repeated[static_cast<std::size_t>(r)] ||
                                (context.check == ImportCheck::WithStored && nStoredRow >= 0);
            StoredRecordProblems problems = checker.Check(table, r, bTaken);
            if (!problems.Passes() || context.records.ambiguous.count(r) != 0)
                range.failing.push_back({r, std::move(problems)});
        }
        if (nStoredRow < 0)
            return;
        storedRows[static_cast<std::size_t>(r)] = nStoredRow;
        ++range.nStored;
        int nChanged = 0;
        for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
        {
            if (context.mapping.columnOf[f] >= 0 &&
                std::string_view(table.GetCell(r, f)) != std::string_view(context.stored.GetCell(nStoredRow, f)))
                ++nChanged;
        }
        range.changedFields.emplace_back(r, nChanged);
        range.nChangedFields += nChanged;
    });
    return range;
}
} // namespace

CImportPreview::CImportPreview(const ImportedRecords& records, const CMemTable& stored, const ColumnMapping& mapping,
                               ImportCheck check)
{
    const int nRecords = records.table.GetRowCount();
    m_passes.assign(static_cast<std::size_t>(nRecords), true);
    m_storedRows.assign(static_cast<std::size_t>(nRecords), -1);

    // A big file's numbers are indexed, and its records checked in two halves, side by side; each
    // thread writes only its own results (and its own records' stored rows).
    const bool bTwoThreads = nRecords >= 2 * kRowsWorthTwoThreads;
    CNumberRows storedRowOf(stored);
    std::vector<bool> repeated;
    SideBySide(
        bTwoThreads,
        [&] {
            storedRowOf.ForEachKey(stored, 0, stored.GetRowCount(),
                                   [&](int r, const CNumberRows::Key& key) { storedRowOf.Add(r, key); });
        },
        [&] {
            if (check != ImportCheck::None)
                repeated = RepeatedNumbers(records.table);
        });
    const CheckContext context{records, stored, storedRowOf, repeated, mapping, check};
    const int nHalf = bTwoThreads ? nRecords / 2 : nRecords;
    CheckedRange first, second;
    SideBySide(
        bTwoThreads, [&] { first = CheckRange(context, 0, nHalf, m_storedRows); },
        [&] { second = CheckRange(context, nHalf, nRecords, m_storedRows); });
    for (CheckedRange* pRange : {&first, &second})
    {
        for (Failing& failing : pRange->failing)
        {
            m_passes[static_cast<std::size_t>(failing.nRecord)] = false;
            m_failing.push_back(std::move(failing));
        }
        m_changedFields.insert(pRange->changedFields.begin(), pRange->changedFields.end());
        m_nStored += pRange->nStored;
        m_nChangedFields += pRange->nChangedFields;
    }
}

int CImportPreview::ChangedFields(int nRecord) const
{
    const auto found = m_changedFields.find(nRecord);
    return found == m_changedFields.end() ? 0 : found->second;
}

std::vector<int> ImportActions::UpdatedRows() const
{
    std::vector<int> rows;
    rows.reserve(updates.size());
    for (const auto& update : updates)
        rows.push_back(update.second);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

ImportActions DecideImport(const CImportPreview& preview, ImportScope scope, StoredChoice choice)
{
    ImportActions actions;
    for (int r = 0; r < preview.RecordCount(); ++r)
    {
        const int nStoredRow = preview.StoredRowOf(r);
        if ((scope == ImportScope::PassingOnly && !preview.Passes(r)) ||
            (nStoredRow >= 0 && choice == StoredChoice::Skip))
            ++actions.nSkipped;
        else if (nStoredRow >= 0 && choice == StoredChoice::Update)
            actions.updates.emplace_back(r, nStoredRow);
        else
            actions.appends.push_back(r);
    }
    return actions;
}

namespace
{
// The appends are in record order, each once: as many as there are records means all of them.
bool AppendsEvery(const ImportActions& actions, const ImportedRecords& records)
{
    return actions.appends.size() == static_cast<std::size_t>(records.table.GetRowCount());
}
} // namespace

void ApplyImport(const ImportActions& actions, const ImportedRecords& records, const ColumnMapping& mapping,
                 CMemTable& stored)
{
    for (const auto& [nRecord, nRow] : actions.updates)
    {
        for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
        {
            const std::string_view value = records.table.GetCell(nRecord, f);
            if (mapping.columnOf[f] >= 0 && value != std::string_view(stored.GetCell(nRow, f)))
                stored.SetCell(nRow, f, value);
        }
    }
    if (actions.appends.empty())
        return;
    if (AppendsEvery(actions, records))
    {
        stored.AppendTable(records.table);
        return;
    }
    CMemTable added;
    records.table.CopyRowSet(actions.appends, added);
    stored.AppendTable(added);
}

void ApplyImport(const ImportActions& actions, ImportedRecords&& records, const ColumnMapping& mapping,
                 CMemTable& stored)
{
    if (actions.updates.empty() && AppendsEvery(actions, records))
        stored.AppendTable(std::move(records.table));
    else
        ApplyImport(actions, static_cast<const ImportedRecords&>(records), mapping, stored);
    records.table.Clear();
    records.fileRows.clear();
    records.ambiguous.clear();
}

std::string ImportSummary(const ImportActions& actions)
{
    return "已导入" + std::to_string(actions.appends.size()) + "条记录，更新" + std::to_string(actions.updates.size()) +
           "条，跳过" + std::to_string(actions.nSkipped) + "条。";
}
