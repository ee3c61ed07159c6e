// Repaint cost of browsing a long run: the speed chart (734 x 324, titles,
// grid, ticks, labels, triangle markers) with 1 000 000 points, set up as
// the main window sets it up, zoomed or panned by one step and repainted
// the way the chart window paints (the view applied, the chart drawn into
// its picture). Every frame has a new scale, so nothing of the previous
// frame's pixels can be reused.
//   BM_ZoomRepaint/<span>: X zoomed in and out by one wheel notch (x1.25)
//     around the pointer, at a shown span of <span> samples;
//   BM_PanRepaint/<span>: the view dragged by 7 pixels, to and fro;
//   BM_FollowRepaint/<span>: following the live end with that span, one
//     new sample per frame.
// Goal: every case under 16 ms per frame (median).
//
//   QT_QPA_PLATFORM=offscreen build/bench/BrowseRepaintBench
//       --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include "graph/VelGraphWnd.h"
#include "platform/DC.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 734;
constexpr int kHeight = 324;
constexpr int kPoints = 1000000;

// A speed trace: set-point steps every half hour, a first-order approach
// and a few rpm of noise.
std::vector<double> Speeds(int n)
{
    std::mt19937 rng(42);
    std::normal_distribution<double> noise(0.0, 3.0);
    std::vector<double> y(n);
    double dSpeed = 0.0;
    for (int i = 0; i < n; ++i) {
        const double dTarget = 300.0 + 200.0 * static_cast<double>((i / 1800) % 6);
        dSpeed += (dTarget - dSpeed) * 0.05;
        y[i] = std::max(0.0, dSpeed + noise(rng));
    }
    return y;
}

// The chart window painting into an image as its paint does.
class ImageWnd : public CVelGraphWnd {
public:
    ImageWnd()
    {
        CVelGraph* g = m_pGraph.get();
        SetBkgColor(0x775649);
        g->SetAxisValueType(GRAPH_AXIS_Y, AXIS_VALUE_INTEGER);
        g->EnableShowLegend(plat::FALSE);
        ShowButtons(plat::FALSE);
        g->EnableAxisRecalculate(GRAPH_AXIS_X, plat::FALSE);
        g->SetAxisMaxRange(GRAPH_AXIS_Y, 0, 900000000000.0);
        g->SetAxisMaxRange(GRAPH_AXIS_X, 0, 1000000);
        g->EnableShowTitle(plat::FALSE);
        g->EnableShowXTitle(plat::TRUE);
        g->EnableShowYTitle(plat::TRUE);
        g->SetXTitleColor(0xEAEAEA);
        g->SetYTitleColor(0xEAEAEA);
        SetXTitle(QStringLiteral("Time(S)"));
        SetYTitle(QStringLiteral("Speed(rpm)"));

        std::vector<double> x(kPoints);
        for (int i = 0; i < kPoints; ++i) x[i] = i + 1;
        y = Speeds(kPoints);
        AddSeries(kPoints, x.data(), y.data());
        GetSeries(0)->SetPointStyle(POINT_TRIANGLE_UP);
        GetSeries(0)->SetColor(0x800000);
        for (double v : y) dMax = std::max(dMax, v);
        SetRanges(kPoints);

        resize(kWidth, kHeight);
        plat::CDC dc(&image);
        AdjustLayout(rc, &dc);
        Paint();
    }
    void SetRanges(int n)
    {
        SetAxisRange(GRAPH_AXIS_Y, 0, dMax * 1.025, plat::TRUE);
        SetAxisRange(GRAPH_AXIS_X, 0, n + 1, plat::TRUE);
    }
    void Paint()
    {
        plat::CDC dc(&image);
        OnDraw(&dc, rc);
    }
    // Shows span samples in the middle of the run.
    void ShowSpan(double dSpan) { ZoomTo(kPoints / 2 - dSpan / 2, kPoints / 2 + dSpan / 2, 0, dMax * 1.025); }

    QImage image{kWidth, kHeight, QImage::Format_RGB32};
    const plat::CRect rc{0, 0, kWidth, kHeight};
    std::vector<double> y;
    double dMax = 0.0;
};

// Made once in main, after the application object and gone before it.
ImageWnd* g_pChart = nullptr;

ImageWnd& Chart()
{
    return *g_pChart;
}

void BM_ZoomRepaint(benchmark::State& state)
{
    ImageWnd& wnd = Chart();
    wnd.ShowSpan(static_cast<double>(state.range(0)));
    bool bIn = true;
    for (auto _ : state) {
        double d0 = 0, d1 = 0;
        wnd.GetViewRange(GRAPH_AXIS_X, d0, d1);
        wnd.ZoomX(bIn ? 1.25 : 0.8, d0 + (d1 - d0) * 0.37);
        bIn = !bIn;
        wnd.Paint();
        benchmark::DoNotOptimize(wnd.image.constBits());
    }
    wnd.ResetView();
}

void BM_PanRepaint(benchmark::State& state)
{
    ImageWnd& wnd = Chart();
    wnd.ShowSpan(static_cast<double>(state.range(0)));
    const double dStep = 7.0 * static_cast<double>(state.range(0)) / kWidth;
    int k = 0;
    for (auto _ : state) {
        wnd.PanBy((k++ / 20) % 2 ? -dStep : dStep, 0);
        wnd.Paint();
        benchmark::DoNotOptimize(wnd.image.constBits());
    }
    wnd.ResetView();
}

void BM_FollowRepaint(benchmark::State& state)
{
    ImageWnd& wnd = Chart();
    const double dSpan = static_cast<double>(state.range(0));
    wnd.ZoomTo(kPoints - dSpan, kPoints + 1, 0, wnd.dMax * 1.025);
    wnd.SetFollowing(true);
    int n = kPoints;
    for (auto _ : state) {
        ++n;
        wnd.AddOneDataOfSeries(0, n, wnd.y[n % kPoints]);
        wnd.SetRanges(n);
        wnd.Paint();
        benchmark::DoNotOptimize(wnd.image.constBits());
    }
    wnd.ResetView();
}

BENCHMARK(BM_ZoomRepaint)->Arg(1000000)->Arg(100000)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanRepaint)->Arg(100000)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FollowRepaint)->Arg(3600)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    {
        ImageWnd wnd;
        g_pChart = &wnd;
        benchmark::RunSpecifiedBenchmarks();
        g_pChart = nullptr;
    }
    benchmark::Shutdown();
    return 0;
}
