#pragma once

// The main window against the simulated stirrer, opened with its port
// dialog answered OK, for the tests of the window's menu bar, safety and
// resizing.
#include "ui/PortSettingDlg.h"
#include "ui/ResourceIds.h"
#include "ui/StirrerDlg.h"

#include "support/ModalAnswer.h"
#include "support/SimulatedStirrer.h"
#include "UiTestSupport.h"

#include <QLineEdit>
#include <array>
#include <cstdint>

namespace main_window_test {

using Bytes = std::array<std::uint8_t, 6>;
inline const Bytes kSpeed0 = {0xFE, 0xB1, 0x00, 0x00, 0x00, 0xB1};
inline const Bytes kStatus = {0xFE, 0xA2, 0x00, 0x00, 0x00, 0xA2};

// The set-speed frame of rpm as the instrument gets it.
inline Bytes SpeedFrame(int rpm)
{
    const auto lo = std::uint8_t(rpm & 0xFF), hi = std::uint8_t(rpm >> 8);
    return {0xFE, 0xB1, hi, lo, 0x00, std::uint8_t(0xB1 + hi + lo)};
}

class MainWindowTest : public SimulatedStirrerTest {
protected:
    bool OpenPortInSetUp() const override { return false; }
    SimSettings Settings() const override { return ExactSettings(); }

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
        ModalAnswer<CPortSettingDlg> answer([](CPortSettingDlg* shown) { Click(shown->GetDlgItem(plat::IDOK)); });
        ASSERT_TRUE(dlg->Create());
        ASSERT_TRUE(answer.answered());
        dlg->show();
    }

    void SetSpeedText(const QString& text) { dlg->GetDlgItem<QLineEdit>(1004)->setText(text); }
    int FramesLike(const Bytes& bytes) const
    {
        int n = 0;
        for (const SimFrame& f : sim->Frames()) n += f.bytes == bytes;
        return n;
    }
    const SimFrame& LastFrame() const
    {
        frames = sim->Frames();
        return frames.back();
    }
    int Samples() const { return dlg->Run().Record().GetCount(); }

    std::unique_ptr<CStirrerDlg> dlg;
    mutable std::vector<SimFrame> frames;
};

}  // namespace main_window_test
