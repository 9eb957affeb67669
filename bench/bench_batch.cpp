// One field set for every record (the batch change), save included, and its undo (save included).
#include "BenchSchool.h"

#include <benchmark/benchmark.h>
#include <numeric>

#include "core/BatchChange.h"

namespace
{
const char* const CODE = "10001";
const char* const PASSWORD = "20240601";

std::vector<int> AllRows(const CMemTable& table)
{
    std::vector<int> rows(static_cast<std::size_t>(table.GetRowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

// Each iteration sets 毕业时间 of every record and saves, then undoes that and saves; the two halves
// are timed apart.
void BatchChangeAndUndo(benchmark::State& state, bool bTimeUndo)
{
    const int nRecords = static_cast<int>(state.range(0));
    const CBenchSchool school(0); // the program directory
    CMemTable table;
    FillTypicalRecords(table, nRecords, 200600000);
    const std::vector<int> rows = AllRows(table);
    const FieldChange change{Field::BYSJ, "2007-06-30"};
    for (auto _ : state)
    {
        if (bTimeUndo)
            state.PauseTiming();
        const std::vector<int> changing = RowsThatChange(table, rows, change);
        const std::vector<std::string> previous = ApplyBatchChange(table, changing, change);
        if (!SaveSchoolDatabase(CODE, table, PASSWORD))
            state.SkipWithError("save failed");
        if (bTimeUndo)
            state.ResumeTiming();
        else
            state.PauseTiming();
        RevertBatchChange(table, changing, change.nField, previous);
        if (!SaveSchoolDatabase(CODE, table, PASSWORD))
            state.SkipWithError("save failed");
        if (!bTimeUndo)
            state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * nRecords);
}

void BM_BatchChangeWithSave(benchmark::State& state)
{
    BatchChangeAndUndo(state, false);
}

void BM_BatchUndoWithSave(benchmark::State& state)
{
    BatchChangeAndUndo(state, true);
}
} // namespace

BENCHMARK(BM_BatchChangeWithSave)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BatchUndoWithSave)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
