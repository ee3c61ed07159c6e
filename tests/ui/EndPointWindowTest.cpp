// The torque end-point assistant in the main window, against the simulated
// stirrer: tare with F3, the alert, the marker at the firing sample, the
// configured stop, and the rules' dialog.

#include "MainWindowFixture.h"
#include "graph/VelGraphWnd.h"
#include "run/EndPointRules.h"
#include "ui/AlarmBanner.h"
#include "ui/EndPointDlg.h"
#include "ui/EndPointView.h"
#include "ui/LiveCharts.h"
#include "ui/MainMenuBar.h"
#include "ui/RunStatusStrip.h"
#include "ui/TorqueCells.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

using namespace main_window_test;

namespace {

constexpr int kStartId = 1006;

struct SEvent {
    int afterSamples;
    CRunControl::EEvent kind;
    QString text;
};

class EndPointWindowTest : public MainWindowTest
{
protected:
    // The thickening of a test: at 1000 rpm the torque climbs from 10 Ncm
    // towards 60 Ncm with a time constant of tau seconds, without noise.
    static SimSettings Thickening(double tau)
    {
        SimSettings s = ExactSettings();
        s.torqueNoiseNcm = 0;
        s.thickening = {true, 10, 60, tau};
        return s;
    }

    void OpenRecording()
    {
        Open();
        QObject::connect(&dlg->Run(), &CRunControl::eventRecorded, dlg.get(),
                         [this](int after, CRunControl::EEvent kind, const QString& text) {
                             events.push_back({after, kind, text});
                         });
    }
    void StartAt(int rpm)
    {
        SetSpeedText(QString::number(rpm));
        Click(dlg->GetDlgItem(kStartId));
    }
    std::vector<SEvent> EventsOf(CRunControl::EEvent kind) const
    {
        std::vector<SEvent> out;
        for (const SEvent& e : events)
            if (e.kind == kind) out.push_back(e);
        return out;
    }
    const CAlarmBanner* Banner() const { return dlg->Strip()->Banner(); }
    std::vector<double> MarkersAt(const CVelGraphWnd* chart) const
    {
        std::vector<double> xs;
        for (const tagGraphMarker& m : chart->GetGraph()->GetMarkers()) xs.push_back(m.x);
        return xs;
    }

    std::vector<SEvent> events;
};

class EndPointTareTest : public EndPointWindowTest
{
};

TEST_F(EndPointTareTest, F3TaresTheLastFiveSamplesAndTheStripShowsDeltaFromThen)
{
    OpenRecording();
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    QTest::keyClick(dlg.get(), Qt::Key_F3);
    EXPECT_TRUE(EventsOf(CRunControl::EEvent::Tare).empty()) << "no run, no tare";
    EXPECT_TRUE(dlg->Strip()->NoticeShown().contains("Tare torque")) << dlg->Strip()->NoticeShown().toStdString();
    EXPECT_EQ(dlg->TorqueCells()->DeltaShown(), QString());

    StartAt(200);  // 25 Ncm per 1000 rpm: 5 Ncm
    ASSERT_TRUE(WaitFor([&] { return Samples() >= 3; }, 30000));
    EXPECT_EQ(dlg->TorqueCells()->DeltaShown(), QString()) << "Δ only after a tare";
    QTest::keyClick(dlg.get(), Qt::Key_F3);
    const auto tares = EventsOf(CRunControl::EEvent::Tare);
    ASSERT_EQ(tares.size(), 1u);
    EXPECT_EQ(tares[0].text, "tare 5.0 Ncm");
    EXPECT_EQ(dlg->TorqueCells()->DeltaShown(), QString::fromUtf8("Δ 0.0 Ncm"));
    ASSERT_NE(dlg->MenuBar()->Entry("Tare torque"), nullptr);
    EXPECT_EQ(dlg->MenuBar()->Entry("Tare torque")->shortcut(), QKeySequence(Qt::Key_F3));

    // The Δ series follows from the tare on, shown on request.
    const int n = Samples();
    ASSERT_TRUE(WaitFor([&] { return Samples() >= n + 1; }, 30000));
    EXPECT_EQ(dlg->Charts()->TorqueChart()->GetSeriesCount(), 1);
    dlg->MenuBar()->Entry(QString::fromUtf8("Show Δtorque on the chart"))->trigger();
    ASSERT_EQ(dlg->Charts()->TorqueChart()->GetSeriesCount(), 2);
    const CVelGraphSeries* delta = dlg->Charts()->TorqueChart()->GetSeries(1);
    ASSERT_GE(delta->GetSize(), 1);
    double x = 0, y = 0;
    delta->GetAt(0, x, y);
    EXPECT_EQ(x, n + 1.0) << "the first sample after the tare";
    EXPECT_EQ(y, 0.0);
    EXPECT_NE(dlg->MenuBar()->Entry(QString::fromUtf8("Hide Δtorque on the chart")), nullptr);
    dlg->OnStop();
}

class EndPointThresholdTest : public EndPointWindowTest
{
protected:
    SimSettings Settings() const override { return Thickening(5); }
};

TEST_F(EndPointThresholdTest, ThresholdWithStopAlertsMarksTheFiringSampleAndStopsTheMotor)
{
    OpenRecording();
    CEndPointRules rules;
    rules.thresholdOn = true;
    rules.thresholdNcm = 40;  // no tare: Δ is the torque itself
    rules.thresholdAction = CEndPointRules::Action::StopMotor;
    dlg->SetEndPointRules(rules);
    StartAt(1000);
    ASSERT_TRUE(WaitFor([&] { return !dlg->Run().IsRunning(); }, 60000));
    // The stopping worker's last sample, if any, comes after the marker.
    ASSERT_TRUE(WaitFor([&] { return !dlg->Run().IsBusy(); }));

    const auto reached = EventsOf(CRunControl::EEvent::EndPoint);
    ASSERT_EQ(reached.size(), 1u);
    EXPECT_TRUE(reached[0].text.startsWith("Torque threshold reached after 0:00:")) << reached[0].text.toStdString();
    EXPECT_TRUE(Banner()->IsRaised());
    EXPECT_TRUE(Banner()->Text().contains(reached[0].text)) << Banner()->Text().toStdString();
    EXPECT_GE(Banner()->BeepCount(), 1);

    // The firing sample: the first at or above 40 Ncm.
    const std::vector<float>& torque = dlg->Run().Record().TorqueSamples();
    int firing = 0;
    while (firing < int(torque.size()) && torque[firing] < 40) ++firing;
    ASSERT_LT(firing, int(torque.size()));
    ASSERT_GT(firing, 0) << "the torque climbed to it";
    for (const CVelGraphWnd* chart : {dlg->Charts()->SpeedChart(), dlg->Charts()->TorqueChart()})
        EXPECT_EQ(MarkersAt(chart), std::vector<double>{firing + 1.0});

    EXPECT_FALSE(dlg->Run().IsMotorRunning());
    EXPECT_EQ(LastFrame().bytes, kSpeed0);
    EXPECT_LE(Samples(), firing + 2) << "stopped at the firing sample";
}

TEST_F(EndPointThresholdTest, RulesSetDuringARunApplyToItAtOnce)
{
    OpenRecording();
    dlg->SetEndPointRules(CEndPointRules());
    StartAt(1000);
    ASSERT_TRUE(WaitFor([&] { return Samples() >= 1; }, 30000));
    CEndPointRules rules;
    rules.thresholdOn = true;
    rules.thresholdNcm = 40;
    rules.thresholdAction = CEndPointRules::Action::StopMotor;
    dlg->SetEndPointRules(rules);
    ASSERT_TRUE(WaitFor([&] { return !dlg->Run().IsRunning(); }, 60000));
    ASSERT_EQ(EventsOf(CRunControl::EEvent::EndPoint).size(), 1u);
    EXPECT_FALSE(dlg->Run().IsMotorRunning());
    EXPECT_EQ(LastFrame().bytes, kSpeed0);
}

class EndPointPlateauTest : public EndPointWindowTest
{
protected:
    SimSettings Settings() const override { return Thickening(1); }
};

TEST_F(EndPointPlateauTest, PlateauAlertLeavesTheMotorRunningAndMarksTheFiringSample)
{
    OpenRecording();
    CEndPointRules rules;
    rules.plateauOn = true;
    rules.plateauRate = 0.5;
    rules.plateauSeconds = 2;
    rules.trendWindowSeconds = 3;
    dlg->SetEndPointRules(rules);
    QSignalSpy shown(dlg->EndPoint(), &CEndPointView::endPointShown);
    StartAt(1000);
    ASSERT_TRUE(WaitFor([&] { return shown.count() > 0; }, 60000));
    const auto reached = EventsOf(CRunControl::EEvent::EndPoint);
    ASSERT_EQ(reached.size(), 1u);
    EXPECT_TRUE(reached[0].text.startsWith("Torque plateau reached after 0:00:")) << reached[0].text.toStdString();
    EXPECT_EQ(shown.at(0).at(0).toString(), reached[0].text);
    EXPECT_TRUE(Banner()->IsRaised());
    // Fired at the sample being recorded.
    for (const CVelGraphWnd* chart : {dlg->Charts()->SpeedChart(), dlg->Charts()->TorqueChart()})
        EXPECT_EQ(MarkersAt(chart), std::vector<double>{double(reached[0].afterSamples)});
    // The torque had levelled off by then.
    const std::vector<float>& torque = dlg->Run().Record().TorqueSamples();
    const int at = reached[0].afterSamples;
    ASSERT_GE(at, 3);
    EXPECT_LE(std::abs(torque[at - 1] - torque[at - 3]), 1.0f);
    EXPECT_TRUE(dlg->TorqueCells()->TrendShown().endsWith(QString::fromUtf8("→")))
        << dlg->TorqueCells()->TrendShown().toStdString();

    const int n = Samples();
    ASSERT_TRUE(WaitFor([&] { return Samples() >= n + 1; }, 30000));
    EXPECT_TRUE(dlg->Run().IsRunning()) << "an alert only";
    Banner()->AcknowledgeButton()->click();
    EXPECT_FALSE(Banner()->IsRaised());
    dlg->OnStop();
}

TEST_F(EndPointTareTest, EndPointDialogChangesTheRulesAtOnceAndRemembersThem)
{
    QSettings remembered;
    remembered.remove("endPoint");
    Open();
    ModalAnswer<CEndPointDlg> answer([](CEndPointDlg* shown) {
        auto* box = shown->findChild<QDialogButtonBox*>();
        ASSERT_NE(box, nullptr);
        box->button(QDialogButtonBox::Ok)->click();
    });
    CEndPointRules before = CEndPointRules();
    before.thresholdOn = true;
    before.thresholdNcm = 12;
    dlg->SetEndPointRules(before);
    dlg->MenuBar()->Entry(QString::fromUtf8("End point…"))->trigger();
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(dlg->EndPoint()->Rules(), before);
    EXPECT_EQ(CEndPointView::RememberedRules(), before);
    remembered.remove("endPoint");
}

}  // namespace
