// The main window with a large school: from pressing "确定" in the login to the window ready, and
// select all + delete of every record including the save, and the undo of that delete. Runs offscreen in a temporary
// directory.
#include "TestKit.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <string>

#include <QAction>
#include <QApplication>
#include <QLineEdit>

#include "core/DataFunc.h"
#include "ui/MainDialog.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/Seams/MessageBox.h"

namespace
{
using Clock = std::chrono::steady_clock;

// One process-wide application and program directory with a data file per record count.
struct Environment
{
    Environment()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "MainWindowBench";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
        std::string strMessage;
        LoadResourceTable(IDR_SCHOOL_DIRECTORY, "TXT", g_memSchools, strMessage);
        SetMessageBoxHook([](const MessageBoxCall&) { return int(IDYES); });
    }
    std::unique_ptr<QApplication> app;
    TestKit::TempProgramDir dir;
};

Environment& Env()
{
    static Environment env;
    return env;
}

// Writes a school file of nRows records with every field filled, as a registrar would.
void WriteSchool(const std::string& strCode, int nRows)
{
    CMemTable table;
    CreateStudentTable(table);
    table.AddRows(nRows);
    const std::string name = GbkLiteral(QStringLiteral("张三")); // a two-character name
    for (int nRow = 0; nRow < nRows; ++nRow)
    {
        const std::string n = std::to_string(nRow);
        const char* values[STUDENT_FIELD_COUNT] = {"",
                                                   "10001",
                                                   "08020101",
                                                   "",
                                                   "1",
                                                   "1985-05-01",
                                                   "31",
                                                   "101",
                                                   "2007-07-01",
                                                   "110000",
                                                   "05",
                                                   "student@example.org",
                                                   "01",
                                                   "110000",
                                                   "10",
                                                   "G",
                                                   "1500-2000",
                                                   "11",
                                                   "010-62751234",
                                                   "13800000000",
                                                   "Beijing",
                                                   "100871",
                                                   "",
                                                   "1"};
        for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
            table.SetCell(nRow, nCol, values[nCol]);
        table.SetCell(nRow, Field::XSBSH, "2007" + n);
        table.SetCell(nRow, Field::XM, name + n);
    }
    SaveSchoolDatabase(strCode, table, "12345678");
}

// The main window whose login presses "确定" at once and notes the moment.
class TimedMainDialog : public CMainDialog
{
  public:
    Clock::time_point m_pressed;
    const CMemTable& Students() const { return m_school.Students(); }

  protected:
    int RunLogin() override
    {
        FindChild(1001)->setText(QStringLiteral("10001"));
        FindChild(1002)->setText(QStringLiteral("12345678"));
        m_pressed = Clock::now();
        m_dlgLogin.OnOK();
        return TakeSchoolOfLogin();
    }

  private:
    QLineEdit* FindChild(int nId) { return m_dlgLogin.findChild<QLineEdit*>(QStringLiteral("id%1").arg(nId)); }
};

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_LoginToMainWindowReady(benchmark::State& state)
{
    Env();
    WriteSchool("10001", static_cast<int>(state.range(0)));
    for (auto _ : state)
    {
        TimedMainDialog dlg;
        dlg.show();
        QCoreApplication::processEvents();
        state.SetIterationTime(Seconds(dlg.m_pressed));
        if (dlg.GetSelectionMark() != -1 || dlg.Students().GetRowCount() != state.range(0))
            state.SkipWithError("login failed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Times act in a main window logged in afresh to a school of state.range(0) records, after the
// untimed prepare; the table must hold nRowsAfter records afterwards.
template <typename Prepare, typename Act>
void TimeInFreshWindow(benchmark::State& state, Prepare prepare, Act act, int nRowsAfter)
{
    Env();
    for (auto _ : state)
    {
        state.PauseTiming();
        WriteSchool("10001", static_cast<int>(state.range(0)));
        TimedMainDialog dlg;
        dlg.show();
        QCoreApplication::processEvents();
        prepare(dlg);
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        act(dlg);
        state.SetIterationTime(Seconds(start));
        if (dlg.Students().GetRowCount() != nRowsAfter)
            state.SkipWithError("the records are not as they should be afterwards");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void DeleteAll(CMainDialog& dlg)
{
    dlg.OnSelectAll();
    dlg.OnDeleteRecord();
}

void BM_SelectAllAndDeleteAll(benchmark::State& state)
{
    TimeInFreshWindow(
        state, [](CMainDialog&) {}, DeleteAll, 0);
}

// Undo of a delete of every record: the rows back at their places, the list, and the save.
void BM_UndoDeleteAll(benchmark::State& state)
{
    const auto undo = [](CMainDialog& dlg) { dlg.findChild<QAction*>(QStringLiteral("undo"))->trigger(); };
    TimeInFreshWindow(state, DeleteAll, undo, static_cast<int>(state.range(0)));
}
} // namespace

BENCHMARK(BM_LoginToMainWindowReady)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectAllAndDeleteAll)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoDeleteAll)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);
