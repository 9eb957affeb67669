// What keeping a backup adds to a save: saving 1 000, 10 000 and 100 000 records over an existing
// data file (which becomes a backup, and the backups are rotated) against the same save where no
// backup can be made.
#include "BenchSchool.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/DataFunc.h"
#include "core/SchoolBackups.h"
#include "platform/ProgramDir.h"

namespace
{
const char* const CODE = "10001";
const char* const PASSWORD = "s3cret!";

void Save(benchmark::State& state, const CBenchSchool& school)
{
    if (!SaveSchoolDatabase(CODE, school.Table(), PASSWORD))
        state.SkipWithError("save failed");
}

// The same save over an existing file, where a file in place of the backup folder lets no backup
// be made: the replaced file is freed at once, as every save did before backups were kept.
void BM_SaveWithoutBackup(benchmark::State& state)
{
    const CBenchSchool school(static_cast<int>(state.range(0)));
    std::ofstream(GetProgramDirectory() + "/backup") << "in the way";
    Save(state, school);
    for (auto _ : state)
        Save(state, school);
    if (!ListBackups(CODE).empty())
        state.SkipWithError("a backup was made");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SaveWithBackup(benchmark::State& state)
{
    const CBenchSchool school(static_cast<int>(state.range(0)));
    Save(state, school);
    for (auto _ : state)
        Save(state, school); // the file replaced becomes a backup; the backups are rotated
    if (ListBackups(CODE).empty())
        state.SkipWithError("no backup made");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
} // namespace

BENCHMARK(BM_SaveWithoutBackup)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveWithBackup)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
