// What painting through the graph window costs over painting the same
// chart into an image: the speed chart at 734 x 324 with 1 000 points,
// repainted through the window (its off-screen buffer, the copy to the
// window) and painted directly into an image the way the window's OnDraw
// does. Goal: the window adds at most 0.2 ms (difference of the medians).
//
//   QT_QPA_PLATFORM=offscreen build/bench/GraphWndPaintBench
//       --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include "graph/VelGraphWnd.h"
#include "platform/DC.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <cmath>
#include <vector>

namespace {

constexpr int kWidth = 734;
constexpr int kHeight = 324;
constexpr int kPoints = 1000;

void SetUp(CVelGraphWnd& wnd)
{
    std::vector<double> x, y;
    for (int i = 0; i < kPoints; ++i) {
        x.push_back(i + 1);
        y.push_back(800 + 300 * std::sin(i * 0.01) + 5 * std::sin(i * 1.7));
    }
    wnd.SetBkgColor(0x775649);
    wnd.ShowButtons(plat::FALSE);
    wnd.SetAxisValueType(GRAPH_AXIS_Y, AXIS_VALUE_INTEGER);
    wnd.SetXTitle(QStringLiteral("Time(S)"));
    wnd.SetYTitle(QStringLiteral("Speed(rpm)"));
    wnd.EnableShowXTitle(plat::TRUE);
    wnd.EnableShowYTitle(plat::TRUE);
    wnd.AddSeries(kPoints, x.data(), y.data());
    wnd.GetSeries(0)->SetPointStyle(POINT_TRIANGLE_UP);
    wnd.SetAxisRange(GRAPH_AXIS_X, 0, kPoints + 1, plat::TRUE);
    wnd.SetAxisRange(GRAPH_AXIS_Y, 400, 1200, plat::TRUE);
}

// The window repaints itself: buffer, chart, copy to the window.
void BM_WindowPaint(benchmark::State& state)
{
    CVelGraphWnd wnd;
    SetUp(wnd);
    wnd.resize(kWidth, kHeight);
    wnd.show();
    QApplication::processEvents();
    for (auto _ : state) wnd.repaint();
}

// The same chart painted into an image as the window's OnDraw paints it.
class DirectWnd : public CVelGraphWnd {
public:
    void LayOut(QImage& image)
    {
        plat::CDC dc(&image);
        AdjustLayout(plat::CRect(0, 0, kWidth, kHeight), &dc);
    }
    void PaintInto(QImage& image)
    {
        plat::CDC dc(&image);
        OnDraw(&dc, plat::CRect(0, 0, kWidth, kHeight));
    }
};

void BM_ImagePaint(benchmark::State& state)
{
    DirectWnd wnd;
    SetUp(wnd);
    wnd.resize(kWidth, kHeight);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    wnd.LayOut(image);
    wnd.PaintInto(image);
    for (auto _ : state) {
        wnd.PaintInto(image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

}  // namespace

BENCHMARK(BM_WindowPaint)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ImagePaint)->Unit(benchmark::kMillisecond)->UseRealTime();

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
