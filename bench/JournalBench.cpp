// The run journal's cost: CPU and heap allocations per sample written
// (target: under 1 ms, no allocation), and reading back a 7-day journal of
// 604,800 rows (target: under 1 s).
#include "run/JournalWriter.h"
#include "run/RunJournal.h"
#include "run/SystemClock.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>
#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long long> g_allocations{0};
}  // namespace

void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

SJournalHeader Header()
{
    SJournalHeader h;
    h.strProgram = "vantoc 1.0.0";
    h.strPort = "/dev/ttyUSB0";
    h.nBaud = 9600;
    h.nSetPoint = 300;
    return h;
}

void BM_JournalSample(benchmark::State& state)
{
    QTemporaryDir dir;
    CJournalWriter writer(CSystemClock::Instance());
    if (!writer.Open(dir.path(), Header(), nullptr)) {
        state.SkipWithError("cannot open a journal");
        return;
    }
    int n = 0;
    // Warm up once so that nothing grows lazily inside the timing.
    writer.AppendSample(++n, 300, 298, 12);
    const long long before = g_allocations.load();
    for (auto _ : state) {
        ++n;
        writer.AppendSample(n, 300, 298 + (n & 3), 12);
    }
    state.counters["allocs_per_sample"] =
        benchmark::Counter(double(g_allocations.load() - before) / double(state.iterations()));
    state.SetItemsProcessed(state.iterations());
    writer.Finish("stopped");
}
BENCHMARK(BM_JournalSample)->MeasureProcessCPUTime()->UseRealTime();

// A 7-day run at one sample per second.
void BM_ReadSevenDayJournal(benchmark::State& state)
{
    QTemporaryDir dir;
    CJournalWriter writer(CSystemClock::Instance());
    if (!writer.Open(dir.path(), Header(), nullptr)) {
        state.SkipWithError("cannot open a journal");
        return;
    }
    const int rows = int(state.range(0));
    for (int i = 1; i <= rows; ++i) writer.AppendSample(i, 300, 290 + i % 20, i % 50);
    writer.Finish("stopped");
    const QString path = writer.Path();
    for (auto _ : state) {
        const CRunJournal journal = CRunJournal::Load(path);
        if (journal.SampleCount() != rows) state.SkipWithError("rows lost");
        benchmark::DoNotOptimize(journal.Samples().data());
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_ReadSevenDayJournal)->Arg(604800)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
