#include "graph/VelGraphWnd.h"
#include "platform/DialogBuilder.h"
#include "platform/DialogTemplate.h"
#include "support/SimulatedStirrer.h"
#include "ui/LiveCharts.h"
#include "ui/ResourceIds.h"
#include "ui/RunControl.h"

#include <QDialog>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr int kSampleWaitMs = 15000;

struct Range {
    double dMin = 0, dMax = 0;
};

Range AxisRange(const CVelGraphWnd& chart, eGraphAxisType eType)
{
    Range r;
    chart.m_pGraph->GetAxisRange(eType, r.dMin, r.dMax);
    return r;
}

// Both charts as the main window has them, before any run.
class ChartPair {
public:
    ChartPair()
    {
        vantoc::RegisterResources();
        speed.resize(560, 260);
        torque.resize(560, 260);
        charts.SetUp();
    }
    CVelGraphWnd speed;
    CVelGraphWnd torque;
    CLiveCharts charts{&speed, &torque};
};

TEST(LiveChartsSetUp, BothChartsGetTheirTitlesColoursAndNoToolButtons)
{
    ChartPair pair;
    const struct {
        CVelGraphWnd* pChart;
        const char* xTitle;
        const char* yTitle;
    } rows[] = {{&pair.speed, "Time(S)", "Speed(rpm)"}, {&pair.torque, "Time(S)", "Torque(Ncm)"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.yTitle);
        CVelGraph* g = row.pChart->m_pGraph.get();
        EXPECT_EQ(row.pChart->GetBkgColor(), plat::COLORREF(0x775649));
        EXPECT_EQ(row.pChart->GetButtonCount(), 0);
        EXPECT_EQ(g->GetXTitleObject()->m_strText, QString::fromUtf8(row.xTitle));
        EXPECT_EQ(g->GetYTitleObject()->m_strText, QString::fromUtf8(row.yTitle));
        EXPECT_EQ(g->GetXTitleObject()->m_crText, plat::COLORREF(0xEAEAEA));
        EXPECT_TRUE(g->GetXTitleObject()->m_bShow);
        EXPECT_FALSE(g->GetTitleObject()->m_bShow);
        EXPECT_EQ(g->GetAxis(GRAPH_AXIS_Y)->eValueType, AXIS_VALUE_INTEGER);
        EXPECT_FALSE(g->GetAxis(GRAPH_AXIS_X)->bRecalculate);
        EXPECT_TRUE(g->GetAxis(GRAPH_AXIS_Y)->bRecalculate);
        EXPECT_FALSE(g->IsSeriesActivate());
        EXPECT_FALSE(g->GetBound().IsRectEmpty());
    }
}

TEST(LiveChartsSetUp, PlaceholdersOfTheMainWindowBecomeBorderedCharts)
{
    QString error;
    const plat::CDialogTemplate tmpl = plat::CDialogTemplate::Load(vantoc::DialogTemplatePath(102), &error);
    ASSERT_TRUE(tmpl.IsValid()) << error.toStdString();
    QDialog dialog;
    plat::CDialogBuilder(tmpl).Build(&dialog, &CLiveCharts::CreateChart);
    for (int id : {CLiveCharts::kIdSpeedChart, CLiveCharts::kIdTorqueChart}) {
        auto* pChart = qobject_cast<CVelGraphWnd*>(plat::CDialogBuilder::GetDlgItem(&dialog, id));
        ASSERT_NE(pChart, nullptr) << id;
        EXPECT_EQ(pChart->GetClientRect().left, 1) << id;
    }
    EXPECT_EQ(qobject_cast<CVelGraphWnd*>(plat::CDialogBuilder::GetDlgItem(&dialog, 1012)), nullptr);
}

// Runs against the simulated stirrer made exact: no lag, no noise and a
// viscosity that turns 480 rpm into 12 Ncm.
class LiveChartsRunTest : public SimulatedStirrerTest {
protected:
    SimSettings Settings() const override { return ExactSettings(); }
    bool OpenPortInSetUp() const override { return false; }

    void StartRun(CRunControl& run, int speed)
    {
        int target = speed;
        ASSERT_EQ(run.Start(target), CRunControl::EStart::Started);
    }
    // Waits until the run has recorded n samples.
    void WaitForSamples(CRunControl& run, QSignalSpy& spy, int n)
    {
        while (run.Record().GetCount() < n) ASSERT_TRUE(spy.wait(kSampleWaitMs)) << run.Record().GetCount();
    }
};

TEST_F(LiveChartsRunTest, SamplesBecomePointsAndRangesAndASecondStartEmptiesBothCharts)
{
    ChartPair pair;
    CRunControl run;
    pair.charts.Follow(run);
    QSignalSpy samples(&run, &CRunControl::sampleArrived);
    ASSERT_TRUE(run.Connect());

    StartRun(run, 480);
    WaitForSamples(run, samples, 1);
    ASSERT_EQ(run.Record().GetCount(), 1);
    ASSERT_EQ(pair.speed.GetSeriesCount(), 1);
    ASSERT_EQ(pair.torque.GetSeriesCount(), 1);
    const CVelGraphSeries* pSpeed = pair.speed.GetSeries(0);
    const CVelGraphSeries* pTorque = pair.torque.GetSeries(0);
    ASSERT_EQ(pSpeed->GetSize(), 1);
    EXPECT_EQ(pSpeed->arPoints.GetAt(0).x, 1.0);
    EXPECT_EQ(pSpeed->arPoints.GetAt(0).y, 480.0);
    EXPECT_EQ(pTorque->arPoints.GetAt(0).x, 1.0);
    EXPECT_EQ(pTorque->arPoints.GetAt(0).y, 12.0);
    EXPECT_EQ(pSpeed->GetPointStyle(), POINT_TRIANGLE_UP);
    EXPECT_EQ(pSpeed->GetColor(), plat::COLORREF(0x800000));
    EXPECT_EQ(pTorque->GetPointStyle(), POINT_DIAMOND);
    EXPECT_EQ(pTorque->GetColor(), plat::COLORREF(0x8000));
    EXPECT_DOUBLE_EQ(AxisRange(pair.speed, GRAPH_AXIS_Y).dMin, 0);
    EXPECT_DOUBLE_EQ(AxisRange(pair.speed, GRAPH_AXIS_Y).dMax, 492);
    EXPECT_DOUBLE_EQ(AxisRange(pair.torque, GRAPH_AXIS_Y).dMin, 0);
    EXPECT_DOUBLE_EQ(AxisRange(pair.torque, GRAPH_AXIS_Y).dMax, 12.3);
    for (const CVelGraphWnd* pChart : {&pair.speed, &pair.torque}) {
        EXPECT_DOUBLE_EQ(AxisRange(*pChart, GRAPH_AXIS_X).dMin, 0);
        EXPECT_DOUBLE_EQ(AxisRange(*pChart, GRAPH_AXIS_X).dMax, 2);
    }

    WaitForSamples(run, samples, 3);
    ASSERT_EQ(run.Record().GetCount(), 3);
    EXPECT_EQ(pair.speed.GetSeries(0)->GetSize(), 3);
    EXPECT_EQ(pair.torque.GetSeries(0)->GetSize(), 3);
    EXPECT_EQ(pair.speed.GetSeries(0)->arPoints.GetAt(2).x, 3.0);
    EXPECT_DOUBLE_EQ(AxisRange(pair.speed, GRAPH_AXIS_X).dMax, 4);
    EXPECT_DOUBLE_EQ(AxisRange(pair.torque, GRAPH_AXIS_X).dMax, 4);

    // A refused Start leaves the last run on the charts.
    ASSERT_TRUE(run.Stop());
    // Samples the worker sent before it ended belong to the old run.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    sim->InjectNext(kFaultRefuse);
    int target = 480;
    ASSERT_EQ(run.Start(target), CRunControl::EStart::Refused);
    EXPECT_EQ(pair.speed.GetSeriesCount(), 1);
    EXPECT_EQ(pair.torque.GetSeries(0)->GetSize(), 3);

    const int nBefore = samples.count();
    StartRun(run, 240);
    EXPECT_EQ(samples.count(), nBefore);
    EXPECT_EQ(pair.speed.GetSeriesCount(), 0);
    EXPECT_EQ(pair.torque.GetSeriesCount(), 0);
    EXPECT_EQ(pair.charts.SpeedMax(), CLiveCharts::kInitialMax);
    EXPECT_EQ(pair.charts.TorqueMax(), CLiveCharts::kInitialMax);

    WaitForSamples(run, samples, 1);
    ASSERT_EQ(pair.speed.GetSeriesCount(), 1);
    EXPECT_EQ(pair.speed.GetSeries(0)->arPoints.GetAt(0).y, 240.0);
    EXPECT_EQ(pair.speed.GetSeries(0)->GetPointStyle(), POINT_TRIANGLE_UP);
    EXPECT_EQ(pair.speed.GetSeries(0)->GetColor(), plat::COLORREF(0x800000));
    EXPECT_EQ(pair.torque.GetSeries(0)->GetPointStyle(), POINT_DIAMOND);
    EXPECT_EQ(pair.torque.GetSeries(0)->GetColor(), plat::COLORREF(0x8000));
    EXPECT_DOUBLE_EQ(AxisRange(pair.speed, GRAPH_AXIS_Y).dMax, 246);
    EXPECT_DOUBLE_EQ(AxisRange(pair.speed, GRAPH_AXIS_X).dMax, 2);
}

int g_nWarnings = 0;
void CountWarnings(QtMsgType type, const QMessageLogContext&, const QString&)
{
    if (type != QtDebugMsg && type != QtInfoMsg) ++g_nWarnings;
}

TEST_F(LiveChartsRunTest, AMotorThatDoesNotTurnKeepsTheSmallestMaximumAndPaintsCleanly)
{
    sim->SetTimeConstant(1e12);
    ChartPair pair;
    CRunControl run;
    pair.charts.Follow(run);
    QSignalSpy samples(&run, &CRunControl::sampleArrived);
    ASSERT_TRUE(run.Connect());
    StartRun(run, 480);
    WaitForSamples(run, samples, 2);

    ASSERT_EQ(run.Record().SpeedSamples().front(), 0u);
    ASSERT_EQ(run.Record().TorqueSamples().front(), 0.0f);
    const float fSmallest = std::numeric_limits<float>::min();
    EXPECT_EQ(pair.charts.SpeedMax(), fSmallest);
    EXPECT_EQ(pair.charts.TorqueMax(), fSmallest);
    EXPECT_DOUBLE_EQ(AxisRange(pair.speed, GRAPH_AXIS_Y).dMin, 0);
    EXPECT_DOUBLE_EQ(AxisRange(pair.speed, GRAPH_AXIS_Y).dMax, double(fSmallest) * 1.025);

    g_nWarnings = 0;
    const QtMessageHandler previous = qInstallMessageHandler(CountWarnings);
    const QImage speedImage = pair.speed.grab().toImage();
    const QImage torqueImage = pair.torque.grab().toImage();
    qInstallMessageHandler(previous);
    EXPECT_EQ(g_nWarnings, 0);
    ASSERT_FALSE(speedImage.isNull());
    EXPECT_EQ(speedImage.pixelColor(2, speedImage.height() - 2), QColor(0x49, 0x56, 0x77));
    EXPECT_EQ(torqueImage.pixelColor(2, torqueImage.height() - 2), QColor(0x49, 0x56, 0x77));
}

}  // namespace
