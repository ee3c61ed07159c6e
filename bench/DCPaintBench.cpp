// Cost of one chart-sized paint through the platform layer: a memory DC,
// grid lines, a 1000-point line series, scale labels and the blit back.
#include "platform/DC.h"
#include "platform/SysColor.h"
#include "render/VelMemDC.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cmath>

using namespace plat;

namespace {

void PaintChart(CDC& target, int points)
{
    CVelMemDC mem(&target, CRect(0, 0, 400, 300), GetSysColor(COLOR_BTNFACE));
    CPen grid(PS_SOLID, 1, RGB(212, 208, 200));
    CPen* old = mem.SelectObject(&grid);
    for (int x = 40; x < 400; x += 36) {
        mem.MoveTo(x, 10);
        mem.LineTo(x, 280);
    }
    CPen series(PS_SOLID, 1, RGB(255, 0, 0));
    mem.SelectObject(&series);
    mem.MoveTo(40, 150);
    for (int i = 0; i < points; ++i) mem.LineTo(40 + i * 350 / points, 150 + int(100 * std::sin(i * 0.05)));
    CFont font;
    LOGFONT lf;
    lf.lfHeight = 18;
    lf.lfWeight = FW_BOLD;
    lf.SetFaceName("Microsoft Sans Serif");
    font.CreateFontIndirect(&lf);
    CFont* oldFont = mem.SelectObject(&font);
    mem.SetBkMode(TRANSPARENT);
    for (int x = 40; x < 400; x += 36) mem.TextOut(x, 282, QString::number(x));
    mem.SelectObject(oldFont);
    mem.SelectObject(old);
}

void BM_ChartPaint(benchmark::State& state)
{
    QImage screen(400, 300, QImage::Format_RGB32);
    for (auto _ : state) {
        CDC dc(&screen);
        PaintChart(dc, int(state.range(0)));
    }
}
BENCHMARK(BM_ChartPaint)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
