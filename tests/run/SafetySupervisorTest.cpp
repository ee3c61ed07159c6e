#include "run/SafetySupervisor.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

CSafetyLimits Limits(double torque, CSafetyLimits::TorqueAction action, double linkLost)
{
    CSafetyLimits limits;
    limits.torqueLimitNcm = torque;
    limits.torqueAction = action;
    limits.linkLostSeconds = linkLost;
    return limits;
}

}  // namespace

TEST(SafetySupervisor, TorqueLimitSpeaksOncePerCrossing)
{
    const struct
    {
        CSafetyLimits::TorqueAction action;
        bool stop;
    } actions[] = {{CSafetyLimits::TorqueAction::StopMotor, true}, {CSafetyLimits::TorqueAction::AlarmOnly, false}};
    for (const auto& a : actions) {
        CSafetySupervisor supervisor(Limits(30, a.action, 0));
        const double torques[] = {10, 20, 29.9, 30, 35, 29, 31};
        const char* reasons[] = {nullptr, nullptr, nullptr, "torque limit reached: 30 Ncm at sample 4", nullptr,
                                 nullptr, "torque limit reached: 31 Ncm at sample 7"};
        for (size_t i = 0; i < std::size(torques); ++i) {
            const std::optional<SafetyVerdict> v = supervisor.OnSample(double(i), torques[i]);
            ASSERT_EQ(v.has_value(), reasons[i] != nullptr) << i;
            if (!v)
                continue;
            EXPECT_EQ(v->kind, SafetyVerdict::Kind::TorqueLimit);
            EXPECT_TRUE(v->alarm);
            EXPECT_EQ(v->stopMotor, a.stop);
            EXPECT_EQ(v->reason, QString::fromUtf8(reasons[i]));
        }
    }
    CSafetySupervisor off(Limits(0, CSafetyLimits::TorqueAction::StopMotor, 0));
    EXPECT_FALSE(off.OnSample(0, 65535).has_value());
}

TEST(SafetySupervisor, LinkLostAlarmsThenStopsWhenTheLineAnswers)
{
    CSafetySupervisor supervisor(Limits(0, CSafetyLimits::TorqueAction::StopMotor, 3));
    for (int t = 0; t <= 2; ++t) {
        EXPECT_FALSE(supervisor.OnSample(t, 5).has_value());
        EXPECT_FALSE(supervisor.OnTick(t).has_value());
    }
    EXPECT_FALSE(supervisor.OnTick(4.9).has_value());
    const std::optional<SafetyVerdict> lost = supervisor.OnTick(5.0);
    ASSERT_TRUE(lost.has_value());
    EXPECT_EQ(lost->kind, SafetyVerdict::Kind::LinkLost);
    EXPECT_TRUE(lost->alarm);
    EXPECT_TRUE(lost->stopMotor);
    EXPECT_EQ(lost->reason, QStringLiteral("no valid reply from the stirrer for 3 s"));
    EXPECT_TRUE(supervisor.IsLinkLost());
    EXPECT_FALSE(supervisor.OnTick(9).has_value()) << "one alarm while the line stays silent";
    const std::optional<SafetyVerdict> back = supervisor.OnSample(10, 5);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->kind, SafetyVerdict::Kind::LinkBack);
    EXPECT_FALSE(back->alarm);
    EXPECT_TRUE(back->stopMotor);
    EXPECT_FALSE(supervisor.IsLinkLost());
    EXPECT_FALSE(supervisor.OnTick(12.9).has_value());
    EXPECT_TRUE(supervisor.OnTick(13).has_value()) << "silent again: a new alarm";

    CSafetySupervisor silent(Limits(0, CSafetyLimits::TorqueAction::StopMotor, 3));
    EXPECT_TRUE(silent.OnTick(3).has_value()) << "a line that never answered";
    CSafetySupervisor never(Limits(0, CSafetyLimits::TorqueAction::StopMotor, 0));
    EXPECT_FALSE(never.OnTick(1e6).has_value());
}

TEST(SafetyLimits, StartRefusesSpeedsAboveTheMaximumNamingIt)
{
    CSafetyLimits limits;
    limits.maxRpm = 1500;
    EXPECT_TRUE(limits.CheckStartRpm(1500).isEmpty());
    EXPECT_TRUE(limits.CheckStartRpm(50).isEmpty());
    EXPECT_EQ(limits.CheckStartRpm(1501),
              QStringLiteral("The speed 1501 rpm is above the laboratory's maximum speed of 1500 rpm (Limits)."));
    EXPECT_TRUE(CSafetyLimits().CheckStartRpm(2200).isEmpty());
}

TEST(SafetyLimits, AreRememberedAndBadValuesFallIntoRange)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("vantoc.ini"));
    CSafetyLimits saved = Limits(42.5, CSafetyLimits::TorqueAction::AlarmOnly, 7);
    saved.maxRpm = 1200;
    saved.confirmBeforeStart = true;
    {
        QSettings settings(path, QSettings::IniFormat);
        EXPECT_EQ(CSafetyLimits::Load(settings), CSafetyLimits()) << "nothing stored: the defaults";
        saved.Save(settings);
    }
    {
        QSettings settings(path, QSettings::IniFormat);
        EXPECT_EQ(CSafetyLimits::Load(settings), saved);
        settings.setValue(QStringLiteral("limits/maxRpm"), 9000);
        settings.setValue(QStringLiteral("limits/torqueLimitNcm"), QStringLiteral("lots"));
        settings.setValue(QStringLiteral("limits/linkLostSeconds"), -4);
    }
    QSettings settings(path, QSettings::IniFormat);
    const CSafetyLimits bad = CSafetyLimits::Load(settings);
    EXPECT_EQ(bad.maxRpm, 2200);
    EXPECT_EQ(bad.torqueLimitNcm, 0);
    EXPECT_EQ(bad.linkLostSeconds, 0);
    EXPECT_EQ(bad.torqueAction, CSafetyLimits::TorqueAction::AlarmOnly);

    // A link-lost time shorter than a poll would raise the alarm between
    // two ordinary replies: it reads as the least one.
    settings.setValue(QStringLiteral("limits/linkLostSeconds"), 0.5);
    EXPECT_EQ(CSafetyLimits::Load(settings).linkLostSeconds, CSafetyLimits::kMinLinkLostSeconds);
}
