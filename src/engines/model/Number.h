#pragma once

#include <cstdint>
#include <string_view>

// A number of a model as its file writes it. Solvers get the double that the file's text
// reads as, the same double SCIP's readers make of it; beside it the number keeps its exact
// value, so that what is checked against the model is what the file says: "0.1" is one
// tenth, not the double nearest to it.
//
// The exact value is a decimal (digits and a power of ten) for every text of up to 18
// significant digits and for sums of such, the double's own value for a number the program
// made (0, 1), and infinite at SCIP's infinity. A sum that outgrows 18 digits, or a text
// with more, keeps only its double and is marked inexact.
class Number {
public:
    enum class Kind : std::uint8_t {
        Decimal,    // digits() * 10^exponent() exactly
        Binary,     // the double exactly
        Infinite,   // at or beyond SCIP's infinity, the sign of the double
        Inexact,    // only the double is known
    };

    Number() = default;
    // A number the program made: exact as the double it is.
    Number(double value);  // NOLINT(google-explicit-constructor): the engine builds rows of doubles
    operator double() const { return m_value; }  // NOLINT(google-explicit-constructor)

    // The number a file's token names, read as SCIP reads it: the double from_chars gives
    // ("1e400" is an infinity, "1e-400" a zero), and its exact decimal value. The token must
    // be a number already (from_chars took it whole).
    static Number fromText(std::string_view token, double value);

    double value() const { return m_value; }
    Kind kind() const { return m_kind; }
    std::int64_t digits() const { return m_digits; }
    std::int32_t exponent() const { return m_exponent; }

    Number negated() const;
    // sign is +1 or -1.
    Number withSign(int sign) const { return sign < 0 ? negated() : *this; }
    // The sum, in double as SCIP adds, and exactly beside it where both are exact.
    Number plus(const Number& other) const;

    // Arithmetic through the doubles would drop the exact value without a word: it is
    // spelled out above, or done on value().
    Number operator-() const = delete;
    friend Number operator+(const Number&, const Number&) = delete;
    friend Number operator-(const Number&, const Number&) = delete;
    friend Number operator*(const Number&, const Number&) = delete;
    friend Number operator/(const Number&, const Number&) = delete;

private:
    double m_value = 0.0;
    std::int64_t m_digits = 0;
    std::int32_t m_exponent = 0;
    Kind m_kind = Kind::Decimal;
};
