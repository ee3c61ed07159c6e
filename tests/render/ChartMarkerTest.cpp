#include "graph/VelGraph.h"
#include "platform/DC.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

const QRgb kWindow = qRgb(0x49, 0x56, 0x77);
constexpr plat::COLORREF kMarker = plat::RGB(255, 0, 0);
constexpr plat::COLORREF kSeries = plat::RGB(0, 0, 255);

QImage Paint(CVelGraph& graph)
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(kWindow);
    const plat::CRect rc(0, 0, image.width(), image.height());
    plat::CDC dc(&image);
    graph.AdjustLayout(rc, &dc);
    graph.OnDraw(&dc, rc);
    return image;
}

// A chart of ten points, x = 1 to 10, on a fixed X range of 0 to 11.
void Fill(CVelGraph& graph)
{
    std::vector<double> x, y;
    for (int i = 1; i <= 10; ++i) {
        x.push_back(i);
        y.push_back(i % 2 ? 30 : 70);
    }
    graph.AddSeries(10, x.data(), y.data());
    graph.GetSeries(0)->SetColor(kSeries);
    graph.GetSeries(0)->SetPointStyle(eCurvePointStyle(5));
    graph.SetAxisRange(GRAPH_AXIS_X, 0, 11, plat::FALSE);
    graph.SetAxisRange(GRAPH_AXIS_Y, 0, 100, plat::FALSE);
}

int CountInColumn(const QImage& image, int x, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) n += image.pixel(x, y) == colour;
    return n;
}

// A bar's cell runs from x - 1 to x, so a marker through bar 5 stands at 4.5.
struct SMarkerCase {
    eGraphStyle eStyle;
    double x;
};

class ChartMarkerTest : public ::testing::TestWithParam<SMarkerCase>
{
};

TEST_P(ChartMarkerTest, AMarkerIsAColumnAtItsXValueUnderTheSeriesAndGoesWithoutATrace)
{
    CVelGraph plain(nullptr, GetParam().eStyle);
    Fill(plain);
    const QImage before = Paint(plain);

    CVelGraph marked(nullptr, GetParam().eStyle);
    Fill(marked);
    marked.AddMarker(GetParam().x, kMarker, plat::PS_SOLID, QString());
    const QImage after = Paint(marked);

    // Only one column changed, and only to the marker's colour.
    int changedColumn = -1;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x) {
            if (before.pixel(x, y) == after.pixel(x, y)) continue;
            ASSERT_EQ(after.pixel(x, y), qRgb(255, 0, 0)) << x << "," << y;
            if (changedColumn < 0) changedColumn = x;
            ASSERT_EQ(x, changedColumn) << "a second column changed";
        }
    ASSERT_GE(changedColumn, 0);
    const plat::CRect data = marked.GetInlineRect();
    EXPECT_GE(CountInColumn(after, changedColumn, qRgb(255, 0, 0)), data.Height() / 2);

    // The marker's column is the pixel column of the point at x = 5: the
    // series' own pixels there stay the series' colour (drawn on top).
    int bValid = 0;
    const int nPointX = data.left + marked.GetDrawer()->GetAxisPosition(GetParam().x, marked.GetAxis(GRAPH_AXIS_X), bValid);
    ASSERT_TRUE(bValid);
    EXPECT_EQ(changedColumn, nPointX);
    int kept = 0;
    for (int y = data.top; y < data.bottom; ++y) {
        const QRgb c = after.pixel(nPointX, y);
        kept += c != qRgb(255, 0, 0) && c != qRgb(234, 234, 234) && c != qRgb(212, 208, 200);
    }
    EXPECT_GT(kept, 0);

    marked.RemoveAllMarkers();
    EXPECT_EQ(Paint(marked), before);
}

INSTANTIATE_TEST_SUITE_P(EveryDrawer, ChartMarkerTest, ::testing::Values(SMarkerCase{GRAPH_LINE, 5}, SMarkerCase{GRAPH_BAR, 4.5},
                                                                 SMarkerCase{GRAPH_SCATTER, 5}));

TEST(ChartMarkerLabelTest, LabelAtTheTopInTheMarkerColourAndRemoveAllClears)
{
    CVelGraph graph(nullptr, GRAPH_LINE);
    Fill(graph);
    graph.AddMarker(3, kMarker, plat::PS_DOT, QStringLiteral("Mark 1"));
    graph.AddMarker(200, kMarker, plat::PS_SOLID, QStringLiteral("off the axis"));
    const QImage image = Paint(graph);
    const plat::CRect data = graph.GetInlineRect();
    int bValid = 0;
    const int x = data.left + graph.GetDrawer()->GetAxisPosition(3, graph.GetAxis(GRAPH_AXIS_X), bValid);
    // Text pixels right of the line near the top of the plot.
    int label = 0;
    for (int yy = data.top; yy < data.top + 20; ++yy)
        for (int xx = x + 2; xx < x + 40; ++xx) label += image.pixel(xx, yy) == qRgb(255, 0, 0);
    EXPECT_GT(label, 10);
    // A dotted line leaves gaps.
    const int red = CountInColumn(image, x, qRgb(255, 0, 0));
    EXPECT_GT(red, 10);
    EXPECT_LT(red, data.Height() * 3 / 4);
    // Nothing of the marker beyond the axis.
    int beyond = 0;
    for (int yy = data.top + 20; yy < data.bottom; ++yy) beyond += image.pixel(data.right + 4, yy) == qRgb(255, 0, 0);
    EXPECT_EQ(beyond, 0);

    EXPECT_EQ(graph.GetMarkers().size(), 2u);
    graph.RemoveAll(plat::TRUE);
    EXPECT_TRUE(graph.GetMarkers().empty());
}

}  // namespace
