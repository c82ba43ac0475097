// A model's numbers keep the exact value their text names beside the double a solver gets.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engines/model/LpModel.h"
#include "engines/model/Number.h"

namespace {

Number read(const std::string& text)
{
    // The reader's double: strtod's, also where from_chars finds the value out of range.
    return Number::fromText(text, std::strtod(text.c_str(), nullptr));
}

::testing::AssertionResult isDecimal(const Number& number, std::int64_t digits, std::int32_t exponent)
{
    if (number.kind() == Number::Kind::Decimal && number.digits() == digits && number.exponent() == exponent)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "kind " << static_cast<int>(number.kind()) << ", " << number.digits()
                                         << "e" << number.exponent();
}

TEST(Number, TextsReadAsTheirDecimalValue)
{
    EXPECT_TRUE(isDecimal(read("0.1"), 1, -1));
    EXPECT_TRUE(isDecimal(read("-2.50"), -25, -1));
    EXPECT_TRUE(isDecimal(read("100"), 1, 2));
    EXPECT_TRUE(isDecimal(read("10.0"), 1, 1));
    EXPECT_TRUE(isDecimal(read("007.0300"), 703, -2));
    EXPECT_TRUE(isDecimal(read(".5e3"), 5, 2));
    EXPECT_TRUE(isDecimal(read("12E-5"), 12, -5));
    EXPECT_TRUE(isDecimal(read("0.000"), 0, 0));
    EXPECT_TRUE(isDecimal(read("0e999"), 0, 0));
    EXPECT_TRUE(isDecimal(read("123456789012345678"), 123456789012345678, 0));
    EXPECT_TRUE(isDecimal(read("1000000000000000000000e-10"), 1, 11));
    // The double is the one from_chars gives, as SCIP reads it.
    EXPECT_EQ(read("0.1").value(), 0.1);
    EXPECT_EQ(read("-2.50").value(), -2.5);
    // More digits than an int64 keeps: only the double is known.
    EXPECT_EQ(read("0.1234567890123456789").kind(), Number::Kind::Inexact);
    // SCIP's infinity and beyond.
    EXPECT_EQ(read("1e20").kind(), Number::Kind::Infinite);
    EXPECT_EQ(read("-1e400").kind(), Number::Kind::Infinite);
    EXPECT_LT(read("-1e400").value(), 0);
}

TEST(Number, SumsAndSignsStayExact)
{
    // 0.1 + 0.2 is 0.3 exactly, though not in doubles.
    const Number sum = read("0.1").plus(read("0.2"));
    EXPECT_TRUE(isDecimal(sum, 3, -1));
    EXPECT_EQ(sum.value(), 0.1 + 0.2);
    EXPECT_TRUE(isDecimal(read("1.25").plus(read("-1.25")), 0, 0));
    EXPECT_TRUE(isDecimal(read("1e5").plus(read("0.001")), 100000001, -3));
    EXPECT_TRUE(isDecimal(read("0.3").negated(), -3, -1));
    EXPECT_TRUE(isDecimal(read("0.3").withSign(-1).withSign(-1), 3, -1));
    // Numbers the program makes are exact as doubles; whole ones are decimals too.
    EXPECT_TRUE(isDecimal(Number(1.0), 1, 0));
    EXPECT_TRUE(isDecimal(Number(0.0).plus(read("0.7")), 7, -1));
    EXPECT_EQ(Number(0.75).kind(), Number::Kind::Binary);
    // A sum beyond 18 digits, or with a binary fraction, keeps only its double.
    EXPECT_EQ(read("1e17").plus(read("1e-3")).kind(), Number::Kind::Inexact);
    EXPECT_EQ(Number(0.75).plus(read("0.1")).kind(), Number::Kind::Inexact);
    EXPECT_EQ(read("1e30").plus(read("1")).kind(), Number::Kind::Infinite);
}

TEST(LpModelNumbers, TheReaderKeepsEveryNumbersText)
{
    const std::string text = "Minimize\n obj: 0.1 x + 0.1 x - 3 y + 2.5\nSubject To\n c: 0.1 x + 0.2 y = 0.3\n"
                             " d: - x >= -0.7\nBounds\n -1.5 <= y <= 4.1\nEnd\n";
    LpModel model;
    LpReadError error;
    ASSERT_TRUE(parseLpText(text, model, error)) << error.message;
    ASSERT_EQ(model.columns.size(), 2u);
    EXPECT_TRUE(isDecimal(model.columns[0].objective, 2, -1));
    EXPECT_TRUE(isDecimal(model.columns[1].objective, -3, 0));
    EXPECT_TRUE(isDecimal(model.objectiveOffset, 25, -1));
    ASSERT_EQ(model.rows.size(), 2u);
    EXPECT_EQ(model.rows[0].name, "c");
    EXPECT_EQ(model.rows[1].name, "d");
    EXPECT_TRUE(isDecimal(model.terms[0].value, 1, -1));
    EXPECT_TRUE(isDecimal(model.terms[1].value, 2, -1));
    EXPECT_TRUE(isDecimal(model.rows[0].lower, 3, -1));
    EXPECT_TRUE(isDecimal(model.rows[0].upper, 3, -1));
    EXPECT_TRUE(isDecimal(model.terms[2].value, -1, 0));
    EXPECT_TRUE(isDecimal(model.rows[1].lower, -7, -1));
    EXPECT_EQ(model.rows[1].upper.kind(), Number::Kind::Infinite);
    EXPECT_TRUE(isDecimal(model.columns[1].lower, -15, -1));
    EXPECT_TRUE(isDecimal(model.columns[1].upper, 41, -1));
}

}  // namespace
