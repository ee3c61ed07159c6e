// Opened runs of 7 days (604,800 samples): opening a journal and a Save
// file and showing them in both charts (goal: under 1 s), and writing the
// run's report as PDF and PNG (goal: under 3 s).
#include "graph/VelGraphWnd.h"
#include "run/JournalWriter.h"
#include "run/OpenedRun.h"
#include "run/SystemClock.h"
#include "ui/LiveCharts.h"
#include "ui/ResourceIds.h"
#include "ui/RunReport.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace {

constexpr int kRows = 604800;

QTemporaryDir& Dir()
{
    static QTemporaryDir dir;
    return dir;
}

const QString& JournalPath()
{
    static const QString path = [] {
        CJournalWriter writer(CSystemClock::Instance());
        if (!writer.Open(Dir().path(), SJournalHeader(), nullptr)) return QString();
        writer.AppendEvent("Start", 300);
        for (int i = 1; i <= kRows; ++i) {
            writer.AppendSample(i, 300, 290 + i % 20, 10 + (i / 1000) % 50);
            if (i % 86400 == 0) writer.AppendEvent(QStringLiteral("day %1").arg(i / 86400), 300);
        }
        writer.AppendEvent("Stop", 300);
        writer.Finish("stopped");
        return writer.Path();
    }();
    return path;
}

const QString& SaveFilePath()
{
    static const QString path = [] {
        const QString p = Dir().filePath("week.xls");
        QFile file(p);
        if (!file.open(QIODevice::WriteOnly)) return QString();
        QByteArray bytes = "Time(S)\tSpeed(rpm)\tTorque(Ncm)\r\n";
        for (int i = 1; i <= kRows; ++i)
            bytes += QByteArray::number(i) + '\t' + QByteArray::number(290 + i % 20) + '\t'
                + QByteArray::number(10 + (i / 1000) % 50) + "\r\n";
        file.write(bytes);
        return p;
    }();
    return path;
}

// Open the file, show it in both charts and paint them once.
void OpenAndShow(benchmark::State& state, const QString& path)
{
    vantoc::RegisterResources();
    CVelGraphWnd speed;
    CVelGraphWnd torque;
    speed.resize(560, 260);
    torque.resize(560, 260);
    CLiveCharts charts(&speed, &torque);
    charts.SetUp();
    QImage image(560, 260, QImage::Format_RGB32);
    for (auto _ : state) {
        charts.ShowRun(COpenedRun::Load(path));
        speed.render(&image);
        torque.render(&image);
    }
    state.counters["samples"] = double(speed.GetSeries(0)->GetSize());
}

void BM_OpenSevenDayJournal(benchmark::State& state)
{
    OpenAndShow(state, JournalPath());
}
BENCHMARK(BM_OpenSevenDayJournal)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenSevenDaySaveFile(benchmark::State& state)
{
    OpenAndShow(state, SaveFilePath());
}
BENCHMARK(BM_OpenSevenDaySaveFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// Reading the journal and writing the report, as `vantoc --report` does.
void Report(benchmark::State& state, const char* suffix)
{
    vantoc::RegisterResources();
    const QString out = Dir().filePath(QStringLiteral("report.") + suffix);
    for (auto _ : state) {
        const COpenedRun run = COpenedRun::Load(JournalPath());
        QString error;
        if (!CRunReport(run).Save(out, &error)) state.SkipWithError(qPrintable(error));
    }
    state.counters["kB"] = double(QFile(out).size()) / 1000.0;
}

void BM_ReportSevenDayRunPdf(benchmark::State& state)
{
    Report(state, "pdf");
}
BENCHMARK(BM_ReportSevenDayRunPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReportSevenDayRunPng(benchmark::State& state)
{
    Report(state, "png");
}
BENCHMARK(BM_ReportSevenDayRunPng)->Unit(benchmark::kMillisecond)->Iterations(3);

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
