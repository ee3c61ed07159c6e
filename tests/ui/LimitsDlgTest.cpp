#include "input/VelEdit.h"
#include "run/SafetyLimits.h"
#include "ui/LimitsDlg.h"
#include "ui/NumberField.h"
#include "ui/ResourceIds.h"

#include "DialogAnswer.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class LimitsDlgTest : public ::testing::Test {
protected:
    void SetUp() override { vantoc::RegisterResources(); }
};

CSafetyLimits Some()
{
    CSafetyLimits limits;
    limits.maxRpm = 1800;
    limits.torqueLimitNcm = 12.34;  // more decimals than the field shows
    limits.torqueAction = CSafetyLimits::TorqueAction::AlarmOnly;
    limits.linkLostSeconds = 7.5;
    limits.confirmBeforeStart = true;
    return limits;
}


}  // namespace

TEST_F(LimitsDlgTest, ShowsTheLimitsItWasGivenAndReturnsThemUntouched)
{
    CLimitsDlg dlg(Some());
    EXPECT_EQ(dlg.MaxRpmField().Edit()->text(), "1800");
    EXPECT_EQ(dlg.TorqueField().Edit()->text(), "12.3");
    EXPECT_EQ(dlg.LinkLostField().Edit()->text(), "7.5");
    EXPECT_TRUE(dlg.AlarmOnlyButton()->isChecked());
    EXPECT_FALSE(dlg.StopMotorButton()->isChecked());
    EXPECT_TRUE(dlg.ConfirmBox()->isChecked());
    EXPECT_EQ(dlg.MaxRpmField().Edit()->GetMode(), CVelEdit::ModeSpin);
    dlg.show();
    EXPECT_EQ(PressOk(dlg), "");
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Limits(), Some());
}

TEST_F(LimitsDlgTest, ReturnsExactlyWhatWasEntered)
{
    struct Case {
        const char* rpm;
        const char* torque;
        const char* link;
        bool alarm;
        bool confirm;
        CSafetyLimits expected;
    };
    const Case cases[] = {
        {"50", "0", "0", false, false, {50, 0, CSafetyLimits::TorqueAction::StopMotor, 0, false}},
        {"2200", "65535", "86400", true, true, {2200, 65535, CSafetyLimits::TorqueAction::AlarmOnly, 86400, true}},
        {" 1234 ", "8.5", "2.5", false, true, {1234, 8.5, CSafetyLimits::TorqueAction::StopMotor, 2.5, true}},
        {"60", "1", "2", false, false, {60, 1, CSafetyLimits::TorqueAction::StopMotor, 2, false}},
    };
    for (const Case& c : cases) {
        CLimitsDlg dlg(Some());
        dlg.show();
        dlg.MaxRpmField().Edit()->setText(QString::fromUtf8(c.rpm));
        dlg.TorqueField().Edit()->setText(QString::fromUtf8(c.torque));
        dlg.LinkLostField().Edit()->setText(QString::fromUtf8(c.link));
        (c.alarm ? dlg.AlarmOnlyButton() : dlg.StopMotorButton())->setChecked(true);
        dlg.ConfirmBox()->setChecked(c.confirm);
        EXPECT_EQ(PressOk(dlg), "") << c.rpm;
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.Limits(), c.expected) << c.rpm;
    }
}

TEST_F(LimitsDlgTest, RefusesBadValuesNamingTheFieldAndTakesNothing)
{
    struct Case {
        int field;  // 0 speed, 1 torque, 2 link
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {0, "2201", "The maximum speed must be a whole number from 50 to 2200 rpm."},
        {0, "49", "The maximum speed must be a whole number from 50 to 2200 rpm."},
        {0, "1500.5", "The maximum speed must be a whole number from 50 to 2200 rpm."},
        {0, "", "The maximum speed must be a whole number from 50 to 2200 rpm."},
        {1, "-1", "The torque limit must be a number from 0.0 to 65535.0 Ncm with at most one decimal."},
        {1, "12.25", "The torque limit must be a number from 0.0 to 65535.0 Ncm with at most one decimal."},
        {1, "1e3", "The torque limit must be a number from 0.0 to 65535.0 Ncm with at most one decimal."},
        {1, "nan", "The torque limit must be a number from 0.0 to 65535.0 Ncm with at most one decimal."},
        {2, "86400.1", "The link-lost time must be a number from 0.0 to 86400.0 s with at most one decimal."},
        {2, "ten", "The link-lost time must be a number from 0.0 to 86400.0 s with at most one decimal."},
        {2, "1", "The link-lost time must be 0 (never) or at least 2 s: the stirrer answers once a second."},
        {2, "1.9", "The link-lost time must be 0 (never) or at least 2 s: the stirrer answers once a second."},
    };
    for (const Case& c : cases) {
        CLimitsDlg dlg(Some());
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
        CNumberField* fields[] = {&dlg.MaxRpmField(), &dlg.TorqueField(), &dlg.LinkLostField()};
        // A good change in another field must not be taken over either.
        fields[(c.field + 1) % 3]->Edit()->setText("60");
        dlg.ConfirmBox()->setChecked(false);
        fields[c.field]->Edit()->setText(QString::fromUtf8(c.text));
        EXPECT_EQ(PressOk(dlg), QString::fromUtf8(c.message)) << c.text;
        EXPECT_TRUE(dlg.isVisible()) << c.text;
        EXPECT_NE(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.Limits(), Some()) << c.text;
        EXPECT_EQ(dlg.focusWidget(), fields[c.field]->Edit()) << c.text;
    }
}

TEST_F(LimitsDlgTest, WhatTheDialogReturnsSurvivesTheSettingsFile)
{
    QTemporaryDir dir;
    CLimitsDlg dlg(Some());
    dlg.show();
    dlg.TorqueField().Edit()->setText("40.5");
    dlg.StopMotorButton()->setChecked(true);
    ASSERT_EQ(PressOk(dlg), "");
    {
        QSettings settings(dir.filePath("vantoc.conf"), QSettings::IniFormat);
        dlg.Limits().Save(settings);
    }
    QSettings settings(dir.filePath("vantoc.conf"), QSettings::IniFormat);
    const CSafetyLimits read = CSafetyLimits::Load(settings);
    EXPECT_EQ(read, dlg.Limits());
    EXPECT_EQ(read.torqueLimitNcm, 40.5);
    EXPECT_EQ(read.torqueAction, CSafetyLimits::TorqueAction::StopMotor);
}

TEST(NumberFieldRules, NumbersAreReadStrictly)
{
    struct Case {
        const char* text;
        double min, max;
        unsigned decimals;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"50", 50, 2200, 0, true, 50},       {"2200", 50, 2200, 0, true, 2200}, {"2200.0", 50, 2200, 0, false, 0},
        {"0.25", 0, 10, 2, true, 0.25},      {"0.255", 0, 10, 2, false, 0},     {"-0.5", -1, 1, 1, true, -0.5},
        {"12abc", 0, 100, 0, false, 0},      {"", 0, 100, 0, false, 0},         {"inf", 0, 1e9, 0, false, 0},
        {"1e2", 0, 1000, 0, false, 0},       {"  7 ", 0, 10, 0, true, 7},       {"10.01", 0, 10, 2, false, 0},
    };
    for (const Case& c : cases) {
        const std::optional<double> v = CNumberField::ParseNumber(QString::fromUtf8(c.text), c.min, c.max, c.decimals);
        EXPECT_EQ(v.has_value(), c.ok) << c.text;
        if (v && c.ok) {
            EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
        }
    }
}

TEST(NumberFieldRules, DurationsTakeTheOperatorsForms)
{
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {{"90", true, 90},   {"90s", true, 90},     {"5m", true, 300},     {"1:30", true, 90},
                          {"1:00:00", true, 3600}, {"1:60", false, 0}, {"-5", false, 0},     {"25h", false, 0},
                          {"", false, 0},     {"0", true, 0}};
    for (const Case& c : cases) {
        const std::optional<double> v = CNumberField::ParseDuration(QString::fromUtf8(c.text), 0, 24 * 3600);
        EXPECT_EQ(v.has_value(), c.ok) << c.text;
        if (v && c.ok) {
            EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
        }
    }
}
