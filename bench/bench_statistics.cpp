// Counting a school's records by one field and by two (a cross table), 1 000 to 100 000 records.
#include "BenchSchool.h"

#include <benchmark/benchmark.h>

#include "core/Statistics.h"

namespace
{
// Typical records with the values that vary in a real school: sexes, educations, majors, regions.
void FillVaried(CMemTable& table, int nRecords)
{
    FillTypicalRecords(table, nRecords, 200600000);
    const char* sexes[] = {"1", "2"};
    const char* educations[] = {"01", "11", "31", "41", "77"};
    const char* majors[] = {"07010100", "08060501", "05010100", "01000000", "99999999"};
    const char* regions[] = {"110000", "460100", "469000", "0", "330100"};
    for (int r = 0; r < nRecords; ++r)
    {
        table.SetCell(r, Field::XBDM, sexes[r % 2]);
        table.SetCell(r, Field::XLDM, educations[r % 5]);
        table.SetCell(r, Field::ZYDM, majors[r % 5]);
        table.SetCell(r, Field::YXGZDQDM, regions[(r / 3) % 5]);
    }
}

void BM_CountByOneField(benchmark::State& state)
{
    CMemTable table;
    FillVaried(table, static_cast<int>(state.range(0)));
    const StatDimension& category = *FindStatDimension("ZYDLDM");
    for (auto _ : state)
        benchmark::DoNotOptimize(CountAllRecords(table, category).Total());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_CountByTwoFields(benchmark::State& state)
{
    CMemTable table;
    FillVaried(table, static_cast<int>(state.range(0)));
    const StatDimension& education = *FindStatDimension("XLDM");
    const StatDimension& province = *FindStatDimension("YXGZDQDM");
    for (auto _ : state)
        benchmark::DoNotOptimize(CountAllRecords(table, education, &province).Total());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
} // namespace

BENCHMARK(BM_CountByOneField)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountByTwoFields)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
