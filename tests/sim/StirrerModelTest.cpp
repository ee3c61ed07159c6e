#include "StirrerModel.h"

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
