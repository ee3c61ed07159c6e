#include "StirrerModel.h"
#include "SimThickening.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

SimSettings Quiet()
{
    SimSettings s;
    s.noiseRpm = 0;
    s.timeConstantS = 2.0;
    s.viscosity = 10.0;
    return s;
}

std::vector<int> Readings(std::uint32_t seed)
{
    SimSettings s;
    s.seed = seed;
    CStirrerModel model(s);
    model.SetSetPoint(1000);
    model.Advance(30);
    std::vector<int> out;
    for (int i = 0; i < 20; ++i)
        out.push_back(model.MeasuredSpeed());
    return out;
}

}  // namespace

TEST(StirrerModel, SpeedFollowsTheSetPointWithAFirstOrderLag)
{
    CStirrerModel model(Quiet());
    EXPECT_EQ(model.MeasuredSpeed(), 0);
    model.SetSetPoint(1000);
    model.Advance(2.0);  // one time constant
    EXPECT_NEAR(model.TrueSpeed(), 1000 * (1 - std::exp(-1.0)), 1e-9);
    model.Advance(1.0);
    model.Advance(1.0);  // steps add up like one
    EXPECT_NEAR(model.TrueSpeed(), 1000 * (1 - std::exp(-2.0)), 1e-9);
    model.Advance(-5);
    EXPECT_NEAR(model.TrueSpeed(), 1000 * (1 - std::exp(-2.0)), 1e-9);
    model.SetSetPoint(0);
    model.Advance(100);
    EXPECT_EQ(model.MeasuredSpeed(), 0);

    model.SetTimeConstant(0);
    model.SetSetPoint(70000);
    model.Advance(0.001);
    EXPECT_EQ(model.SetPoint(), 65535);
    EXPECT_EQ(model.MeasuredSpeed(), 65535);
}

TEST(StirrerModel, TorqueFollowsSpeedAndViscosity)
{
    CStirrerModel model(Quiet());
    model.SetTimeConstant(0);
    model.SetSetPoint(2000);
    model.Advance(1);
    EXPECT_EQ(model.Torque(), 20);
    model.SetViscosity(25);
    EXPECT_EQ(model.Torque(), 50);
    model.SetSetPoint(400);
    model.Advance(1);
    EXPECT_EQ(model.Torque(), 10);
}

TEST(StirrerModel, NoiseIsRepeatableForASeed)
{
    EXPECT_EQ(Readings(7), Readings(7));
    EXPECT_NE(Readings(7), Readings(8));
    const std::vector<int> r = Readings(7);
    for (int v : r)
        EXPECT_NEAR(v, 1000, 12);  // six standard deviations of 2 rpm
}

TEST(StirrerModel, ThickeningRaisesTheTorqueFromTheFirstStartAndLevelsOff)
{
    SimSettings s = Quiet();
    s.timeConstantS = 0;
    s.thickening = {true, 10, 50, 100};
    CStirrerModel model(s);
    model.Advance(500);  // the motor has not run: no thickening yet
    EXPECT_DOUBLE_EQ(model.Viscosity(), 10);
    model.SetSetPoint(1000);
    model.Advance(0.001);
    const struct
    {
        double after;  // seconds since the motor started
        int torque;    // at 1000 rpm
    } table[] = {
        {0, 10}, {100, 35}, {200, 45}, {300, 48}, {1000, 50}, {5000, 50},
    };
    double at = 0.001;
    for (const auto& row : table) {
        model.Advance(row.after - at);
        at = std::max(at, row.after);
        EXPECT_NEAR(model.Viscosity(), 50 - 40 * std::exp(-at / 100), 1e-9) << row.after;
        EXPECT_EQ(model.Torque(), row.torque) << row.after;
    }
    model.SetViscosity(12);  // a fixed viscosity ends the thickening
    model.Advance(100);
    EXPECT_DOUBLE_EQ(model.Viscosity(), 12);

    s.thickening = {true, 40, 5, 0};  // no time constant: at once, and thinning
    CStirrerModel thin(s);
    EXPECT_DOUBLE_EQ(thin.Viscosity(), 5);
    thin.SetThickening({true, 5, 25, 10});
    thin.SetSetPoint(2000);
    thin.Advance(10);
    EXPECT_NEAR(thin.Viscosity(), 25 - 20 * std::exp(-1.0), 1e-9);
    thin.SetThickening({});  // off: stays where it got to
    thin.Advance(50);
    EXPECT_NEAR(thin.Viscosity(), 25 - 20 * std::exp(-1.0), 1e-9);
}

TEST(StirrerModel, TorqueNoiseIsSettableAndOtherwiseFollowsTheSpeedNoise)
{
    auto spread = [](double torqueNoise) {
        SimSettings s;
        s.timeConstantS = 0;
        s.noiseRpm = 2;
        s.viscosity = 10;
        s.torqueNoiseNcm = torqueNoise;
        CStirrerModel model(s);
        model.SetSetPoint(2000);
        model.Advance(1);
        int low = 65535;
        int high = 0;
        for (int i = 0; i < 400; ++i) {
            const int t = model.Torque();
            low = std::min(low, t);
            high = std::max(high, t);
        }
        return std::pair(low, high);
    };
    EXPECT_EQ(spread(-1), std::pair(20, 20)) << "2 rpm through 10 Ncm/1000 rpm: 0.02 Ncm";
    EXPECT_EQ(spread(0), std::pair(20, 20));
    const auto [low, high] = spread(3);
    EXPECT_LE(low, 14);
    EXPECT_GE(high, 26);
    EXPECT_GE(low, 20 - 18);
    EXPECT_LE(high, 20 + 18);
}

TEST(SimThickening, ReadsFromToAndTimeConstant)
{
    const struct
    {
        const char* text;
        bool ok;
        double from, to, tau;
    } cases[] = {
        {"5:40:600", true, 5, 40, 600}, {"0:12.5:0", true, 0, 12.5, 0}, {"40:5:60", true, 40, 5, 60},
        {"5:40", false, 0, 0, 0},       {"5:40:600:1", false, 0, 0, 0}, {"5:40:x", false, 0, 0, 0},
        {"-5:40:600", false, 0, 0, 0},  {"5::600", false, 0, 0, 0},     {"5:inf:600", false, 0, 0, 0},
        {"", false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SimThickening k{false, -1, -1, -1};
        EXPECT_EQ(SimThickening::Parse(c.text, k), c.ok) << c.text;
        EXPECT_EQ(k.on, c.ok) << c.text;
        EXPECT_DOUBLE_EQ(k.fromNcm, c.ok ? c.from : -1) << c.text;
        EXPECT_DOUBLE_EQ(k.toNcm, c.ok ? c.to : -1) << c.text;
        EXPECT_DOUBLE_EQ(k.tauS, c.ok ? c.tau : -1) << c.text;
    }
}
