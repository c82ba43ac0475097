// Time limits are typed the Portuguese way, whatever the C library's locale is.
#include <gtest/gtest.h>

#include <cmath>

#include "shell/Settings.h"

namespace {

TEST(TimeLimitAnswer, ReadsADecimalCommaAndStopsAtAPoint)
{
    EXPECT_EQ(parseNumber("1,5"), 1.5);
    EXPECT_EQ(parseNumber("1.5"), 1.0);
    EXPECT_EQ(parseNumber("  30 segundos"), 30.0);
    EXPECT_EQ(parseNumber("1,5e2"), 150.0);
    EXPECT_EQ(parseNumber("0"), 0.0);
    EXPECT_EQ(parseNumber("-5"), -5.0);
    EXPECT_EQ(parseNumber(",25"), 0.25);
    EXPECT_EQ(parseNumber("2,5,7"), 2.5);
    EXPECT_EQ(parseNumber("\t7\r"), 7.0);
}

TEST(TimeLimitAnswer, RejectsWhatIsNoUsableNumber)
{
    for (const char* answer : {"", "   ", "abc", ".5", "nan", "inf", "-infinity", "1e999", "-1e999", "s30"})
        EXPECT_FALSE(parseNumber(answer).has_value()) << '"' << answer << '"';
}

}  // namespace
