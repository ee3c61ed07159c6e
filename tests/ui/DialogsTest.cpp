#include "display/TarnStatic.h"
#include "platform/Font.h"
#include "ui/AboutDlg.h"
#include "ui/BuildVersion.h"
#include "ui/InfoDlg.h"
#include "ui/PortSettingDlg.h"
#include "ui/ResourceIds.h"
#include "ui/RunControl.h"

#include "support/ModalAnswer.h"
#include "UiTestSupport.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <gtest/gtest.h>

namespace {

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override { vantoc::RegisterResources(); }
};

// Opens the port dialog, lets the test act on it and presses OK.
void RunPortDialog(CPortSettingDlg& dlg, const std::function<void(CPortSettingDlg&)>& act)
{
    ModalAnswer<CPortSettingDlg> answer([&](CPortSettingDlg* shown) {
        act(*shown);
        Click(shown->GetDlgItem(plat::IDOK));
    });
    EXPECT_EQ(dlg.DoModal(), plat::IDOK);
}

}  // namespace

TEST_F(DialogsTest, StringTableHasTheProgramTexts)
{
    EXPECT_EQ(vantoc::String(101), "About Overhead Rotaque(&A)...");
    EXPECT_EQ(vantoc::String(102), "Failed to connect the instrument");
    EXPECT_EQ(vantoc::String(103), "Failed to connect the instrument, please restart the software");
    EXPECT_EQ(vantoc::String(104), "Overhead Rotaque");
    EXPECT_EQ(vantoc::String(105), "Time(S)");
    EXPECT_EQ(vantoc::String(106), "Torque(Ncm)");
    EXPECT_EQ(vantoc::String(107), "Time(S)");
    EXPECT_EQ(vantoc::String(108), "Speed(rpm)");
    EXPECT_EQ(vantoc::String(109), "The speed value must be between 50 to 2200, please reset");
}

TEST_F(DialogsTest, PortDialogDefaultsAreCom1And9600)
{
    CPortSettingDlg dlg;
    RunPortDialog(dlg, [](CPortSettingDlg& shown) {
        EXPECT_EQ(shown.windowTitle(), "Port Setting");
        EXPECT_EQ(shown.GetDlgItem<QComboBox>(1012)->currentText(), "COM1");
        EXPECT_EQ(shown.GetDlgItem<QComboBox>(1013)->currentText(), "9600");
    });
    EXPECT_EQ(dlg.m_strPortName, "COM1");
    EXPECT_EQ(dlg.m_strBaudRate, "9600");
    auto* ports = dlg.GetDlgItem<QComboBox>(1012);
    ASSERT_GE(ports->count(), 10);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(ports->itemText(i), QStringLiteral("COM%1").arg(i + 1));
    auto* rates = dlg.GetDlgItem<QComboBox>(1013);
    ASSERT_EQ(rates->count(), 5);
    EXPECT_EQ(rates->itemText(0), "1200");
    EXPECT_EQ(rates->itemText(4), "19200");
    EXPECT_TRUE(rates->isEditable());
    EXPECT_FALSE(ports->isEditable());
}

TEST_F(DialogsTest, PortDialogStoresWhatWasChosenOrTyped)
{
    struct Case {
        int portIndex;
        const char* typedRate;
        const char* port;
        int baud;
    };
    for (const Case& c : {Case{9, "38400", "COM10", 38400}, Case{2, "fast", "COM3", 0}, Case{0, "", "COM1", 0}}) {
        CPortSettingDlg dlg;
        RunPortDialog(dlg, [&](CPortSettingDlg& shown) {
            shown.GetDlgItem<QComboBox>(1012)->setCurrentIndex(c.portIndex);
            shown.GetDlgItem<QComboBox>(1013)->setEditText(c.typedRate);
        });
        EXPECT_EQ(dlg.m_strPortName, c.port);
        EXPECT_EQ(dlg.m_strBaudRate, c.typedRate);
        EXPECT_EQ(CRunControl::BaudFromText(dlg.m_strBaudRate), c.baud) << c.typedRate;
    }
    EXPECT_EQ(CRunControl::BaudFromText("9600baud"), 9600);
    EXPECT_EQ(CRunControl::BaudFromText("99999999999"), 0);
}

TEST_F(DialogsTest, PortDialogPreselectsCommandLineChoices)
{
    CPortSettingDlg dlg;
    dlg.m_strPortName = "/tmp/stirrer-link";
    dlg.m_strBaudRate = "19200";
    RunPortDialog(dlg, [](CPortSettingDlg& shown) {
        EXPECT_EQ(shown.GetDlgItem<QComboBox>(1012)->currentText(), "/tmp/stirrer-link");
        EXPECT_EQ(shown.GetDlgItem<QComboBox>(1013)->currentText(), "19200");
    });
    EXPECT_EQ(dlg.m_strPortName, "/tmp/stirrer-link");
    EXPECT_EQ(dlg.m_strBaudRate, "19200");
    EXPECT_FALSE(CPortSettingDlg::PresentDevices().contains("/dev/ttyS0"));
}

TEST_F(DialogsTest, InfoDialogFitsItsMessageWithOkCentred)
{
    int widths[2] = {};
    int i = 0;
    for (unsigned id : {vantoc::IDS_CONNECT_FAILED, vantoc::IDS_CONNECT_FAILED_RESTART}) {
        CInfoDlg dlg;
        dlg.m_strMessage = vantoc::String(id);
        ASSERT_TRUE(dlg.Create());
        auto* label = dlg.GetDlgItem<CTarnStatic>(1011);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), vantoc::String(id));
        const int textWidth = QFontMetrics(label->GetFont()->GetQFont()).horizontalAdvance(vantoc::String(id));
        EXPECT_EQ(label->width(), textWidth + 10);
        EXPECT_EQ(dlg.width(), label->width() + 30);
        QWidget* ok = dlg.GetDlgItem(plat::IDOK);
        EXPECT_EQ(ok->x(), (dlg.width() - ok->width()) / 2);
        EXPECT_EQ(dlg.windowTitle(), "Information");
        widths[i++] = dlg.width();
    }
    EXPECT_GT(widths[1], widths[0]);
}

TEST_F(DialogsTest, InfoDialogEndsWithOk)
{
    ModalAnswer<CInfoDlg> answer([](CInfoDlg* shown) { Click(shown->GetDlgItem(plat::IDOK)); });
    EXPECT_EQ(CInfoDlg::ShowString(vantoc::IDS_SPEED_RANGE), plat::IDOK);
}

TEST_F(DialogsTest, AboutBoxShowsIconAndVersion)
{
    CAboutDlg dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.windowTitle(), "About Rotaque");
    auto* icon = dlg.GetDlgItem<QLabel>(vantoc::IDR_MAINFRAME);
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
    bool hasVersion = false;
    for (auto* label : dlg.findChildren<QLabel*>()) hasVersion |= label->text() == "Rotaque Version1.0";
    EXPECT_TRUE(hasVersion);
    // The second line tells the build's own version.
    auto* build = dlg.GetDlgItem<QLabel>(1021);
    ASSERT_NE(build, nullptr);
    EXPECT_EQ(build->text(), QStringLiteral("Vantoc ") + QString::fromUtf8(vantoc::BuildVersion()));
}
