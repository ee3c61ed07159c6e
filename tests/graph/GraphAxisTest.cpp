#include "graph/GraphAxis.h"

#include <gtest/gtest.h>
#include <type_traits>

// The property file and programs hand the chart any 32-bit value for its
// enumerations; each must hold it unchanged so the documented fall-backs
// see the value that was given.
TEST(GraphAxisTest, EnumerationsHoldEveryStoredInt)
{
    EXPECT_TRUE((std::is_same_v<std::underlying_type_t<eGraphAxisType>, int>));
    EXPECT_TRUE((std::is_same_v<std::underlying_type_t<eGraphStyle>, int>));
    EXPECT_TRUE((std::is_same_v<std::underlying_type_t<eAxisValueType>, int>));
    EXPECT_TRUE((std::is_same_v<std::underlying_type_t<eCurvePointStyle>, int>));
    for (int stored : {-1, 3, 7, 255, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
        tagGraphAxis axis;
        axis.eValueType = static_cast<eAxisValueType>(stored);
        EXPECT_EQ(static_cast<int>(axis.eValueType), stored);
        EXPECT_NE(axis.eValueType, AXIS_VALUE_TIME);
    }
}
