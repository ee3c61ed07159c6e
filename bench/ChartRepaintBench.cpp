// Repaint cost of the application's speed chart on long runs: a 734 x 324
// line chart (titles, grid, ticks, labels, frame, one series with triangle
// markers) painted into an image, at 1 000 to 1 000 000 points; the cost
// of adding one sample and repainting the way the main window does it (new
// point, both axis ranges set, repaint with the ranges recomputed), alone
// and over a day-long run; the reduction alone after one sample; and
// loading a whole series at once.
// Goals (medians): append and repaint at most 1 ms at 1 000 000 points,
// the last 100 samples of a day within 1.5 times the first 100; full
// repaint at most 2 ms at 1 000 000 points; bulk load of 1 000 000 points
// at most 50 ms.
//
//   build/bench/ChartRepaintBench --benchmark_repetitions=5
//                                 --benchmark_report_aggregates_only=true
#include "graph/VelGraph.h"
#include "platform/DC.h"
#include "render/AxisScale.h"
#include "render/SeriesPixels.h"
#include "render/VelGraphLineDrawer.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 734;
constexpr int kHeight = 324;

// A speed trace: set-point steps every half hour of samples, a first-order
// approach and a few rpm of noise, as the stirrer reports it.
struct Trace {
    std::vector<double> x, y;
    double dMin = 0.0, dMax = 0.0;
    std::mt19937 rng{42};
    std::normal_distribution<double> noise{0.0, 3.0};
    double dSpeed = 0.0;

    double Next()
    {
        const std::size_t i = x.size();
        const double dTarget = 300.0 + 200.0 * static_cast<double>((i / 1800) % 6);
        dSpeed += (dTarget - dSpeed) * 0.05;
        return std::max(0.0, dSpeed + noise(rng));
    }
    void Add()
    {
        const double v = Next();
        x.push_back(static_cast<double>(x.size() + 1));
        y.push_back(v);
        dMin = std::min(dMin, v);
        dMax = std::max(dMax, v);
    }
};

// The speed chart as the main window sets it up.
std::unique_ptr<CVelGraph> MakeChart()
{
    auto g = std::make_unique<CVelGraph>(nullptr, GRAPH_LINE);
    g->SetBkgColor(0x775649);
    g->SetAxisValueType(GRAPH_AXIS_Y, AXIS_VALUE_INTEGER);
    g->ShowMarks(plat::TRUE);
    g->EnableShowMarks(plat::TRUE);
    g->EnableShowLegend(plat::FALSE);
    g->EnableSeriesActivate(plat::FALSE);
    g->EnableAxisRecalculate(GRAPH_AXIS_X, plat::FALSE);
    g->EnableAxisRecalculate(GRAPH_AXIS_Y, plat::TRUE);
    g->SetAxisMaxRange(GRAPH_AXIS_Y, 0, 900000000000.0);
    g->SetAxisMaxRange(GRAPH_AXIS_X, 0, 1000000);
    g->SetAxisGrid(GRAPH_AXIS_X, plat::TRUE, plat::TRUE);
    g->SetAxisGrid(GRAPH_AXIS_Y, plat::TRUE, plat::TRUE);
    g->EnableShowTitle(plat::FALSE);
    g->EnableShowXTitle(plat::TRUE);
    g->EnableShowYTitle(plat::TRUE);
    g->SetXTitleColor(0xEAEAEA);
    g->SetYTitleColor(0xEAEAEA);
    g->SetXTitle(QStringLiteral("Time(S)"));
    g->SetYTitle(QStringLiteral("Speed(rpm)"));
    return g;
}

void SetRanges(CVelGraph& g, const Trace& t)
{
    g.SetAxisRange(GRAPH_AXIS_Y, t.dMin, t.dMax + (t.dMax - t.dMin) * 0.025, plat::TRUE);
    g.SetAxisRange(GRAPH_AXIS_X, 0, static_cast<double>(t.x.size() + 1), plat::TRUE);
}

struct Fixture {
    std::unique_ptr<CVelGraph> graph = MakeChart();
    QImage image{kWidth, kHeight, QImage::Format_RGB32};
    Trace trace;
    const plat::CRect rc{0, 0, kWidth, kHeight};

    explicit Fixture(int nPoints, bool bNaive = false)
    {
        if (bNaive) graph->SetDrawer(NaiveDrawer(graph.get()));
        for (int i = 0; i < nPoints; ++i) trace.Add();
        Load();
        image.fill(QColor(212, 208, 200));
        plat::CDC dc(&image);
        graph->AdjustLayout(rc, &dc);
    }
    void Load()
    {
        graph->SetSeriesAt(0, static_cast<plat::UINT>(trace.x.size()), trace.x.data(), trace.y.data());
        graph->GetSeries(0)->SetPointStyle(POINT_TRIANGLE_UP);
        graph->GetSeries(0)->SetColor(0x800000);
        SetRanges(*graph, trace);
    }
    void Paint()
    {
        plat::CDC dc(&image);
        graph->OnDraw(&dc, rc);
    }
    static std::unique_ptr<CVelGraphDrawer> NaiveDrawer(CVelGraph* pGraph);
};

// Every point drawn with its own marker and line call, for comparison.
class NaiveLineDrawer : public CVelGraphLineDrawer {
public:
    using CVelGraphLineDrawer::CVelGraphLineDrawer;

protected:
    void DrawOneSeries(plat::CDC* pDC, plat::CRect rcPlot, CVelGraphSeries* s, plat::CPoint) override
    {
        plat::CPen pen(s->nPenStyle, s->nWidth, s->crColor);
        plat::CPen* pOld = pDC->SelectObject(&pen);
        bool bRun = false;
        for (int i = 0; i < s->GetSize(); ++i) {
            plat::CPoint pt;
            const tagGraphPoint& p = s->arPoints.GetAt(i);
            if (!PointPosition(rcPlot, p.x, p.y, pt)) {
                bRun = false;
                continue;
            }
            DrawPointStyle(pDC, s->ePointStyle, s->crColor, pt);
            if (!bRun) pDC->MoveTo(pt);
            bRun = true;
            pDC->LineTo(pt);
        }
        pDC->SelectObject(pOld);
    }
};

std::unique_ptr<CVelGraphDrawer> Fixture::NaiveDrawer(CVelGraph* pGraph)
{
    return std::make_unique<NaiveLineDrawer>(pGraph);
}

void BM_FullRepaint(benchmark::State& state)
{
    Fixture f(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        f.Paint();
        benchmark::DoNotOptimize(f.image.constBits());
    }
}

void BM_AppendAndRepaint(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Fixture f(n);
    // Points added during the run stay under 1 % of the series.
    const int nMaxGrowth = std::max(1, n / 100);
    int nAdded = 0;
    for (auto _ : state) {
        f.trace.Add();
        f.graph->AddOneDataOfSeries(0, f.trace.x.back(), f.trace.y.back());
        SetRanges(*f.graph, f.trace);
        f.Paint();
        benchmark::DoNotOptimize(f.image.constBits());
        if (++nAdded >= nMaxGrowth) {
            state.PauseTiming();
            f.trace.x.resize(n);
            f.trace.y.resize(n);
            f.Load();
            nAdded = 0;
            state.ResumeTiming();
        }
    }
}

// The reduction alone after each appended sample, on the scale the chart
// last painted with, its X range grown by one sample as the window does it.
void BM_AppendReduction(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Fixture f(n);
    f.Paint();
    const plat::CRect rcPlot(0, 0, 640, 280);
    tagGraphAxis xAxis = *f.graph->GetAxis(GRAPH_AXIS_X);
    const tagGraphAxis yAxis = *f.graph->GetAxis(GRAPH_AXIS_Y);
    CSeriesPixels px;
    CGraphPointArray& ar = f.graph->GetSeries(0)->arPoints;
    for (auto _ : state) {
        f.trace.Add();
        ar.Add(f.trace.x.back(), f.trace.y.back());
        xAxis.dMax = f.trace.x.back() + 1;
        CAxisScale::CalculatePixelStep(xAxis, rcPlot.Width());
        px.BuildColumns(ar, xAxis, yAxis, rcPlot, true, 5, 0);
        benchmark::DoNotOptimize(px.MarkRuns().data());
    }
    state.counters["marks"] = static_cast<double>(px.Marks().size());
    state.counters["mark_runs"] = static_cast<double>(px.MarkRuns().size());
    state.counters["vertices"] = static_cast<double>(px.Vertices().size());
}

// The cost of each sample of a day-long run, appended and painted the
// way the main window does it.
std::vector<double> DayLongCosts(int nSamples)
{
    Fixture f(1);
    // The window paints its charts before a run starts: the first samples
    // are not the process's first paints. Half a second of it also brings
    // an idle processor up to speed, which would otherwise make the first
    // samples look slow.
    const auto warm = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (std::chrono::steady_clock::now() < warm) f.Paint();
    std::vector<double> arCost;
    arCost.reserve(static_cast<std::size_t>(nSamples));
    for (int i = 1; i < nSamples; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f.trace.Add();
        f.graph->AddOneDataOfSeries(0, f.trace.x.back(), f.trace.y.back());
        SetRanges(*f.graph, f.trace);
        f.Paint();
        benchmark::DoNotOptimize(f.image.constBits());
        arCost.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    return arCost;
}

// A day-long run sample by sample (86 400 samples, one per second), each
// appended and painted the way the main window does it. Reported: the
// median cost of the first 100 samples, of 100 samples two hours in and of
// the last 100, and the ratios of the last to the other two; each the
// median over five runs, with each run's own ratio beside it.
void BM_DayLongRun(benchmark::State& state)
{
    constexpr int kSamples = 86400;
    constexpr int kWindow = 100;
    // After two hours (about ten samples a pixel column, the speed settled
    // on a step) the picture no longer thickens: from there on the cost
    // should not grow with the run.
    constexpr int kFilled = 8000;
    // A window of 100 samples lasts some 20 ms: one slow spell of a shared
    // machine can move its median. Each figure is the median of the
    // windows of five whole runs.
    constexpr int kRuns = 5;
    for (auto _ : state) {
        std::vector<double> arFirst, arFilled, arLast;
        for (int nRun = 0; nRun < kRuns; ++nRun) {
            const std::vector<double> arCost = DayLongCosts(kSamples);
            auto Median = [&](int nFrom) {
                std::vector<double> v(arCost.begin() + nFrom, arCost.begin() + nFrom + kWindow);
                std::nth_element(v.begin(), v.begin() + kWindow / 2, v.end());
                return v[kWindow / 2];
            };
            arFirst.push_back(Median(0));
            arFilled.push_back(Median(kFilled));
            arLast.push_back(Median(static_cast<int>(arCost.size()) - kWindow));
        }
        auto MedianOfRuns = [](std::vector<double> v) {
            std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
            return v[v.size() / 2];
        };
        const double dFirst = MedianOfRuns(arFirst);
        const double dFilled = MedianOfRuns(arFilled);
        const double dLast = MedianOfRuns(arLast);
        state.counters["first100_ms"] = dFirst;
        state.counters["filled100_ms"] = dFilled;
        state.counters["last100_ms"] = dLast;
        state.counters["last_over_first"] = dLast / dFirst;
        state.counters["last_over_filled"] = dLast / dFilled;
        for (int nRun = 0; nRun < kRuns; ++nRun)
            state.counters["run" + std::to_string(nRun + 1) + "_last_over_first"] = arLast[nRun] / arFirst[nRun];
    }
}

// A whole series loaded at once into a new chart and into an existing one.
void BM_BulkLoad(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Trace t;
    for (int i = 0; i < n; ++i) t.Add();
    for (auto _ : state) {
        CVelGraph g(nullptr, GRAPH_LINE);
        g.AddSeries(static_cast<plat::UINT>(n), t.x.data(), t.y.data());
        benchmark::DoNotOptimize(g.GetSeries(0)->arPoints.GetData());
    }
}

void BM_BulkReplace(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Trace t;
    for (int i = 0; i < n; ++i) t.Add();
    CVelGraph g(nullptr, GRAPH_LINE);
    g.AddSeries(static_cast<plat::UINT>(n), t.x.data(), t.y.data());
    for (auto _ : state) {
        g.SetSeriesAt(0, static_cast<plat::UINT>(n), t.x.data(), t.y.data());
        benchmark::DoNotOptimize(g.GetSeries(0)->arPoints.GetData());
    }
}

void BM_NaiveRepaint(benchmark::State& state)
{
    Fixture f(static_cast<int>(state.range(0)), true);
    for (auto _ : state) {
        f.Paint();
        benchmark::DoNotOptimize(f.image.constBits());
    }
}

}  // namespace

BENCHMARK(BM_FullRepaint)->Arg(100)->Arg(1000)->Arg(10000)->Arg(86400)->Arg(100000)->Arg(300000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AppendAndRepaint)->Arg(100)->Arg(1000)->Arg(10000)->Arg(86400)->Arg(100000)->Arg(300000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AppendReduction)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DayLongRun)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BulkLoad)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BulkReplace)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NaiveRepaint)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
