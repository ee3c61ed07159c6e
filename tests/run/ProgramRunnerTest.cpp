#include "run/ProgramRunner.h"

#include <gtest/gtest.h>

namespace {

CProgramRunner Runner(const char* text)
{
    const CSpeedProgram program = CSpeedProgram::Parse(QString::fromUtf8(text));
    EXPECT_FALSE(program.IsEmpty()) << text;
    return CProgramRunner(program);
}

struct Sent
{
    double at;  // the poll that sent it
    ProgramCommand command;
};

// Polls every period seconds until the stop is accepted (or until limit);
// refuse decides the outcome of each attempt.
template <typename Refuse>
std::vector<Sent> Drive(CProgramRunner& runner, double period, double limit, Refuse refuse)
{
    std::vector<Sent> sent;
    for (int i = 0; !runner.IsFinished() && i * period <= limit; ++i) {
        const double t = i * period;
        if (const std::optional<ProgramCommand> c = runner.Due(t)) {
            sent.push_back({t, *c});
            runner.Report(!refuse(sent.size() - 1, *c));
        }
    }
    return sent;
}

std::vector<Sent> Drive(CProgramRunner& runner, double period = 1.0, double limit = 100000)
{
    return Drive(runner, period, limit, [](size_t, const ProgramCommand&) { return false; });
}

}  // namespace

TEST(ProgramRunner, HoldRampHoldSendsFewCommandsAtLeastTwoSecondsApartAndStops)
{
    for (double period : {1.0, 0.25, 1.1}) {
        CProgramRunner runner = Runner("hold 200 30\nramp 1500 60\nhold 1500 10");
        const std::vector<Sent> sent = Drive(runner, period);
        ASSERT_GE(sent.size(), 3u) << period;
        EXPECT_EQ(sent.front().at, 0) << period;
        EXPECT_EQ(sent.front().command.rpm, 200) << period;
        int beforeStop = 0;
        for (size_t i = 0; i + 1 < sent.size(); ++i) {
            ++beforeStop;
            EXPECT_FALSE(sent[i].command.stop);
            if (i > 0) {
                EXPECT_GE(sent[i].at - sent[i - 1].at, 2.0 - 1e-9) << period << " " << i;
                EXPECT_GT(sent[i].command.rpm, sent[i - 1].command.rpm) << i;
            }
        }
        EXPECT_LE(beforeStop, 31) << period;
        const Sent& last = sent[sent.size() - 2];
        EXPECT_EQ(last.command.rpm, 1500) << period;
        EXPECT_GE(last.at, 90);
        // On time when polls fall on the steps; at most one spacing late otherwise.
        EXPECT_LE(last.at, (period == 1.1 ? 92.2 : 90) + 1e-9) << period;
        EXPECT_TRUE(sent.back().command.stop);
        EXPECT_EQ(sent.back().command.rpm, 0);
        EXPECT_GE(sent.back().at, 100);
        EXPECT_LT(sent.back().at, 100 + period + 1e-9) << period;
        EXPECT_TRUE(runner.IsFinished());
        EXPECT_EQ(runner.CurrentRpm(), 0);
        EXPECT_DOUBLE_EQ(runner.TotalSeconds(), 100);
    }
}

TEST(ProgramRunner, PlansStepsByWhicheverRuleSendsFewerCommands)
{
    const struct
    {
        const char* text;
        std::vector<ProgramCommand> plan;
    } cases[] = {
        // 30 rpm over 60 s: three steps of 10 rpm rather than thirty of 2 s.
        {"hold 200 10\nramp 230 60",
         {{0, 200, false}, {30, 210, false}, {50, 220, false}, {70, 230, false}, {70, 0, true}}},
        // 800 rpm over 5 s: two steps of 2.5 s.
        {"hold 200 10\nramp 1000 5", {{0, 200, false}, {12.5, 600, false}, {15, 1000, false}, {15, 0, true}}},
        // Downwards, and a ramp too short for one step moves at its end.
        {"hold 500 4\nramp 480 4\nramp 475 1",
         {{0, 500, false}, {6, 490, false}, {8, 480, false}, {9, 475, false}, {9, 0, true}}},
        // A leading ramp starts from 50 rpm; 2200 goes out as 2199.
        {"ramp 2200 4", {{0, 50, false}, {2, 1125, false}, {4, 2199, false}, {4, 0, true}}},
        // A set-point already in force sends nothing.
        {"hold 300 5\nhold 300 5\nramp 300 5", {{0, 300, false}, {15, 0, true}}},
    };
    for (const auto& c : cases) {
        CProgramRunner runner = Runner(c.text);
        EXPECT_EQ(runner.Plan(), c.plan) << c.text;
    }
    EXPECT_TRUE(CProgramRunner(CSpeedProgram()).Plan().empty());
}

TEST(ProgramRunner, ARefusedCommandIsRetriedAtTheNextStepAndCounted)
{
    CProgramRunner runner = Runner("hold 300 30\nhold 500 30");
    std::vector<Sent> sent = Drive(runner, 1.0, 100000, [](size_t i, const ProgramCommand& c) {
        return (c.rpm == 500 && i < 2) || (c.stop && i < 4);
    });
    const double at[] = {0, 30, 32, 60, 62};
    ASSERT_EQ(sent.size(), std::size(at));
    for (size_t i = 0; i < sent.size(); ++i)
        EXPECT_DOUBLE_EQ(sent[i].at, at[i]) << i;
    EXPECT_EQ(sent[1].command.rpm, 500);
    EXPECT_EQ(sent[2].command.rpm, 500);
    EXPECT_TRUE(sent[3].command.stop);
    EXPECT_TRUE(sent[4].command.stop);
    EXPECT_EQ(runner.RefusedCount(), 2);
    EXPECT_TRUE(runner.IsFinished());
}

TEST(ProgramRunner, ANewerCommandReplacesARefusedOneAndALatePollSkipsToTheLatest)
{
    CProgramRunner runner = Runner("hold 200 10\nramp 300 20");  // steps at 12, 14, ... 30
    ASSERT_EQ(runner.Due(0)->rpm, 200);
    runner.Report(true);
    EXPECT_FALSE(runner.Due(11.9).has_value());
    const std::optional<ProgramCommand> first = runner.Due(12);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->rpm, 210);
    EXPECT_FALSE(runner.Due(12.5).has_value()) << "nothing new while an outcome is awaited";
    runner.Report(false);
    EXPECT_FALSE(runner.Due(13.9).has_value());
    const std::optional<ProgramCommand> retry = runner.Due(14.2);
    ASSERT_TRUE(retry.has_value());
    EXPECT_EQ(retry->rpm, 220);
    runner.Report(true);
    EXPECT_EQ(runner.CurrentRpm(), 220);
    // Late polls skip to the latest set-point due, and past the end to the stop.
    const std::optional<ProgramCommand> late = runner.Due(25);
    ASSERT_TRUE(late.has_value());
    EXPECT_EQ(late->rpm, 270);
    runner.Report(true);
    const std::optional<ProgramCommand> stop = runner.Due(45);
    ASSERT_TRUE(stop.has_value());
    EXPECT_TRUE(stop->stop);
    EXPECT_FALSE(runner.IsFinished());
    runner.Report(true);
    EXPECT_TRUE(runner.IsFinished());
    EXPECT_FALSE(runner.Due(50).has_value());
    runner.Report(false);  // nothing awaited: ignored
    EXPECT_EQ(runner.RefusedCount(), 1);
}
