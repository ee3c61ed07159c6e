#include "display/VelDigit.h"
#include "Printers.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

using plat::CRect;
using plat::CSize;

namespace {

struct TextCase {
    float value;
    int precision;
    int dotPrecision;
    const char* expected;
};

void PrintTo(const TextCase& c, std::ostream* os)
{
    *os << c.value << " places " << c.precision << " decimals " << c.dotPrecision;
}

class PrepareStringTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(PrepareStringTest, FormatsCutsAndPads)
{
    const TextCase& c = GetParam();
    EXPECT_EQ(CVelDigit::PrepareString(c.value, c.precision, c.dotPrecision), QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Table, PrepareStringTest, ::testing::Values(
    TextCase{500.0f, 5, 0, "  500"},
    TextCase{123456.0f, 5, 0, "23456"},       // the most significant places are dropped
    TextCase{3.14159f, 5, 2, " 3.14"},
    TextCase{-5.0f, 3, 0, " -5"},
    TextCase{2.9f, 5, 0, "    2"},            // truncation, not rounding
    TextCase{-2.9f, 5, 0, "   -2"},
    TextCase{-0.5f, 3, 0, "  0"},             // no "-0" from a truncated negative fraction
    TextCase{0.0f, 2, 5, "00"},               // a fresh control: last two places of 0.00000
    TextCase{2.675f, 6, 2, "  2.67"},         // the float is just below 2.675
    TextCase{-1.5f, 6, 1, "  -1.5"},
    TextCase{42.0f, 4, -3, "  42"},           // no decimals below zero
    TextCase{9.0f, 1, 0, "9"},
    TextCase{12.0f, 10, 0, "        12"}));

TEST(PrepareString, HugeValuesNeedNoBufferLimit)
{
    char oracle[64];
    std::snprintf(oracle, sizeof oracle, "%.0f", double(FLT_MAX));
    const std::string digits(oracle);
    ASSERT_GT(digits.size(), 30u);
    EXPECT_EQ(CVelDigit::PrepareString(FLT_MAX, 10, 0), QString::fromStdString(digits.substr(digits.size() - 10)));
    const std::string fixed = "-" + digits + ".00000";  // FLT_MAX is a whole number
    EXPECT_EQ(CVelDigit::PrepareString(-FLT_MAX, 10, 5), QString::fromStdString(fixed.substr(fixed.size() - 10)));
    EXPECT_EQ(CVelDigit::PrepareString(1e30f, 10, 400), QStringLiteral("0000000000"));
    EXPECT_EQ(CVelDigit::PrepareString(1e-30f, 4, 1000000), QStringLiteral("0000"));
}

TEST(PrepareString, NonFiniteValuesKeepTheWidth)
{
    for (float v : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()}) {
        for (int dots : {0, 2}) {
            const QString text = CVelDigit::PrepareString(v, 5, dots);
            EXPECT_EQ(text.size(), 5) << text.toStdString();
            for (QChar ch : text)
                EXPECT_FALSE(ch.isDigit()) << text.toStdString();
        }
    }
}

TEST(PrepareString, NoPlacesGiveNoText)
{
    EXPECT_TRUE(CVelDigit::PrepareString(5.0f, 0, 0).isEmpty());
}

TEST(CellForChar, DigitsPointAndMinusHaveTheirOwnCells)
{
    for (int d = 0; d <= 9; ++d)
        EXPECT_EQ(CVelDigit::CellForChar(QChar('0' + d), true, 1.0f), d);
    EXPECT_EQ(CVelDigit::CellForChar(QChar('.'), false, -1.0f), CVelDigit::kCellPoint);
    EXPECT_EQ(CVelDigit::CellForChar(QChar('-'), true, -1.0f), CVelDigit::kCellMinus);
}

TEST(CellForChar, PaddingIsBlankOnlyWithZeroPaddingAndNoNegativeValue)
{
    const QChar blank(' ');
    EXPECT_EQ(CVelDigit::CellForChar(blank, true, 0.0f), CVelDigit::kCellBlank);
    EXPECT_EQ(CVelDigit::CellForChar(blank, true, 500.0f), CVelDigit::kCellBlank);
    EXPECT_EQ(CVelDigit::CellForChar(blank, false, 500.0f), CVelDigit::kCellPoint);
    EXPECT_EQ(CVelDigit::CellForChar(blank, true, -5.0f), CVelDigit::kCellPoint);
    EXPECT_EQ(CVelDigit::CellForChar(QChar('n'), true, std::nanf("")), CVelDigit::kCellPoint);
}

TEST(FittedRect, KeepsTheCornerTheFlagsName)
{
    const CRect rc(100, 200, 150, 230);
    const CSize cell(63, 112);
    EXPECT_EQ(CVelDigit::FittedRect(rc, 5, cell, 0x0C), CRect(100, 200, 421, 318));
    EXPECT_EQ(CVelDigit::FittedRect(rc, 5, cell, 0x04), CRect(100, 112, 421, 230));
    EXPECT_EQ(CVelDigit::FittedRect(rc, 5, cell, 0x08), CRect(-171, 200, 150, 318));
    EXPECT_EQ(CVelDigit::FittedRect(rc, 5, cell, 0x00), CRect(-171, 112, 150, 230));
    EXPECT_EQ(CVelDigit::FittedRect(rc, 1, cell, 0xF0), CRect(81, 112, 150, 230));  // other bits mean nothing
}

TEST(VelDigit, DefaultsAndSetters)
{
    CVelDigit digit;
    EXPECT_EQ(digit.GetPrecision(), 2);
    EXPECT_EQ(digit.GetDotPrecision(), 5);
    EXPECT_EQ(digit.GetResize(), 0x0Cu);
    EXPECT_EQ(digit.GetZeroPadding(), 0);
    EXPECT_EQ(digit.PrepareString(), QStringLiteral("00"));
    EXPECT_EQ(CVelDigit::GetVersionI(), 10);
    EXPECT_EQ(CVelDigit::GetVersionC(), QStringLiteral("1.0"));

    digit.SetPrecision(0, 0);
    digit.SetPrecision(11, 0);
    EXPECT_EQ(digit.GetPrecision(), 2);
    digit.SetPrecision(10, 0);
    EXPECT_EQ(digit.GetPrecision(), 10);

    digit.SetValue(7.0f, 0);
    digit.Inc(0);
    digit.Inc(0);
    digit.Dec(0);
    EXPECT_FLOAT_EQ(digit.GetValue(), 8.0f);
}

TEST(VelDigit, ResizeWithoutAStripKeepsTheWindow)
{
    CVelDigit digit;
    digit.setGeometry(5, 6, 70, 40);
    digit.SetPrecision(4, 1);
    digit.SetResize(0, 1);
    EXPECT_EQ(digit.geometry(), QRect(5, 6, 70, 40));
}

}  // namespace
