#include "input/VelEditNumberRule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using Rule = CVelEditNumberRule;

struct JudgeCase {
    const char* text;
    unsigned precision;
    double min;
    double max;
    Rule::eVerdict verdict;
};

constexpr double kLow = std::numeric_limits<double>::lowest();
constexpr double kHigh = std::numeric_limits<double>::max();

TEST(VelEditNumberRule, JudgesTextsAsTheNumberFieldDoes)
{
    const JudgeCase cases[] = {
        {"", 2, 0, 100, Rule::Empty},
        {"-", 2, -100, 100, Rule::Empty},
        {"5-", 2, -100, 100, Rule::Malformed},
        {"1-2", 2, -100, 100, Rule::Malformed},
        {".5", 2, 0, 100, Rule::Malformed},
        {"-.5", 2, -100, 100, Rule::Malformed},
        {"00", 2, 0, 100, Rule::Malformed},
        {"007", 2, 0, 100, Rule::Malformed},
        {"-00", 2, -100, 100, Rule::Malformed},
        {"0", 2, 0, 100, Rule::Accepted},
        {"-0", 2, -100, 100, Rule::Accepted},
        {"-0.5", 2, -100, 100, Rule::Accepted},
        {"0.5", 2, 0, 100, Rule::Accepted},
        {"12.34", 2, 0, 100, Rule::Accepted},
        {"12.", 2, 0, 100, Rule::Accepted},
        {"12.345", 2, 0, 100, Rule::TooManyDecimals},
        {"1.0", 0, 0, 100, Rule::TooManyDecimals},
        {"150", 2, 0, 100, Rule::AboveMaximum},
        {"100.01", 2, 0, 100, Rule::AboveMaximum},
        {"100.000001", 6, 0, 100, Rule::Accepted},
        {"100.00002", 6, 0, 100, Rule::AboveMaximum},
        {"-5", 2, 0, 100, Rule::BelowMinimum},
        {"-0.000009", 6, 0, 100, Rule::Accepted},
        {"99999999999", 0, kLow, kHigh, Rule::Accepted},
    };
    for (const JudgeCase& c : cases) {
        EXPECT_EQ(Rule::Judge(QString::fromLatin1(c.text), c.precision, c.min, c.max), c.verdict)
            << '"' << c.text << "\" precision " << c.precision;
    }
}

TEST(VelEditNumberRule, ReadsTheLeadingNumberWhateverFollows)
{
    const struct {
        const char* text;
        double value;
        long whole;
    } cases[] = {
        {"", 0, 0},
        {"abc", 0, 0},
        {"12.5kg", 12.5, 12},
        {"  -3.25", -3.25, -3},
        {"1e3x", 1000, 1},
        {"1e", 1, 1},
        {"-", 0, 0},
        {".5", 0.5, 0},
        {"7.", 7, 7},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(Rule::LeadingDouble(QString::fromLatin1(c.text)), c.value) << c.text;
        EXPECT_EQ(Rule::LeadingLong(QString::fromLatin1(c.text)), c.whole) << c.text;
    }
    EXPECT_TRUE(std::isinf(Rule::LeadingDouble(QStringLiteral("1e999"))));
    EXPECT_EQ(Rule::LeadingLong(QStringLiteral("99999999999999999999999")), std::numeric_limits<long>::max());
    EXPECT_EQ(Rule::LeadingLong(QStringLiteral("-99999999999999999999999")), std::numeric_limits<long>::min());
}

TEST(VelEditNumberRule, FormatsWithTheGivenDecimalsWhateverTheLocale)
{
    EXPECT_EQ(Rule::Format(3.14159, 2), QStringLiteral("3.14"));
    EXPECT_EQ(Rule::Format(100, 2), QStringLiteral("100.00"));
    EXPECT_EQ(Rule::Format(2.5, 0), QStringLiteral("2"));
    EXPECT_EQ(Rule::Format(-0.125, 1), QStringLiteral("-0.1"));
}

}  // namespace
