// A 7-day run (604,800 samples) in the main window's two live charts: the
// memory it takes (target: the window under 100 MB) and the time to show a
// 7-day journal and to paint both charts once.
#include "graph/VelGraphWnd.h"
#include "run/JournalWriter.h"
#include "run/OpenedRun.h"
#include "run/RunJournal.h"
#include "run/SystemClock.h"
#include "ui/LiveCharts.h"
#include "ui/ResourceIds.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kRows = 604800;

// Resident memory of the process in bytes.
long long ResidentBytes()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<long long>(resident) * sysconf(_SC_PAGESIZE);
}

QString MakeJournal(const QTemporaryDir& dir)
{
    CJournalWriter writer(CSystemClock::Instance());
    if (!writer.Open(dir.path(), SJournalHeader(), nullptr)) return QString();
    for (int i = 1; i <= kRows; ++i) writer.AppendSample(i, 300, 290 + i % 20, i % 50);
    writer.Finish("stopped");
    return writer.Path();
}

void BM_SevenDayRunInTheCharts(benchmark::State& state)
{
    vantoc::RegisterResources();
    QTemporaryDir dir;
    const QString path = MakeJournal(dir);
    for (auto _ : state) {
        const long long before = ResidentBytes();
        CVelGraphWnd speed;
        CVelGraphWnd torque;
        speed.resize(560, 260);
        torque.resize(560, 260);
        CLiveCharts charts(&speed, &torque);
        charts.SetUp();
        {
            const CRunJournal journal = CRunJournal::Load(path);
            charts.ShowRun(COpenedRun::FromJournal(journal));
        }
        QImage image(560, 260, QImage::Format_RGB32);
        speed.render(&image);
        torque.render(&image);
        state.counters["chart_MB"] = benchmark::Counter(double(ResidentBytes() - before) / 1e6);
    }
}
BENCHMARK(BM_SevenDayRunInTheCharts)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
