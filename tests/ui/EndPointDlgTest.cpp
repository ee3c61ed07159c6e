#include "input/VelEdit.h"
#include "run/EndPointRules.h"
#include "ui/EndPointDlg.h"
#include "ui/NumberField.h"
#include "ui/ResourceIds.h"

#include "DialogAnswer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Action = CEndPointRules::Action;

class EndPointDlgTest : public ::testing::Test {
protected:
    void SetUp() override { vantoc::RegisterResources(); }
};

CEndPointRules Some()
{
    CEndPointRules r;
    r.trendWindowSeconds = 90;
    r.plateauOn = true;
    r.plateauRate = 0.126;      // more decimals than the field shows
    r.plateauSeconds = 45.5;    // not whole seconds
    r.plateauAction = Action::ChangeSpeed;
    r.thresholdOn = false;
    r.thresholdNcm = 12.5;
    r.thresholdAction = Action::StopMotor;
    r.minRunSeconds = 600;
    r.changeSpeedRpm = 300;
    return r;
}


}  // namespace

TEST_F(EndPointDlgTest, ShowsTheRulesAndReturnsThemUntouched)
{
    CEndPointDlg dlg(Some());
    EXPECT_EQ(dlg.TrendWindowField().Edit()->text(), "90");
    EXPECT_EQ(dlg.PlateauRateField().Edit()->text(), "0.13");
    EXPECT_EQ(dlg.PlateauTimeField().Edit()->text(), "0:00:46");
    EXPECT_EQ(dlg.MinRunTimeField().Edit()->text(), "0:10:00");
    EXPECT_EQ(dlg.ThresholdField().Edit()->text(), "12.5");
    EXPECT_EQ(dlg.ChangeSpeedField().Edit()->text(), "300");
    EXPECT_TRUE(dlg.PlateauBox()->isChecked());
    EXPECT_FALSE(dlg.ThresholdBox()->isChecked());
    EXPECT_EQ(dlg.PlateauActionBox()->currentText(), "Alert and change the speed");
    EXPECT_EQ(dlg.ThresholdActionBox()->currentText(), "Alert and stop the motor");
    dlg.show();
    EXPECT_EQ(PressOk(dlg), "");
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Rules(), Some());
}

TEST_F(EndPointDlgTest, ReturnsExactlyWhatWasEntered)
{
    CEndPointDlg dlg(Some(), nullptr, 1500);
    dlg.show();
    dlg.TrendWindowField().Edit()->setText("120");
    dlg.MinRunTimeField().Edit()->setText("1:30:00");
    dlg.PlateauRateField().Edit()->setText("0.5");
    dlg.PlateauTimeField().Edit()->setText("5m");
    dlg.PlateauActionBox()->setCurrentIndex(1);
    dlg.ThresholdBox()->setChecked(true);
    dlg.ThresholdField().Edit()->setText("23.5");
    dlg.ThresholdActionBox()->setCurrentIndex(2);
    dlg.ChangeSpeedField().Edit()->setText("1500");
    ASSERT_EQ(PressOk(dlg), "");

    CEndPointRules expected;
    expected.trendWindowSeconds = 120;
    expected.minRunSeconds = 5400;
    expected.plateauOn = true;
    expected.plateauRate = 0.5;
    expected.plateauSeconds = 300;
    expected.plateauAction = Action::StopMotor;
    expected.thresholdOn = true;
    expected.thresholdNcm = 23.5;
    expected.thresholdAction = Action::ChangeSpeed;
    expected.changeSpeedRpm = 1500;
    EXPECT_EQ(dlg.Rules(), expected);
}

TEST_F(EndPointDlgTest, RefusesBadValuesAndTakesNothing)
{
    struct Case {
        const char* what;
        std::function<void(CEndPointDlg&)> enter;
        const char* message;
    };
    const Case cases[] = {
        {"window 0", [](CEndPointDlg& d) { d.TrendWindowField().Edit()->setText("0"); },
         "The trend window must be a whole number from 1 to 3600 s."},
        {"window 3601", [](CEndPointDlg& d) { d.TrendWindowField().Edit()->setText("3601"); },
         "The trend window must be a whole number from 1 to 3600 s."},
        {"min time", [](CEndPointDlg& d) { d.MinRunTimeField().Edit()->setText("later"); },
         "The minimum run time must be a duration from 0:00:00 to 1000:00:00 (seconds, m:ss or h:mm:ss)."},
        {"plateau 0 s", [](CEndPointDlg& d) { d.PlateauTimeField().Edit()->setText("0"); },
         "The plateau time must be a duration from 0:00:01 to 1000:00:00 (seconds, m:ss or h:mm:ss)."},
        {"rate 0", [](CEndPointDlg& d) { d.PlateauRateField().Edit()->setText("0"); },
         "The plateau rate must be above 0 Ncm/min."},
        {"threshold 0", [](CEndPointDlg& d) {
             d.ThresholdBox()->setChecked(true);
             d.ThresholdField().Edit()->setText("0");
         },
         "The torque threshold must be above 0 Ncm."},
        {"speed above limit", [](CEndPointDlg& d) { d.ChangeSpeedField().Edit()->setText("1600"); },
         "The new speed 1600 rpm is above the laboratory's maximum speed of 1500 rpm (Limits)."},
        {"speed below 50", [](CEndPointDlg& d) { d.ChangeSpeedField().Edit()->setText("40"); },
         "The new speed must be a whole number from 50 to 2200 rpm."},
    };
    for (const Case& c : cases) {
        CEndPointDlg dlg(Some(), nullptr, 1500);
        dlg.show();
        dlg.ThresholdActionBox()->setCurrentIndex(0);  // a good change that must not be taken either
        c.enter(dlg);
        EXPECT_EQ(PressOk(dlg), QString::fromUtf8(c.message)) << c.what;
        EXPECT_NE(dlg.result(), QDialog::Accepted) << c.what;
        EXPECT_EQ(dlg.Rules(), Some()) << c.what;
    }
}

TEST_F(EndPointDlgTest, ValuesOfARuleThatIsOffAreKeptButNotJudged)
{
    CEndPointDlg dlg(Some(), nullptr, 1500);
    dlg.show();
    dlg.PlateauBox()->setChecked(false);
    dlg.PlateauRateField().Edit()->setText("0");
    EXPECT_FALSE(dlg.PlateauRateField().Edit()->isEnabled());
    EXPECT_FALSE(dlg.ChangeSpeedField().Edit()->isEnabled());
    ASSERT_EQ(PressOk(dlg), "");
    EXPECT_FALSE(dlg.Rules().plateauOn);
    EXPECT_EQ(dlg.Rules().plateauRate, 0);
}

TEST_F(EndPointDlgTest, TheSpeedFieldIsOpenOnlyWhileAnActiveRuleChangesTheSpeed)
{
    CEndPointDlg dlg(CEndPointRules{});
    struct Case {
        bool plateau;
        int plateauAction;
        bool threshold;
        int thresholdAction;
        bool speedEnabled;
    } cases[] = {{false, 2, false, 2, false}, {true, 2, false, 0, true},  {true, 1, true, 0, false},
                 {false, 2, true, 2, true},   {true, 0, true, 2, true}};
    for (const Case& c : cases) {
        dlg.PlateauBox()->setChecked(c.plateau);
        dlg.PlateauActionBox()->setCurrentIndex(c.plateauAction);
        dlg.ThresholdBox()->setChecked(c.threshold);
        dlg.ThresholdActionBox()->setCurrentIndex(c.thresholdAction);
        EXPECT_EQ(dlg.ChangeSpeedField().Edit()->isEnabled(), c.speedEnabled);
        EXPECT_EQ(dlg.PlateauRateField().Edit()->isEnabled(), c.plateau);
        EXPECT_EQ(dlg.ThresholdField().Edit()->isEnabled(), c.threshold);
    }
}

TEST_F(EndPointDlgTest, WhatTheDialogReturnsSurvivesTheSettingsFile)
{
    QTemporaryDir dir;
    CEndPointDlg dlg(Some());
    dlg.show();
    dlg.ThresholdBox()->setChecked(true);
    dlg.ThresholdField().Edit()->setText("3.5");
    ASSERT_EQ(PressOk(dlg), "");
    {
        QSettings settings(dir.filePath("vantoc.conf"), QSettings::IniFormat);
        dlg.Rules().Save(settings);
    }
    QSettings settings(dir.filePath("vantoc.conf"), QSettings::IniFormat);
    const CEndPointRules read = CEndPointRules::Load(settings);
    EXPECT_EQ(read, dlg.Rules());
    EXPECT_TRUE(read.thresholdOn);
    EXPECT_EQ(read.thresholdNcm, 3.5);
    EXPECT_EQ(read.plateauSeconds, 45.5);
}
