#include "run/TorqueEndPoint.h"

#include <QSettings>
#include <QTemporaryDir>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace {

CEndPointRules Plateau(double rate, double minutes, double minRun = 0)
{
    CEndPointRules rules;
    rules.plateauOn = true;
    rules.plateauRate = rate;
    rules.plateauSeconds = minutes * 60;
    rules.minRunSeconds = minRun;
    return rules;
}

// Feeds one sample a second, rounded to whole Ncm as the instrument reports
// it, with normal noise; returns the first event, if any.
std::optional<EndPointEvent> Feed(CTorqueEndPoint& detector, double seconds,
                                  const std::function<double(double)>& torque, double noise,
                                  std::uint32_t seed = 5)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> gauss(0, noise > 0 ? noise : 1);
    for (int t = 1; t <= seconds; ++t) {
        const double value = std::round(torque(t) + (noise > 0 ? gauss(rng) : 0));
        if (std::optional<EndPointEvent> e = detector.AddSample(t, value))
            return e;
    }
    return std::nullopt;
}

double RiseThenFlat(double t)
{
    return t < 600 ? 20 + t / 6 : 120;  // 10 Ncm/min for ten minutes
}

}  // namespace

TEST(TorqueEndPoint, PlateauFiresWithinItsTimePlusTheWindowOfTheFlattening)
{
    const struct
    {
        double minRun;
        double earliest;
        double latest;
    } cases[] = {
        {0, 600 + 300, 600 + 300 + 60 + 1},
        {1200, 1200, 1200},
        {900 + 30, 930, 600 + 300 + 60 + 1},
    };
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        for (const auto& c : cases) {
            CTorqueEndPoint detector(Plateau(0.5, 5, c.minRun));
            const std::optional<EndPointEvent> e = Feed(detector, 3600, RiseThenFlat, 0.3, seed);
            ASSERT_TRUE(e.has_value()) << c.minRun << " seed " << seed;
            EXPECT_EQ(e->rule, EndPointEvent::Rule::Plateau);
            EXPECT_GE(e->seconds, c.earliest) << c.minRun << " seed " << seed;
            EXPECT_LE(e->seconds, c.latest) << c.minRun << " seed " << seed;
            EXPECT_EQ(e->sampleIndex, int(e->seconds) - 1);
            EXPECT_LT(std::fabs(e->rateNcmPerMin), 0.5);
            EXPECT_NEAR(e->deltaNcm, 120, 2);
        }
    }
}

TEST(TorqueEndPoint, SteadyDriftAndASingleSpikeDoNotFire)
{
    const struct
    {
        const char* what;
        std::function<double(double)> torque;
    } cases[] = {
        {"drift of 1 Ncm/min", [](double t) { return 50 + t / 60; }},
        {"drift of -1 Ncm/min", [](double t) { return 200 - t / 60; }},
        {"a spike on a rise of 3 Ncm/min", [](double t) { return 20 + t / 20 + (t == 1500 ? 40 : 0); }},
        {"a dip on a rise of 3 Ncm/min", [](double t) { return 20 + t / 20 - (t == 1500 ? 15 : 0); }},
    };
    for (const auto& c : cases) {
        CTorqueEndPoint detector(Plateau(0.5, 5));
        EXPECT_FALSE(Feed(detector, 7200, c.torque, 0.3).has_value()) << c.what;
    }
}

TEST(TorqueEndPoint, ThresholdFiresAtTheFirstSampleAtOrAboveIt)
{
    const struct
    {
        double threshold;
        bool tare;
        int index;    // -1: never
        double delta;
    } cases[] = {
        {20, false, 5, 20},    // 10 12 14 16 18 20
        {19, false, 5, 20},
        {10, false, 0, 10},
        {20, true, 12, 20},    // tared at 14 (mean of 10..18) after the fifth sample
        {99, false, -1, 0},
    };
    for (const auto& c : cases) {
        CEndPointRules rules;
        rules.thresholdOn = true;
        rules.thresholdNcm = c.threshold;
        rules.thresholdAction = CEndPointRules::Action::ChangeSpeed;
        rules.changeSpeedRpm = 300;
        CTorqueEndPoint detector(rules);
        std::optional<EndPointEvent> fired;
        for (int i = 0; i < 20 && !fired; ++i) {
            if (c.tare && i == 5) {
                ASSERT_TRUE(detector.Tare());
                EXPECT_DOUBLE_EQ(detector.TareNcm(), 14);
            }
            fired = detector.AddSample(i, 10 + 2 * i);
        }
        if (c.index < 0) {
            EXPECT_FALSE(fired.has_value()) << c.threshold;
            continue;
        }
        ASSERT_TRUE(fired.has_value()) << c.threshold;
        EXPECT_EQ(fired->rule, EndPointEvent::Rule::Threshold);
        EXPECT_EQ(fired->sampleIndex, c.index) << c.threshold;
        EXPECT_DOUBLE_EQ(fired->deltaNcm, c.delta) << c.threshold;
        EXPECT_EQ(fired->action, CEndPointRules::Action::ChangeSpeed);
        EXPECT_EQ(fired->rpm, 300);
    }
}

TEST(TorqueEndPoint, TareShiftsTheDeltaButNotTheRate)
{
    CTorqueEndPoint plain;
    CTorqueEndPoint tared;
    EXPECT_FALSE(tared.Tare()) << "nothing to tare before the first sample";
    EXPECT_FALSE(tared.IsTared());
    for (int t = 0; t <= 300; ++t) {
        const double torque = 5 + 0.1 * t + (t % 7 == 0 ? 1.5 : 0);
        plain.AddSample(t, torque);
        tared.AddSample(t, torque);
        if (t == 2) {
            ASSERT_TRUE(tared.Tare());
            EXPECT_DOUBLE_EQ(tared.TareNcm(), (6.5 + 5.1 + 5.2) / 3);  // fewer than five so far
        }
        if (t == 100) {
            ASSERT_TRUE(tared.Tare());
        }
        EXPECT_EQ(plain.RateNcmPerMin().has_value(), t >= 60) << t;
        if (plain.RateNcmPerMin()) {
            EXPECT_NEAR(*tared.RateNcmPerMin(), *plain.RateNcmPerMin(), 1e-9) << t;
        }
    }
    EXPECT_NEAR(tared.TareNcm(), (14.6 + 14.7 + 16.3 + 14.9 + 15.0) / 5, 1e-9);  // 98 carries a bump
    EXPECT_NEAR(tared.DeltaNcm(), plain.DeltaNcm() - tared.TareNcm(), 1e-9);
    EXPECT_DOUBLE_EQ(plain.DeltaNcm(), 35);
    EXPECT_NEAR(*plain.RateNcmPerMin(), 6.0, 0.2);
}

TEST(TorqueEndPoint, RateIsTheLeastSquaresSlopeOverTheWindow)
{
    CEndPointRules rules;
    rules.trendWindowSeconds = 30;
    CTorqueEndPoint detector(rules);
    for (int t = 0; t < 30; ++t) {
        detector.AddSample(t * 1.0, 100 - 0.25 * t);
        EXPECT_FALSE(detector.RateNcmPerMin().has_value()) << t;
    }
    detector.AddSample(30, 100 - 0.25 * 30);
    ASSERT_TRUE(detector.RateNcmPerMin().has_value());
    EXPECT_NEAR(*detector.RateNcmPerMin(), -15, 1e-9);
    // Only the last 30 s count: after a level stretch the rate is 0.
    for (int t = 31; t <= 61; ++t)
        detector.AddSample(t, 50);
    EXPECT_NEAR(*detector.RateNcmPerMin(), 0, 1e-9);
    // Samples going back in time or not numbers are ignored.
    EXPECT_FALSE(detector.AddSample(10, 999).has_value());
    EXPECT_FALSE(detector.AddSample(std::nan(""), 999).has_value());
    EXPECT_EQ(detector.SampleCount(), 62);
    EXPECT_DOUBLE_EQ(detector.DeltaNcm(), 50);
}

TEST(TorqueEndPoint, BothRulesAtOneSampleFireOneAfterTheOther)
{
    CEndPointRules rules = Plateau(0.5, 1);
    rules.thresholdOn = true;
    rules.thresholdNcm = 30.1;
    CTorqueEndPoint detector(rules);
    std::vector<EndPointEvent> events;
    for (int t = 0; t <= 200; ++t) {
        // Flat at 30; a step too small to move the rate, at the moment the plateau is due.
        if (std::optional<EndPointEvent> e = detector.AddSample(t, t < 120 ? 30 : 30.2))
            events.push_back(*e);
    }
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].rule, EndPointEvent::Rule::Threshold);
    EXPECT_EQ(events[0].seconds, 120);
    EXPECT_EQ(events[1].rule, EndPointEvent::Rule::Plateau);
    EXPECT_EQ(events[1].seconds, 121);
}

TEST(TorqueEndPoint, MessagesGiveTheTimeAndTheWholeDelta)
{
    const struct
    {
        EndPointEvent::Rule rule;
        double seconds;
        double delta;
        const char* text;
    } cases[] = {
        {EndPointEvent::Rule::Plateau, 2470, 22.6, "Torque plateau reached after 0:41:10 (\u0394 23 Ncm)"},
        {EndPointEvent::Rule::Threshold, 65, -0.4, "Torque threshold reached after 0:01:05 (\u0394 0 Ncm)"},
        {EndPointEvent::Rule::Plateau, 3600, -12, "Torque plateau reached after 1:00:00 (\u0394 -12 Ncm)"},
    };
    for (const auto& c : cases) {
        EndPointEvent e;
        e.rule = c.rule;
        e.seconds = c.seconds;
        e.deltaNcm = c.delta;
        EXPECT_EQ(e.Message(), QString::fromUtf8(c.text));
    }
}

TEST(EndPointRules, AreRememberedAndBadValuesFallIntoRange)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("vantoc.ini"));
    CEndPointRules saved = Plateau(0.25, 7, 600);
    saved.plateauAction = CEndPointRules::Action::StopMotor;
    saved.thresholdOn = true;
    saved.thresholdNcm = 33;
    saved.thresholdAction = CEndPointRules::Action::ChangeSpeed;
    saved.changeSpeedRpm = 750;
    saved.trendWindowSeconds = 90;
    {
        QSettings settings(path, QSettings::IniFormat);
        EXPECT_EQ(CEndPointRules::Load(settings), CEndPointRules());
        saved.Save(settings);
    }
    {
        QSettings settings(path, QSettings::IniFormat);
        EXPECT_EQ(CEndPointRules::Load(settings), saved);
        settings.setValue(QStringLiteral("endPoint/trendWindowSeconds"), 0);
        settings.setValue(QStringLiteral("endPoint/plateauSeconds"), -1);
        settings.setValue(QStringLiteral("endPoint/changeSpeedRpm"), 5);
        settings.setValue(QStringLiteral("endPoint/plateauAction"), QStringLiteral("explode"));
    }
    QSettings settings(path, QSettings::IniFormat);
    const CEndPointRules bad = CEndPointRules::Load(settings);
    EXPECT_EQ(bad.trendWindowSeconds, 60);
    EXPECT_EQ(bad.plateauSeconds, 300);
    EXPECT_EQ(bad.changeSpeedRpm, 50);
    EXPECT_EQ(bad.plateauAction, CEndPointRules::Action::AlertOnly);
}
