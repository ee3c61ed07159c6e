#include "graph/VelGraphWnd.h"
#include "ui/LiveCharts.h"
#include "ui/PortSettingDlg.h"
#include "ui/ResourceIds.h"
#include "ui/StirrerDlg.h"

#include "support/ModalAnswer.h"
#include "support/SimulatedStirrer.h"
#include "UiTestSupport.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

// The main window against an exact simulated stirrer (no lag, no noise,
// 25 Ncm per 1000 rpm).
class LiveChartsDialogTest : public SimulatedStirrerTest {
protected:
    SimSettings Settings() const override { return ExactSettings(); }
    bool OpenPortInSetUp() const override { return false; }
    void SetUp() override
    {
        SimulatedStirrerTest::SetUp();
        vantoc::RegisterResources();
    }
    void TearDown() override
    {
        dlg.reset();
        SimulatedStirrerTest::TearDown();
    }
    void Open()
    {
        dlg = std::make_unique<CStirrerDlg>();
        dlg->SetPortPreselection(QString::fromStdString(sim->SlavePath()), "9600");
        ModalAnswer<CPortSettingDlg> answer([&](CPortSettingDlg* shown) { Click(shown->GetDlgItem(plat::IDOK)); });
        ASSERT_TRUE(dlg->Create());
        ASSERT_TRUE(answer.answered());
        dlg->show();
    }
    std::unique_ptr<CStirrerDlg> dlg;
};

TEST_F(LiveChartsDialogTest, ChartsTakeThePlaceholdersAndShowTheFirstSample)
{
    Open();
    ASSERT_NE(dlg->Charts(), nullptr);
    CVelGraphWnd* pSpeed = dlg->Charts()->SpeedChart();
    CVelGraphWnd* pTorque = dlg->Charts()->TorqueChart();
    ASSERT_EQ(pSpeed, dlg->GetDlgItem<CVelGraphWnd>(1010));
    ASSERT_EQ(pTorque, dlg->GetDlgItem<CVelGraphWnd>(1007));
    EXPECT_LT(pSpeed->geometry().bottom(), pTorque->geometry().top());
    EXPECT_EQ(pSpeed->m_pGraph->GetYTitleObject()->m_strText, "Speed(rpm)");
    EXPECT_EQ(pTorque->m_pGraph->GetYTitleObject()->m_strText, "Torque(Ncm)");

    dlg->GetDlgItem<QLineEdit>(1004)->setText("480");
    Click(dlg->GetDlgItem(1006));
    ASSERT_TRUE(WaitFor([&] { return dlg->Run().Record().GetCount() >= 1; }));
    ASSERT_EQ(pSpeed->GetSeriesCount(), 1);
    ASSERT_EQ(pTorque->GetSeriesCount(), 1);
    EXPECT_EQ(pSpeed->GetSeries(0)->arPoints.GetAt(0).y, 480.0);
    EXPECT_EQ(pTorque->GetSeries(0)->arPoints.GetAt(0).y, 12.0);
    double dMin = -1, dMax = -1;
    pSpeed->m_pGraph->GetAxisRange(GRAPH_AXIS_Y, dMin, dMax);
    EXPECT_DOUBLE_EQ(dMax, 492);
    pTorque->m_pGraph->GetAxisRange(GRAPH_AXIS_Y, dMin, dMax);
    EXPECT_DOUBLE_EQ(dMax, 12.3);
}

}  // namespace
