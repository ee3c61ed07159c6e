#include "RenderTestPrint.h"
#include "render/VelGraphDrawer.h"

#include <gtest/gtest.h>

// The value texts of the scale, tooltips and read-outs: the worked examples.
TEST(ScaleTextTest, ValueStringExamples)
{
    struct Row { double v; int n; eAxisValueType e; int bLog; int bTrim; const char* expected; };
    const Row rows[] = {
        {1000000, 2, AXIS_VALUE_DECIMAL, 0, 1, "1000000"},  // the limit itself is not exponent form
        {1000000.5, 2, AXIS_VALUE_DECIMAL, 0, 1, "1.0e+06"},
        {-1500000, 0, AXIS_VALUE_INTEGER, 0, 0, "-1.5e+06"},
        {12.5, 2, AXIS_VALUE_DECIMAL, 0, 0, "12.50"},
        {12.5, 2, AXIS_VALUE_DECIMAL, 0, 1, "12.5"},
        {125, 2, AXIS_VALUE_TIME, 0, 1, "2:05"},
        {45, 2, AXIS_VALUE_TIME, 0, 1, "45"},
        {7322, 2, AXIS_VALUE_TIME, 0, 1, "2:02:02"},
        {100, 0, AXIS_VALUE_TIME, 1, 1, "1.0e+02"},  // log scale label, whatever the type
        {100, 0, AXIS_VALUE_TIME, 1, 0, "1:40"},     // tooltip on the same axis
        {59.6, 2, AXIS_VALUE_TIME, 0, 1, "1:00"},
        {0.5, 1, static_cast<eAxisValueType>(7), 0, 1, "0.5"},  // other types format as decimals
        {0.25, 2, static_cast<eAxisValueType>(-1), 0, 1, "0.25"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(CVelGraphDrawer::GetValueString(r.v, r.n, r.e, r.bLog, r.bTrim), QString::fromLatin1(r.expected))
            << r.v << " " << r.expected;
}
