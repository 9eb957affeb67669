#include "core/ImportPreview.h"

#include <algorithm>
#include <string_view>
#include <thread>

#include "core/ImportRecords.h"
#include "core/MemTable.h"

namespace
{
// Whether each row's student number is that of an earlier row: one pass through a table of views
// of the numbers (open addressing, sized once for twice as many).
std::vector<bool> RepeatedNumbers(const CMemTable& table)
{
    const auto nRows = static_cast<std::size_t>(table.GetRowCount());
    std::size_t nSlots = 16;
    while (nSlots < 2 * nRows)
        nSlots *= 2;
    std::vector<std::string_view> slots(nSlots);
    std::vector<bool> repeated(nRows, false);
    for (std::size_t r = 0; r < nRows; ++r)
    {
        const char* lpcszNumber = table.GetCell(static_cast<int>(r), Field::XSBSH);
        const std::string_view number(lpcszNumber);
        std::size_t i = std::hash<std::string_view>{}(number) & (nSlots - 1);
        while (slots[i].data() != nullptr && slots[i] != number)
            i = (i + 1) & (nSlots - 1);
        if (slots[i].data() != nullptr)
            repeated[r] = true;
        else
            slots[i] = number;
    }
    return repeated;
}
} // namespace

namespace
{
constexpr int kRecordsPerThread = 4096; // fewer records are checked by one thread

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
    const std::unordered_map<std::string_view, int>& storedRowOf;
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
    for (int r = nFirst; r < nEnd; ++r)
    {
        const auto found = context.storedRowOf.find(table.GetCell(r, Field::XSBSH));
        if (context.check != ImportCheck::None)
        {
            // Taken: stored already (when that counts) or the number of an earlier record.
            const bool bTaken = context.repeated[static_cast<std::size_t>(r)] ||
                                (context.check == ImportCheck::WithStored && found != context.storedRowOf.end());
            StoredRecordProblems problems = checker.Check(table, r, bTaken);
            if (!problems.Passes() || context.records.ambiguous.count(r) != 0)
                range.failing.push_back({r, std::move(problems)});
        }
        if (found == context.storedRowOf.end())
            continue;
        storedRows[static_cast<std::size_t>(r)] = found->second;
        ++range.nStored;
        int nChanged = 0;
        for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
        {
            if (context.mapping.columnOf[f] >= 0 &&
                std::string_view(table.GetCell(r, f)) != std::string_view(context.stored.GetCell(found->second, f)))
                ++nChanged;
        }
        range.changedFields.emplace_back(r, nChanged);
        range.nChangedFields += nChanged;
    }
    return range;
}
} // namespace

CImportPreview::CImportPreview(const ImportedRecords& records, const CMemTable& stored, const ColumnMapping& mapping,
                               ImportCheck check)
{
    const int nRecords = records.table.GetRowCount();
    m_passes.assign(static_cast<std::size_t>(nRecords), true);
    m_storedRows.assign(static_cast<std::size_t>(nRecords), -1);

    std::unordered_map<std::string_view, int> storedRowOf;
    storedRowOf.reserve(static_cast<std::size_t>(stored.GetRowCount()));
    for (int r = 0; r < stored.GetRowCount(); ++r)
        storedRowOf.try_emplace(stored.GetCell(r, Field::XSBSH), r);

    const std::vector<bool> repeated =
        check != ImportCheck::None ? RepeatedNumbers(records.table) : std::vector<bool>();
    const CheckContext context{records, stored, storedRowOf, repeated, mapping, check};
    // A big file's records are checked in two halves side by side; each checker and result is
    // one thread's own, and each writes its own records' stored rows.
    const int nHalf = nRecords >= 2 * kRecordsPerThread ? nRecords / 2 : nRecords;
    CheckedRange second;
    {
        std::jthread checker;
        if (nHalf < nRecords)
            checker = std::jthread([&] { second = CheckRange(context, nHalf, nRecords, m_storedRows); });
        CheckedRange first = CheckRange(context, 0, nHalf, m_storedRows);
        if (checker.joinable())
            checker.join();
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
