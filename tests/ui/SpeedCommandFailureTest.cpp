// A speed command whose acknowledgement failed, and closing the window while
// an exchange runs: the motor is never left turning unwatched.
#include "ui/HeadlessRun.h"
#include "ui/InfoDlg.h"
#include "ui/PortSettingDlg.h"
#include "ui/ResourceIds.h"
#include "ui/StirrerDlg.h"

#include "HeadlessTestSupport.h"
#include "UiTestSupport.h"
#include "support/ModalAnswer.h"
#include "support/SimulatedStirrer.h"

#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

using namespace headless_test;
using namespace std::chrono_literals;

namespace {

const Frame kSpeed500{0xFE, 0xB1, 0x01, 0xF4, 0x00, 0xA6};

class SpeedCommandFailure : public SimulatedStirrerTest {
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

    int RunHeadless()
    {
        CHeadlessRun::SSettings settings;
        settings.strPort = QString::fromStdString(sim->SlavePath());
        settings.nSpeed = 500;
        settings.nSamples = 3;
        CHeadlessRun run(settings, &out, &err);
        return run.Exec();
    }

    void OpenWindow()
    {
        dlg = std::make_unique<CStirrerDlg>();
        dlg->SetPortPreselection(QString::fromStdString(sim->SlavePath()), "9600");
        ModalAnswer<CPortSettingDlg> answer([](CPortSettingDlg* shown) { Click(shown->GetDlgItem(plat::IDOK)); });
        ASSERT_TRUE(dlg->Create());
        ASSERT_TRUE(answer.answered());
        dlg->show();
        ASSERT_TRUE(sim->WaitForFrames(1, 5s));
        dlg->GetDlgItem<QLineEdit>(1004)->setText("500");
    }

    CCaptureDevice out;
    CCaptureDevice err;
    std::unique_ptr<CStirrerDlg> dlg;
};

}  // namespace

TEST_F(SpeedCommandFailure, HeadlessStopsTheMotorWhateverWentWrongWithTheReply)
{
    struct Case {
        const char* what;
        unsigned fault;
    };
    for (const Case& c : {Case{"broken checksum", kFaultCorrupt}, Case{"no reply", kFaultDrop},
                          Case{"short reply", kFaultShort}, Case{"clean refusal", kFaultRefuse}}) {
        SCOPED_TRACE(c.what);
        sim = std::make_unique<CStirrerSimulator>(ExactSettings());
        ASSERT_TRUE(sim->Start());
        out.m_data.clear();
        err.m_data.clear();
        sim->InjectNext(kFaultNone);
        sim->InjectNext(c.fault);
        EXPECT_EQ(RunHeadless(), CHeadlessRun::kExitRefused) << err.m_data.toStdString();
        EXPECT_EQ(FrameBytes(*sim), (std::vector<Frame>{kHandshake, kSpeed500, kSpeedZero}));
        EXPECT_EQ(sim->SetPoint(), 0) << "the motor was left turning";
        EXPECT_TRUE(out.m_data.isEmpty());
    }
}

TEST_F(SpeedCommandFailure, HeadlessWarnsWhenTheStopAfterAFailedStartIsNotTakenEither)
{
    sim->InjectNext(kFaultNone);
    sim->InjectNext(kFaultCorrupt);
    sim->InjectNext(kFaultRefuse, 4);
    EXPECT_EQ(RunHeadless(), CHeadlessRun::kExitStopFailed);
    EXPECT_EQ(Count(FrameBytes(*sim), kSpeedZero), 4);
    EXPECT_TRUE(QString::fromLocal8Bit(err.m_data).contains("the motor may still be turning"))
        << err.m_data.toStdString();
}

TEST_F(SpeedCommandFailure, WindowStopsTheMotorAfterABrokenReplyButNotAfterARefusal)
{
    OpenWindow();
    sim->InjectNext(kFaultCorrupt);
    Click(dlg->GetDlgItem(1006));
    EXPECT_EQ(FrameBytes(*sim), (std::vector<Frame>{kHandshake, kSpeed500, kSpeedZero}));
    EXPECT_EQ(sim->SetPoint(), 0);
    EXPECT_FALSE(dlg->Run().IsRunning());
    EXPECT_FALSE(dlg->Run().IsMotorRunning());
    EXPECT_TRUE(dlg->GetDlgItem(1006)->isEnabled());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "a failed Start shows nothing";

    sim->InjectNext(kFaultRefuse);
    Click(dlg->GetDlgItem(1006));
    EXPECT_EQ(Count(FrameBytes(*sim), kSpeedZero), 1) << "a clean refusal took nothing";
}

TEST_F(SpeedCommandFailure, CloseDuringAnExchangeHappensWhenItEnds)
{
    OpenWindow();
    sim->InjectNext(kFaultDrop);  // the Start's command waits out its limit
    QTimer::singleShot(300, dlg.get(), [this] {
        ASSERT_TRUE(dlg->Run().IsBusy());
        dlg->close();
        EXPECT_TRUE(dlg->isVisible()) << "the exchange is not cut";
        EXPECT_TRUE(dlg->IsCloseQueued());
    });
    Click(dlg->GetDlgItem(1006));
    EXPECT_TRUE(WaitFor([&] { return !dlg->isVisible(); }, 10000)) << "the queued close was dropped";
    EXPECT_EQ(dlg->result(), plat::IDCANCEL);
    EXPECT_FALSE(dlg->IsCloseQueued());
    // The dropped reply may have been a taken command: the stop went out first.
    EXPECT_EQ(FrameBytes(*sim).back(), kSpeedZero);
}
