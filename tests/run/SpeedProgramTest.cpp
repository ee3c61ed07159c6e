#include "run/SpeedProgram.h"

#include <gtest/gtest.h>

namespace {

CSpeedProgram::Error Refusal(const char* text, int maxRpm = CSpeedProgram::kMaxRpm)
{
    CSpeedProgram::Error error;
    const CSpeedProgram program = CSpeedProgram::Parse(QString::fromUtf8(text), maxRpm, &error);
    EXPECT_TRUE(program.IsEmpty()) << text;
    return error;
}

}  // namespace

TEST(SpeedProgram, ReadsStepsCommentsBlankLinesAndTheThreeDurationForms)
{
    const char* text =
        "# dissolve\n"
        "\n"
        "hold 200 30      # add the reagent\n"
        "  ramp 1500 1:00\r\n"
        "HOLD 1500 1:00:10\n"
        "ramp 2200 90s\n"
        "   # done\n";
    CSpeedProgram::Error error{9, QStringLiteral("stale")};
    const CSpeedProgram program = CSpeedProgram::Parse(QString::fromUtf8(text), 2200, &error);
    EXPECT_EQ(error.line, 0);
    EXPECT_TRUE(error.reason.isEmpty());
    const std::vector<ProgramStep>& s = program.Steps();
    ASSERT_EQ(s.size(), 4u);
    const struct
    {
        ProgramStep::Kind kind;
        int rpm;
        double seconds;
    } expected[] = {
        {ProgramStep::Hold, 200, 30},
        {ProgramStep::Ramp, 1500, 60},
        {ProgramStep::Hold, 1500, 3610},
        {ProgramStep::Ramp, 2200, 90},
    };
    for (size_t i = 0; i < s.size(); ++i) {
        EXPECT_EQ(s[i].kind, expected[i].kind) << i;
        EXPECT_EQ(s[i].rpm, expected[i].rpm) << i;
        EXPECT_DOUBLE_EQ(s[i].seconds, expected[i].seconds) << i;
    }
    EXPECT_DOUBLE_EQ(program.TotalSeconds(), 3790);
}

TEST(SpeedProgram, RefusesTheWholeFileNamingTheLineAndTheReason)
{
    const struct
    {
        const char* text;
        int maxRpm;
        const char* message;
    } cases[] = {
        {"hold 200 30\nhold 300 30\nhold 2500 10\n", 2200, "line 3: speed 2500 is above 2200"},
        {"hold 49 10", 2200, "line 1: speed 49 is below 50"},
        {"# x\nhold fast 10", 2200, "line 2: speed \"fast\" is not a whole number"},
        {"hold 200.5 10", 2200, "line 1: speed \"200.5\" is not a whole number"},
        {"hold 200 10\nspin 300 10", 2200, "line 2: unknown step \"spin\" (hold or ramp)"},
        {"ramp 300", 2200, "line 1: ramp takes a speed and a duration"},
        {"hold 300 10 20", 2200, "line 1: hold takes a speed and a duration"},
        {"hold 300 1:75", 2200, "line 1: duration \"1:75\" is not seconds, m:ss or h:mm:ss"},
        {"hold 300 0", 2200, "line 1: duration 0 is not longer than 0"},
        {"\n\nhold 1600 10", 1500, "line 3: speed 1600 is above the maximum speed of 1500 rpm set in the limits"},
        {"", 2200, "the program has no steps"},
        {"# only a comment\n\n   \n", 2200, "the program has no steps"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Refusal(c.text, c.maxRpm).Message(), QString::fromUtf8(c.message)) << c.text;
    EXPECT_EQ(Refusal("hold 200 10\nhold 2500 10").line, 2);
    EXPECT_EQ(Refusal("").line, 0);
}

TEST(SpeedProgram, ALimitAtOrAboveASpeedAcceptsIt)
{
    EXPECT_FALSE(CSpeedProgram::Parse(QStringLiteral("hold 1500 10"), 1500).IsEmpty());
    EXPECT_FALSE(CSpeedProgram::Parse(QStringLiteral("hold 2200 10"), 9999).IsEmpty());
}

TEST(SpeedProgram, TextRoundTripsAndTheTraceFollowsTheSteps)
{
    const CSpeedProgram program = CSpeedProgram::Parse(QStringLiteral("ramp 500 20\nhold 800 2.5\nramp 300 1:00"));
    ASSERT_FALSE(program.IsEmpty());
    const CSpeedProgram again = CSpeedProgram::Parse(program.ToText());
    ASSERT_EQ(again.Steps().size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(again.Steps()[i].kind, program.Steps()[i].kind);
        EXPECT_EQ(again.Steps()[i].rpm, program.Steps()[i].rpm);
        EXPECT_DOUBLE_EQ(again.Steps()[i].seconds, program.Steps()[i].seconds);
    }
    const std::vector<SetPointVertex> trace = program.Trace();
    const SetPointVertex expected[] = {
        {0, 50}, {20, 500}, {20, 800}, {22.5, 800}, {22.5, 800}, {82.5, 300}, {82.5, 0},
    };
    ASSERT_EQ(trace.size(), std::size(expected));
    for (size_t i = 0; i < trace.size(); ++i) {
        EXPECT_DOUBLE_EQ(trace[i].seconds, expected[i].seconds) << i;
        EXPECT_DOUBLE_EQ(trace[i].rpm, expected[i].rpm) << i;
    }
    EXPECT_TRUE(CSpeedProgram().Trace().empty());
}

// Saved text must read back to the very same durations, however small or
// inexact in binary: tiny ones once went out in exponent form, which the
// reader refuses, and 15 digits lost the last bit of others.
TEST(SpeedProgram, SavedDurationsReadBackExactly)
{
    for (const char* duration : {"0.0000001", "0.000000000000000000000000001", "0.1m", "0.7m", "1.1h",
                                 "3599999.9999999995", "0.30000000000000004", "999:59:59", "12.345678901234567"}) {
        const CSpeedProgram program = CSpeedProgram::Parse(QStringLiteral("hold 300 %1").arg(duration));
        ASSERT_FALSE(program.IsEmpty()) << duration;
        const QString text = program.ToText();
        EXPECT_FALSE(text.contains(u'e')) << duration << ": " << text.toStdString();
        CSpeedProgram::Error error;
        const CSpeedProgram again = CSpeedProgram::Parse(text, CSpeedProgram::kMaxRpm, &error);
        ASSERT_EQ(again.Steps().size(), 1u) << duration << ": " << error.Message().toStdString();
        EXPECT_EQ(again.Steps()[0].seconds, program.Steps()[0].seconds) << duration << ": " << text.toStdString();
    }
}

TEST(SpeedProgram, CommandsCarry2200As2199)
{
    EXPECT_EQ(CSpeedProgram::CommandRpm(2200), 2199);
    EXPECT_EQ(CSpeedProgram::CommandRpm(2199), 2199);
    EXPECT_EQ(CSpeedProgram::CommandRpm(50), 50);
}
