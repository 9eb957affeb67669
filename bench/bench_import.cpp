// The import's preview (read, records made, checks, stored numbers found) of a file of as many
// records as the school stores, every one of them stored already; the update of 10 000 stored
// records with the save; and the undo of that update with the save.

#include "BenchSchool.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <string>

#include "core/DataFunc.h"
#include "core/ImportPreview.h"
#include "core/ImportRecords.h"
#include "core/ImportTable.h"
#include "core/MemTable.h"
#include "core/OpenSchool.h"
#include "exchange/CsvFile.h"

namespace
{
constexpr long long kFirstNumber = 2006000000;
constexpr int kStored = 100000;

// A CSV file of nRecords typical records with the stored numbers, each with another phone number.
std::string ChangedCsv(int nRecords)
{
    CMemTable file;
    FillTypicalRecords(file, nRecords, kFirstNumber);
    for (int r = 0; r < nRecords; ++r)
        file.SetCell(r, Field::SJHM, "139" + std::to_string(10000000 + r));
    std::string strCsv;
    WriteCsvText(file, strCsv);
    return strCsv;
}

void ReadRecords(const std::string& strCsv, CImportTable& table, ImportedRecords& records, benchmark::State& state)
{
    std::string strError;
    if (!ReadCsvTable(strCsv, table, strError) || !MakeImportRecords(table, ProposeMapping(table), records, strError))
        state.SkipWithError("read failed");
}

// The read alone: what the preview costs beyond it is the difference to BM_ImportPreview.
void BM_ImportRead(benchmark::State& state)
{
    const std::string strCsv = ChangedCsv(static_cast<int>(state.range(0)));
    for (auto _ : state)
    {
        CImportTable table;
        ImportedRecords records;
        ReadRecords(strCsv, table, records, state);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportRead)->Arg(kStored)->Unit(benchmark::kMillisecond);

void BM_ImportPreview(benchmark::State& state)
{
    const int nRecords = static_cast<int>(state.range(0));
    COpenSchool school("10001", "secret");
    const std::string strCsv = ChangedCsv(nRecords);
    FillTypicalRecords(school.Students(), kStored, kFirstNumber);
    for (auto _ : state)
    {
        CImportTable table;
        ImportedRecords records;
        ReadRecords(strCsv, table, records, state);
        const CImportPreview preview(records, school.Students(), ProposeMapping(table), ImportCheck::Records);
        benchmark::DoNotOptimize(preview.StoredCount());
    }
    state.SetItemsProcessed(state.iterations() * nRecords);
}
BENCHMARK(BM_ImportPreview)->Arg(kStored)->Unit(benchmark::kMillisecond);

// 10 000 stored records updated and the school saved, then the step undone as the desktop
// program's history does it (the rows taken out, the copies put back) and saved again.
void BM_ImportUpdateAndUndo(benchmark::State& state)
{
    const int nRecords = static_cast<int>(state.range(0));
    COpenSchool school("10001", "secret");
    const TestKit::TempProgramDir dir;
    const std::string strCsv = ChangedCsv(nRecords);
    CImportTable table;
    ImportedRecords records;
    ReadRecords(strCsv, table, records, state);
    const ColumnMapping mapping = ProposeMapping(table);
    double fUpdate = 0, fUndo = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        FillTypicalRecords(school.Students(), kStored, kFirstNumber);
        const CImportPreview preview(records, school.Students(), mapping, ImportCheck::Records);
        state.ResumeTiming();

        auto start = std::chrono::steady_clock::now();
        const ImportActions actions = DecideImport(preview, ImportScope::All, StoredChoice::Update);
        const std::vector<int> rows = actions.UpdatedRows();
        CMemTable before, after;
        school.Students().CopyRowSet(rows, before);
        ApplyImport(actions, records, mapping, school.Students());
        school.Students().CopyRowSet(rows, after);
        if (!SaveSchoolDatabase("10001", school.Students(), "secret"))
            state.SkipWithError("save failed");
        fUpdate += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        start = std::chrono::steady_clock::now();
        school.Students().DeleteRowSet(rows);
        if (!school.Students().InsertRowSet(before, rows) || !SaveSchoolDatabase("10001", school.Students(), "secret"))
            state.SkipWithError("undo failed");
        fUndo += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["update_s"] = benchmark::Counter(fUpdate, benchmark::Counter::kAvgIterations);
    state.counters["undo_s"] = benchmark::Counter(fUndo, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ImportUpdateAndUndo)->Arg(10000)->Unit(benchmark::kMillisecond);
} // namespace
