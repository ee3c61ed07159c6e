#include "platform/DC.h"
#include "render/AxisScale.h"
#include "render/MarkMask.h"
#include "render/SeriesPixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

// A filled square of one colour: spans, so marks can be kept as a mask.
CMarkerStamp Square()
{
    return CMarkerStamp::Capture(4, [](plat::CDC& dc, plat::CPoint pt) {
        dc.FillSolidRect(plat::CRect(pt.x - 2, pt.y - 2, pt.x + 3, pt.y + 3), plat::RGB(0, 0, 128));
    });
}

struct LiveSeries {
    CGraphPointArray points;
    tagGraphAxis xAxis{}, yAxis{};
    std::mt19937 rng{9};
    std::normal_distribution<double> noise{0.0, 3.0};
    double v = 0.0;
    const plat::CRect rcPlot{0, 0, 300, 150};
    CSeriesPixels px;

    void Add()
    {
        const int n = points.GetSize();
        v += (300.0 + 200.0 * ((n / 900) % 3) - v) * 0.05;
        points.Add(n + 1, v + noise(rng));
    }
    // The window's step: one sample, the X range grown by it.
    void Build(int nReach)
    {
        xAxis.dMin = 0;
        xAxis.dMax = points.GetSize() + 1;
        yAxis.dMin = 0;
        yAxis.dMax = 1000;
        CAxisScale::CalculatePixelStep(xAxis, rcPlot.Width());
        CAxisScale::CalculatePixelStep(yAxis, rcPlot.Height());
        px.BuildColumns(points, xAxis, yAxis, rcPlot, true, nReach, 0);
    }
};

std::vector<std::uint64_t> Fresh(const CSeriesPixels& px, const CMarkerStamp& stamp, plat::CRect rc)
{
    CMarkMask mask;
    mask.Update(px, stamp, rc);
    return {mask.Bits(), mask.Bits() + static_cast<std::size_t>(rc.Width()) * mask.Words()};
}

}  // namespace

// Sample after sample the kept mask equals one stamped anew; once the
// series is dense, a sample stamps a few columns again, not the plot.
TEST(MarkMaskTest, KeptMarksEqualMarksStampedAnewAndFewColumnsAreStampedAgain)
{
    const CMarkerStamp stamp = Square();
    ASSERT_TRUE(CMarkMask::Fits(stamp));
    LiveSeries series;
    CMarkMask kept;
    std::vector<int> arLate;
    for (int i = 0; i < 6000; ++i) {
        series.Add();
        if (i % 7 != 0 && i < 5900) continue;
        series.Build(stamp.Reach());
        ASSERT_FALSE(series.px.MarkColumns().empty());
        kept.Update(series.px, stamp, series.rcPlot);
        const std::vector<std::uint64_t> fresh = Fresh(series.px, stamp, series.rcPlot);
        ASSERT_TRUE(std::equal(fresh.begin(), fresh.end(), kept.Bits())) << "after sample " << i;
        if (i >= 5900) arLate.push_back(kept.GetRestampedCount());
    }
    std::nth_element(arLate.begin(), arLate.begin() + arLate.size() / 2, arLate.end());
    const int nMedian = arLate[arLate.size() / 2];
    EXPECT_LT(nMedian, series.rcPlot.Width() / 4);
    EXPECT_GT(*std::max_element(arLate.begin(), arLate.end()), 0);

    // Another stamp or area starts over.
    CMarkMask other = kept;
    other.Forget();
    other.Update(series.px, stamp, series.rcPlot);
    EXPECT_EQ(other.GetRestampedCount(), series.rcPlot.Width());
}
