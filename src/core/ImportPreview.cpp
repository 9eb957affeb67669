#include "core/ImportPreview.h"

#include <algorithm>
#include <string_view>

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

CImportPreview::CImportPreview(const ImportedRecords& records, const CMemTable& stored, const ColumnMapping& mapping,
                               ImportCheck check)
{
    const CMemTable& table = records.table;
    const int nRecords = table.GetRowCount();
    m_passes.assign(static_cast<std::size_t>(nRecords), true);
    m_storedRows.assign(static_cast<std::size_t>(nRecords), -1);

    std::unordered_map<std::string_view, int> storedRowOf;
    storedRowOf.reserve(static_cast<std::size_t>(stored.GetRowCount()));
    for (int r = 0; r < stored.GetRowCount(); ++r)
        storedRowOf.try_emplace(stored.GetCell(r, Field::XSBSH), r);

    const std::vector<bool> repeated = check != ImportCheck::None ? RepeatedNumbers(table) : std::vector<bool>();
    CStoredRecordChecker checker;
    for (int r = 0; r < nRecords; ++r)
    {
        const auto found = storedRowOf.find(table.GetCell(r, Field::XSBSH));
        if (check != ImportCheck::None)
        {
            // Taken: stored already (when that counts) or the number of an earlier record.
            const bool bTaken = repeated[static_cast<std::size_t>(r)] ||
                                (check == ImportCheck::WithStored && found != storedRowOf.end());
            StoredRecordProblems problems = checker.Check(table, r, bTaken);
            if (!problems.Passes() || records.ambiguous.count(r) != 0)
            {
                m_passes[static_cast<std::size_t>(r)] = false;
                m_failing.push_back({r, std::move(problems)});
            }
        }
        if (found == storedRowOf.end())
            continue;
        m_storedRows[static_cast<std::size_t>(r)] = found->second;
        ++m_nStored;
        int nChanged = 0;
        for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
        {
            if (mapping.columnOf[f] >= 0 &&
                std::string_view(table.GetCell(r, f)) != std::string_view(stored.GetCell(found->second, f)))
                ++nChanged;
        }
        m_changedFields[r] = nChanged;
        m_nChangedFields += nChanged;
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
