// Speed and memory of the table engine on a generated student table (24 GBK columns, about 200
// bytes a row): loading, writing, appending and deleting.
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <random>
#include <string>

#include "core/MemTable.h"

// The replacements below pair malloc with free themselves; the compiler cannot see that.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace
{
// Live heap bytes, counted by the replaced global operator new and delete below.
std::atomic<long long> g_liveBytes{0};
} // namespace

// Every round builds and frees tables of tens of megabytes. Left alone, the allocator hands that
// memory back to the kernel each time and the rounds measure the kernel clearing fresh pages
// (more than half of the time) instead of the table engine. A program loads its table once.
const int g_keepFreedMemory = [] {
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    return 0;
}();

void* operator new(std::size_t nSize)
{
    void* p = std::malloc(nSize == 0 ? 1 : nSize);
    if (p == nullptr)
        throw std::bad_alloc();
    g_liveBytes += static_cast<long long>(malloc_usable_size(p));
    return p;
}

void operator delete(void* p) noexcept
{
    if (p != nullptr)
        g_liveBytes -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}

namespace
{
class StudentText
{
  public:
    explicit StudentText(unsigned seed) : m_random(seed) {}

    std::string Table(int nRows)
    {
        std::string text = "XSBSH\tXM\tXBDM\tMZDM\tSFZH\tCSRQ\tZZMMDM\tSYSZDDM\tXLDM\tZYDM\tZYMC\tPYFS\tXZ\tBYRQ\t"
                           "WYYZ\tWYSP\tJSJSP\tQWDQ\tDWXZ\tHYYX\tYXFW\tGZZW\tLXDH\tJCXM\r\n";
        for (int i = 0; i < nRows; ++i)
            AppendRow(text, i);
        return text;
    }

  private:
    void Digits(std::string& out, int nCount)
    {
        for (int i = 0; i < nCount; ++i)
            out.push_back(static_cast<char>('0' + m_random() % 10));
    }
    void Chinese(std::string& out, int nChars)
    {
        for (int i = 0; i < nChars; ++i)
        {
            out.push_back(static_cast<char>(0xB0 + m_random() % 0x48));
            out.push_back(static_cast<char>(0xA1 + m_random() % 0x5E));
        }
    }
    void AppendRow(std::string& out, int nRow)
    {
        const auto cell = [&out](auto fill) {
            fill();
            out.push_back('\t');
        };
        cell([&] { out += "2005" + std::to_string(100000 + nRow); });
        cell([&] { Chinese(out, 2 + static_cast<int>(m_random() % 2)); });
        cell([&] { Digits(out, 1); });
        cell([&] { Digits(out, 2); });
        cell([&] { Digits(out, 18); });
        cell([&] { out += "1983-0" + std::to_string(1 + m_random() % 9) + "-1" + std::to_string(m_random() % 10); });
        cell([&] { Digits(out, 2); });
        cell([&] { Chinese(out, 6); });
        cell([&] { Digits(out, 2); });
        cell([&] { Digits(out, 8); });
        cell([&] { Chinese(out, 6 + static_cast<int>(m_random() % 5)); });
        cell([&] { Digits(out, 1); });
        cell([&] { Digits(out, 1); });
        cell([&] { out += "2005-07-01"; });
        cell([&] { Digits(out, 2); });
        cell([&] { Chinese(out, 2); });
        cell([&] { Chinese(out, 2); });
        cell([&] { Chinese(out, 6 + static_cast<int>(m_random() % 5)); });
        cell([&] { Digits(out, 2); });
        cell([&] { Digits(out, 2); });
        cell([&] { Chinese(out, 4 + static_cast<int>(m_random() % 3)); });
        cell([&] { Digits(out, 2); });
        cell([&] { Digits(out, 11); });
        Chinese(out, 8);
        out += "\r\n";
    }

    std::mt19937 m_random;
};

const std::string& TextOf(int nRows)
{
    static std::string texts[3];
    std::string& text = texts[nRows >= 100000 ? 2 : nRows >= 10000 ? 1 : 0];
    if (text.empty())
        text = StudentText(42).Table(nRows);
    return text;
}

void Load(CMemTable& table, const std::string& text)
{
    std::string error;
    if (!table._Load(text, error))
        std::abort();
}

void BM_Load(benchmark::State& state)
{
    const std::string& text = TextOf(static_cast<int>(state.range(0)));
    for (auto _ : state)
    {
        CMemTable table;
        Load(table, text);
        benchmark::DoNotOptimize(table.GetRowCount());
    }
    // The memory a loaded table holds, against the size of its text.
    const long long before = g_liveBytes;
    auto* table = new CMemTable;
    Load(*table, text);
    const long long held = g_liveBytes - before;
    delete table;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["text_bytes"] = static_cast<double>(text.size());
    state.counters["table_bytes"] = static_cast<double>(held);
    state.counters["memory_x"] = static_cast<double>(held) / static_cast<double>(text.size());
}
BENCHMARK(BM_Load)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_WriteToString(benchmark::State& state)
{
    const std::string& text = TextOf(static_cast<int>(state.range(0)));
    CMemTable table;
    Load(table, text);
    for (auto _ : state)
    {
        std::string out;
        table.WriteToString(out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_WriteToString)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_AppendTable(benchmark::State& state)
{
    const std::string& text = TextOf(100000);
    CMemTable source;
    Load(source, text);
    for (auto _ : state)
    {
        CMemTable target;
        target.AppendTable(source);
        benchmark::DoNotOptimize(target.GetRowCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_AppendTable)->Unit(benchmark::kMillisecond);

void BM_DeleteRows(benchmark::State& state)
{
    const std::string& text = TextOf(100000);
    CMemTable table;
    Load(table, text);
    for (auto _ : state)
    {
        // One row out of the middle; a row is added back untimed so that every round sees 100 000.
        table.DeleteRows(50000, 50000);
        state.PauseTiming();
        table.AddRows(1);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_DeleteRows)->Unit(benchmark::kMicrosecond);
} // namespace
