// The status strip's torque and broker cells, and the Δtorque series of the
// torque chart.

#include "graph/VelGraphWnd.h"
#include "run/TorqueEndPoint.h"
#include "ui/BrokerLinkCell.h"
#include "ui/LiveCharts.h"
#include "ui/ResourceIds.h"
#include "ui/TorqueCells.h"

#include <gtest/gtest.h>

namespace {

TEST(TorqueCellsTest, DeltaAndTrendTexts)
{
    struct DeltaCase {
        double delta;
        const char* text;
    };
    for (const DeltaCase& c : {DeltaCase{0, "Δ 0.0 Ncm"}, DeltaCase{12.44, "Δ 12.4 Ncm"}, DeltaCase{-3.26, "Δ -3.3 Ncm"},
                               DeltaCase{-0.04, "Δ 0.0 Ncm"}, DeltaCase{0.05, "Δ 0.1 Ncm"}, DeltaCase{250, "Δ 250.0 Ncm"}})
        EXPECT_EQ(CTorqueCells::DeltaText(c.delta), QString::fromUtf8(c.text)) << c.delta;
    EXPECT_EQ(CTorqueCells::DeltaText(std::numeric_limits<double>::quiet_NaN()), QString());

    struct TrendCase {
        std::optional<double> rate;
        double flatBelow;
        const char* text;
    };
    for (const TrendCase& c : {
             TrendCase{std::nullopt, 0.5, "trend — Ncm/min"},
             TrendCase{0.0, 0.5, "trend 0.0 Ncm/min →"},
             TrendCase{0.49, 0.5, "trend +0.5 Ncm/min →"},  // shown rounded, judged exactly
             TrendCase{0.5, 0.5, "trend +0.5 Ncm/min ↑"},
             TrendCase{-0.5, 0.5, "trend -0.5 Ncm/min ↓"},
             TrendCase{-0.3, 0.5, "trend -0.3 Ncm/min →"},
             TrendCase{12.24, 2, "trend +12.2 Ncm/min ↑"},
             TrendCase{-0.01, 0, "trend 0.0 Ncm/min ↓"},  // no flat band: any fall points down
             TrendCase{std::numeric_limits<double>::infinity(), 0.5, "trend — Ncm/min"},
         })
        EXPECT_EQ(CTorqueCells::TrendText(c.rate, c.flatBelow), QString::fromUtf8(c.text))
            << (c.rate ? *c.rate : -999) << " " << c.flatBelow;
}

TEST(TorqueCellsTest, ShowsTheDetectorDeltaOnlyAfterATareAndTheTrendOnceTheWindowIsFull)
{
    CEndPointRules rules;
    rules.trendWindowSeconds = 4;
    rules.plateauRate = 1;
    CTorqueEndPoint detector(rules);
    CTorqueCells cells;
    cells.Show(detector);
    EXPECT_EQ(cells.DeltaShown(), QString());
    EXPECT_EQ(cells.TrendShown(), QString());

    // 10, 12, 14 ... : 2 Ncm per second = 120 Ncm/min.
    for (int s = 0; s < 3; ++s) detector.AddSample(s, 10 + 2 * s);
    cells.Show(detector);
    EXPECT_EQ(cells.DeltaShown(), QString()) << "no tare yet";
    EXPECT_EQ(cells.TrendShown(), QString::fromUtf8("trend — Ncm/min"));
    for (int s = 3; s < 6; ++s) detector.AddSample(s, 10 + 2 * s);
    ASSERT_TRUE(detector.Tare());  // mean of 12, 14, 16, 18, 20
    detector.AddSample(6, 25);
    cells.Show(detector);
    EXPECT_EQ(cells.DeltaShown(), QString::fromUtf8("Δ 9.0 Ncm"));
    EXPECT_TRUE(cells.TrendShown().endsWith(QString::fromUtf8("Ncm/min ↑"))) << cells.TrendShown().toStdString();

    cells.Show(CTorqueEndPoint(rules));  // a new run's detector
    EXPECT_EQ(cells.DeltaShown(), QString());
    EXPECT_EQ(cells.TrendShown(), QString());
}

TEST(BrokerLinkCellTest, TextsAndLevelsOfEveryLinkState)
{
    using L = CMqttPublisher::ELink;
    using V = CBrokerLinkCell::ELevel;
    struct Case {
        L link;
        const char* reason;
        const char* text;
        V level;
    };
    for (const Case& c : {
             Case{L::Connected, "", "Broker: connected", V::Good},
             Case{L::Connecting, "", "Broker: connecting…", V::Waiting},
             Case{L::Unreachable, "Connection refused", "Broker: not connected (Connection refused)", V::Waiting},
             Case{L::Unreachable, "", "Broker: not connected", V::Waiting},
             Case{L::Refused, "not authorised.", "Broker: refused (not authorised.)", V::Bad},
             Case{L::Off, "", "Broker: off", V::Off},
         }) {
        EXPECT_EQ(CBrokerLinkCell::Text(c.link, QString::fromUtf8(c.reason)), QString::fromUtf8(c.text));
        EXPECT_EQ(CBrokerLinkCell::LevelOf(c.link), c.level) << c.text;
    }
    CBrokerLinkCell cell;
    cell.Follow(nullptr);
    EXPECT_FALSE(cell.isVisibleTo(nullptr)) << "nothing published: no cell";
}

class DeltaSeriesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        vantoc::RegisterResources();
        speed.resize(560, 260);
        torque.resize(560, 260);
        charts.SetUp();
        charts.Reset();
    }
    // Torque 40 + n; Δ from sample 3 on, against a tare of 42.
    void Feed(int from, int to)
    {
        for (int n = from; n <= to; ++n) {
            charts.UpdateSpeed(n, 500);
            charts.UpdateTorque(n, 40.0f + n);
            if (n >= 3) charts.UpdateDelta(n, 40.0f + n - 42.0f - (n == 4 ? 5.0f : 0.0f));
        }
    }
    double YMin() const
    {
        double dMin = 0, dMax = 0;
        torque.m_pGraph->GetAxisRange(GRAPH_AXIS_Y, dMin, dMax);
        return dMin;
    }
    CVelGraphWnd speed;
    CVelGraphWnd torque;
    CLiveCharts charts{&speed, &torque};
};

TEST_F(DeltaSeriesTest, OffByDefaultShownWithTheWholeRunSinceTheTareAndHiddenAgain)
{
    Feed(1, 5);
    EXPECT_FALSE(charts.IsDeltaShown());
    EXPECT_EQ(torque.GetSeriesCount(), 1) << "unused, the chart is as before";
    EXPECT_EQ(charts.DeltaCount(), 3);
    EXPECT_EQ(YMin(), 0.0);

    charts.ShowDelta(true);
    ASSERT_EQ(torque.GetSeriesCount(), 2);
    const CVelGraphSeries* delta = torque.GetSeries(1);
    ASSERT_EQ(delta->GetSize(), 3);
    double x = 0, y = 0;
    delta->GetAt(1, x, y);
    EXPECT_EQ(x, 4.0);
    EXPECT_EQ(y, -3.0);  // 44 - 42 - 5
    EXPECT_EQ(delta->GetColor(), CLiveCharts::kDeltaColor);
    EXPECT_EQ(YMin(), -3.0) << "the range takes in the Δ series";

    Feed(6, 7);
    EXPECT_EQ(torque.GetSeries(1)->GetSize(), 5);
    EXPECT_EQ(torque.GetSeries(0)->GetSize(), 7);

    charts.ShowDelta(false);
    EXPECT_EQ(torque.GetSeries(1)->GetSize(), 0);
    EXPECT_EQ(torque.GetSeries(0)->GetSize(), 7);
    EXPECT_EQ(YMin(), 0.0);

    charts.ShowDelta(true);
    charts.Reset();
    EXPECT_EQ(charts.DeltaCount(), 0);
    Feed(1, 2);
    EXPECT_EQ(torque.GetSeriesCount(), 1) << "no Δ before the new run's tare";
    Feed(3, 3);
    ASSERT_EQ(torque.GetSeriesCount(), 2);
    EXPECT_EQ(torque.GetSeries(1)->GetSize(), 1);
}

}  // namespace
