// What the main window sets up at start and what no other test pins down:
// its controls' looks, the port dialog's Cancel, the speed's lower bound and
// a run-state message that only stores the motor flag.
#include "display/TarnStatic.h"
#include "display/VelButton.h"
#include "display/VelDigit.h"
#include "ui/InfoDlg.h"
#include "ui/PortSettingDlg.h"
#include "ui/ResourceIds.h"
#include "ui/StirrerDlg.h"

#include "HeadlessTestSupport.h"
#include "UiTestSupport.h"
#include "support/ModalAnswer.h"
#include "support/SimulatedStirrer.h"

#include <QLineEdit>
#include <gtest/gtest.h>

using namespace headless_test;
using namespace std::chrono_literals;

namespace {

class MainWindowSetUp : public SimulatedStirrerTest {
protected:
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
    void Open(int answer = plat::IDOK)
    {
        dlg = std::make_unique<CStirrerDlg>();
        dlg->SetPortPreselection(QString::fromStdString(sim->SlavePath()), "9600");
        ModalAnswer<CPortSettingDlg> port([answer](CPortSettingDlg* shown) { Click(shown->GetDlgItem(answer)); });
        ASSERT_TRUE(dlg->Create());
        ASSERT_TRUE(port.answered());
        dlg->show();
    }
    std::unique_ptr<CStirrerDlg> dlg;
};

}  // namespace

TEST_F(MainWindowSetUp, ButtonsLabelsAndDigitDisplays)
{
    Open();
    for (int id : {1006, 2, 1009, 1008}) {
        SCOPED_TRACE(id);
        auto* button = dlg->GetDlgItem<CVelButton>(id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->GetFrameStyle(), CVelButton::StyleSemiflat);
        EXPECT_EQ(button->GetBkgInColor(), 0x775649u);
        EXPECT_EQ(button->GetTextInColor(), 0xEAEAEAu);
        EXPECT_EQ(button->GetTextOutColor(), 0xEAEAEAu);
        EXPECT_EQ(button->GetTextFocusColor(), 0xEAEAEAu);
        ASSERT_NE(button->GetOwnFont(), nullptr);
        plat::LOGFONT lf;
        button->GetOwnFont()->GetLogFont(&lf);
        EXPECT_EQ(lf.lfHeight, -16);
        EXPECT_EQ(lf.lfWeight, 700);
    }
    for (int id = 1012; id <= 1017; ++id) {
        auto* label = dlg->GetDlgItem<CTarnStatic>(id);
        ASSERT_NE(label, nullptr) << id;
        EXPECT_EQ(label->GetTextColor(), 0xEAEAEAu) << id;
        // Only the two headings get the big font; each owns its own copy.
        EXPECT_EQ(label->GetFont() != nullptr, id <= 1013) << id;
    }
    plat::CFont* speedFont = dlg->GetDlgItem<CTarnStatic>(1012)->GetFont();
    plat::CFont* torqueFont = dlg->GetDlgItem<CTarnStatic>(1013)->GetFont();
    ASSERT_TRUE(speedFont && torqueFont);
    EXPECT_NE(speedFont, torqueFont);
    plat::LOGFONT lf;
    speedFont->GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, 18);
    EXPECT_EQ(lf.lfWeight, 600);
    EXPECT_STREQ(lf.lfFaceName, "宋体");

    for (CVelDigit* digit : {dlg->SpeedDisplay(), dlg->TorqueDisplay()}) {
        EXPECT_EQ(digit->GetPrecision(), 5);
        EXPECT_EQ(digit->GetDotPrecision(), 0);
        EXPECT_TRUE(digit->GetZeroPadding());
        EXPECT_EQ(digit->size(), QSize(5 * 63 + 6, 112 + 6));
    }
    EXPECT_EQ(dlg->SpeedDisplay()->PrepareString(), "  500");
    EXPECT_EQ(dlg->TorqueDisplay()->PrepareString(), "    0");
}

TEST_F(MainWindowSetUp, CancelledPortDialogKeepsCom1At9600)
{
    // The window makes the port afresh, as at a program start.
    CCommPort::ReleaseInstance();
    port = nullptr;
    // No stirrer answers on COM1 here: the failure is shown and closed.
    QString shown;
    ModalAnswer<CInfoDlg> info([&](CInfoDlg* box) {
        shown = box->m_strMessage;
        Click(box->GetDlgItem(plat::IDOK));
    }, 20000);
    Open(plat::IDCANCEL);
    EXPECT_TRUE(info.answered());
    EXPECT_EQ(shown, "Failed to connect the instrument");
    EXPECT_EQ(CCommPort::Instance()->PortName(), "com1");
    EXPECT_EQ(CCommPort::Instance()->BaudRate(), 9600);
    EXPECT_TRUE(sim->Frames().empty()) << "nothing went to the preselected port";
}

TEST_F(MainWindowSetUp, FiftyRpmIsTheLowestSpeedSent)
{
    Open();
    ASSERT_TRUE(sim->WaitForFrames(1, 5s));
    dlg->GetDlgItem<QLineEdit>(1004)->setText("50");
    Click(dlg->GetDlgItem(1006));
    ASSERT_TRUE(dlg->Run().IsRunning());
    EXPECT_EQ(FrameBytes(*sim)[1], (Frame{0xFE, 0xB1, 0x00, 0x32, 0x00, 0xE3}));
    EXPECT_EQ(sim->SetPoint(), 50);
    Click(dlg->GetDlgItem(1009));
}

TEST_F(MainWindowSetUp, RunStateWithAMotorFlagOnlyStoresIt)
{
    Open();
    ASSERT_TRUE(sim->WaitForFrames(1, 5s));
    dlg->GetDlgItem<QLineEdit>(1004)->setText("300");
    Click(dlg->GetDlgItem(1006));
    ASSERT_TRUE(dlg->Run().IsRunning());
    const auto frames = sim->Frames().size();

    struct Step {
        int motor, status;
        bool motorRunning, running;
    };
    for (const Step& s : {Step{0, 7, false, true}, Step{5, 0, true, true}, Step{1, 1, true, true},
                          Step{0, 0, false, false}}) {
        SCOPED_TRACE(testing::Message() << s.motor << " " << s.status);
        dlg->OnStirrerState(s.motor, s.status);
        EXPECT_EQ(dlg->Run().IsMotorRunning(), s.motorRunning);
        EXPECT_EQ(dlg->Run().IsRunning(), s.running);
        EXPECT_EQ(dlg->GetDlgItem(1006)->isEnabled(), !s.running);
        EXPECT_EQ(dlg->GetDlgItem(1009)->isEnabled(), s.running);
    }
    int speedCommands = 0;
    for (size_t i = frames; i < sim->Frames().size(); ++i) speedCommands += sim->Frames()[i].bytes[1] == 0xB1;
    EXPECT_EQ(speedCommands, 0) << "a run-state message never sends a speed";
}
