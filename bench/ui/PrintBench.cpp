// PDF files of the verification sheets (one page per student) and of the student list, as the
// desktop program and the CLI write them. Runs offscreen. peak_MB: the process's peak resident
// memory after the run (it only grows, so each figure bounds every run before it).
#include "BenchSchool.h"
#include "print/PrintJob.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <sys/resource.h>

#include <QGuiApplication>

namespace
{
void EnsureApplication()
{
    static std::unique_ptr<QGuiApplication> app;
    if (app)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "PrintBench";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
}

double PeakMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void RunPdf(benchmark::State& state, PrintJob::Kind kind)
{
    EnsureApplication();
    CMemTable table;
    const int nRecords = static_cast<int>(state.range(0));
    FillTypicalRecords(table, nRecords, 200600000);
    PrintJob job;
    job.kind = kind;
    job.pStudents = &table;
    job.schoolCode = QStringLiteral("10001");
    job.schoolName = QStringLiteral("北京大学");
    for (int r = 0; r < nRecords; ++r)
        job.rows.push_back(r);
    std::size_t nBytes = 0;
    for (auto _ : state)
    {
        std::string strPdf;
        if (!RenderPdf(job, strPdf))
            state.SkipWithError("no PDF");
        nBytes = strPdf.size();
    }
    state.counters["pdf_MB"] = static_cast<double>(nBytes) / 1e6;
    state.counters["peak_MB"] = PeakMB();
}

void BM_SheetsPdf(benchmark::State& state)
{
    RunPdf(state, PrintJob::Sheets);
}

void BM_ListPdf(benchmark::State& state)
{
    RunPdf(state, PrintJob::List);
}
} // namespace

BENCHMARK(BM_SheetsPdf)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ListPdf)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);
