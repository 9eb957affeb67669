// The student list's sorting and the check of every record with its results window, for a large
// school. Runs offscreen; the table is filled in memory.
#include <benchmark/benchmark.h>
#include <memory>
#include <string>

#include <QApplication>

#include "core/DataFunc.h"
#include "core/OpenSchool.h"
#include "platform/Encoding.h"
#include "ui/CheckResultsWindow.h"
#include "ui/Support/StudentListModel.h"
#include "ui/Support/StudentSortModel.h"

namespace
{
void EnsureApplication()
{
    static std::unique_ptr<QApplication> app;
    if (app)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "ListViewBench";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QApplication>(argc, argv);
}

// nRows complete records in shuffled name order; every other one lacks its postal code, and every
// tenth holds a sex code no table has.
void FillStudents(CMemTable& students, int nRows)
{
    CreateStudentTable(students);
    students.AddRows(nRows);
    const std::string strSalary = Encoding::Utf8ToGbk("3000以上").value();
    const std::string strSurname = Encoding::Utf8ToGbk("张").value();
    const char* values[STUDENT_FIELD_COUNT] = {"",
                                               "10001",
                                               "08060500",
                                               "",
                                               "1",
                                               "1985-05-01",
                                               "01",
                                               "en",
                                               "2007-07-01",
                                               "110000",
                                               "4",
                                               "a@b.cn",
                                               "01",
                                               "110000",
                                               "CA",
                                               "G",
                                               strSalary.c_str(),
                                               "01A",
                                               "010-62751234",
                                               "",
                                               "Beijing",
                                               "100871",
                                               "",
                                               "00"};
    for (int nRow = 0; nRow < nRows; ++nRow)
    {
        for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
            students.SetCell(nRow, nCol, values[nCol]);
        students.SetCell(nRow, Field::XSBSH, "2007" + std::to_string(nRow));
        students.SetCell(nRow, Field::XM, strSurname + std::to_string((nRow * 7919) % nRows));
        if (nRow % 2 == 0)
            students.SetCell(nRow, Field::YZBM, "");
        if (nRow % 10 == 0)
            students.SetCell(nRow, Field::XBDM, "3");
    }
}

void BM_SortByName(benchmark::State& state)
{
    EnsureApplication();
    COpenSchool school("10001", "1");
    FillStudents(school.Students(), static_cast<int>(state.range(0)));
    CStudentListModel model(school.Students());
    model.SetShowCodeNames(state.range(1) != 0);
    CStudentSortModel sorted(&model);
    for (auto _ : state)
    {
        sorted.sort(Field::XM, Qt::AscendingOrder);
        sorted.sort(-1);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SortByMajorName(benchmark::State& state)
{
    EnsureApplication();
    COpenSchool school("10001", "1");
    FillStudents(school.Students(), static_cast<int>(state.range(0)));
    CStudentListModel model(school.Students());
    model.SetShowCodeNames(true);
    CStudentSortModel sorted(&model);
    for (auto _ : state)
    {
        sorted.sort(Field::ZYDM, Qt::DescendingOrder);
        sorted.sort(-1);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_CheckAllWithWindow(benchmark::State& state)
{
    EnsureApplication();
    COpenSchool school("10001", "1");
    FillStudents(school.Students(), static_cast<int>(state.range(0)));
    for (auto _ : state)
    {
        CCheckResultsWindow window(school);
        window.Recheck();
        window.show();
        QCoreApplication::processEvents();
        if (window.FailingCount() != state.range(0) / 2)
            state.SkipWithError("unexpected count");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
} // namespace

BENCHMARK(BM_SortByName)->ArgsProduct({{1000, 10000, 100000}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByMajorName)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckAllWithWindow)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
