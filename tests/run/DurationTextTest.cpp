#include "run/DurationText.h"

#include <gtest/gtest.h>

TEST(DurationText, ReadsEveryFormAndRefusesTheRest)
{
    const struct
    {
        const char* text;
        double seconds;  // < 0: refused
    } cases[] = {
        {"90", 90},         {"90s", 90},        {" 90 ", 90},     {"2.5", 2.5},
        {"0", 0},           {"5m", 300},        {"1.5h", 5400},   {"1:30", 90},
        {"0:05", 5},        {"90:00", 5400},    {"1:02:03", 3723}, {"0:41:10", 2470},
        {"", -1},           {"s", -1},          {"-5", -1},       {"1e3", -1},
        {"1:60", -1},       {"1:5", -1},        {"1:005", -1},    {"1:60:00", -1},
        {"1:00:60", -1},    {"1:2:03", -1},     {"1:02:03:04", -1}, {":30", -1},
        {"1:", -1},         {"abc", -1},        {"10x", -1},      {"1.2.3", -1},
        {"1000:00:01", -1}, {"nan", -1},        {"inf", -1},      {"-1:00", -1},
        {".", -1},          {"5 m", -1},
    };
    for (const auto& c : cases) {
        const std::optional<double> got = CDurationText::Parse(QString::fromUtf8(c.text));
        if (c.seconds < 0) {
            EXPECT_FALSE(got.has_value()) << c.text;
        } else {
            ASSERT_TRUE(got.has_value()) << c.text;
            EXPECT_DOUBLE_EQ(*got, c.seconds) << c.text;
        }
    }
}

TEST(DurationText, FormatsAsHoursMinutesSecondsAndReadsBack)
{
    const struct
    {
        double seconds;
        const char* text;
    } cases[] = {
        {0, "0:00:00"},   {59.4, "0:00:59"}, {59.6, "0:01:00"},   {2470, "0:41:10"},
        {3723, "1:02:03"}, {36000, "10:00:00"}, {-3, "0:00:00"}, {std::nan(""), "0:00:00"},
    };
    for (const auto& c : cases) {
        const QString text = CDurationText::Format(c.seconds);
        EXPECT_EQ(text, QString::fromUtf8(c.text)) << c.seconds;
        EXPECT_EQ(CDurationText::Parse(text), std::round(std::isfinite(c.seconds) ? std::max(c.seconds, 0.0) : 0));
    }
}

TEST(DurationText, ReadsARateWithAWindow)
{
    const struct
    {
        const char* text;
        bool ok;
        double rate;
        double seconds;
    } cases[] = {
        {"0.5:5m", true, 0.5, 300},  {"2:90", true, 2, 90},     {"1:4:00", true, 1, 240},
        {"0:1:00:00", true, 0, 3600}, {"0.5:0", false, 0, 0},   {"0.5", false, 0, 0},
        {":5m", false, 0, 0},        {"-1:5m", false, 0, 0},    {"x:5m", false, 0, 0},
        {"0.5:5q", false, 0, 0},
    };
    for (const auto& c : cases) {
        double rate = -7;
        double seconds = -7;
        EXPECT_EQ(CDurationText::ParseRateAndDuration(QString::fromUtf8(c.text), rate, seconds), c.ok) << c.text;
        EXPECT_DOUBLE_EQ(rate, c.ok ? c.rate : -7) << c.text;
        EXPECT_DOUBLE_EQ(seconds, c.ok ? c.seconds : -7) << c.text;
    }
}
