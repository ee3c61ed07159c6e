#include "run/LinkWatch.h"

#include <gtest/gtest.h>

namespace {

constexpr qint64 kS = 1'000'000'000;

TEST(LinkWatchTest, LostOnceAfterThreeSilentSecondsAndBackWithTheNextSample)
{
    using E = CLinkWatch::EChange;
    CLinkWatch watch;
    EXPECT_EQ(watch.Check(100 * kS), E::None);  // not started
    watch.Start(0);
    struct Step {
        bool sample;
        qint64 at;
        E expected;
    };
    const Step steps[] = {
        {false, 2 * kS, E::None}, {true, 2 * kS, E::None},   {false, 5 * kS, E::None},
        {false, 5 * kS + 1, E::Lost}, {false, 9 * kS, E::None}, {true, 10 * kS, E::Back},
        {true, 11 * kS, E::None}, {false, 14 * kS + 1, E::Lost},
    };
    for (const Step& s : steps) {
        const E change = s.sample ? watch.OnSample(s.at) : watch.Check(s.at);
        EXPECT_EQ(change, s.expected) << s.at;
    }
    EXPECT_EQ(watch.SilenceNs(15 * kS), 4 * kS);
    watch.Stop();
    EXPECT_EQ(watch.OnSample(16 * kS), E::None);
    EXPECT_EQ(watch.SilenceNs(20 * kS), 0);
}

}  // namespace
