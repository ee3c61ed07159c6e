#include "run/RunTimer.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(RunTimer, CountsDownAndComesDueAtZero)
{
    const CRunTimer timer(3723);  // 1:02:03
    const struct
    {
        double elapsed;
        const char* text;
        bool due;
    } cases[] = {
        {0, "1:02:03", false},     {0.2, "1:02:03", false}, {1, "1:02:02", false},
        {3722.01, "0:00:01", false}, {3723, "0:00:00", true}, {9000, "0:00:00", true},
        {-5, "1:02:03", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(timer.RemainingText(c.elapsed), QString::fromUtf8(c.text)) << c.elapsed;
        EXPECT_EQ(timer.IsDue(c.elapsed), c.due) << c.elapsed;
    }
    EXPECT_DOUBLE_EQ(timer.Remaining(3000), 723);
}

TEST(RunTimer, ADurationOfNothingNeverComesDue)
{
    for (double seconds : {0.0, -10.0, std::nan(""), HUGE_VAL}) {
        const CRunTimer timer(seconds);
        EXPECT_FALSE(timer.IsActive()) << seconds;
        EXPECT_FALSE(timer.IsDue(1e9)) << seconds;
        EXPECT_EQ(timer.RemainingText(5), QStringLiteral("0:00:00"));
    }
}
