#include "engines/model/Number.h"

#include <cmath>
#include <limits>

namespace {

// SCIP's infinity.
constexpr double kInfinity = 1e20;
// Decimal digits an int64 always holds.
constexpr int kMostDigits = 18;
constexpr std::int64_t kPowersOfTen[] = {1,
                                         10,
                                         100,
                                         1000,
                                         10000,
                                         100000,
                                         1000000,
                                         10000000,
                                         100000000,
                                         1000000000,
                                         10000000000,
                                         100000000000,
                                         1000000000000,
                                         10000000000000,
                                         100000000000000,
                                         1000000000000000,
                                         10000000000000000,
                                         100000000000000000,
                                         1000000000000000000};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The exponent of a token, saturated far beyond any double's.
long long exponentOf(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    long long exponent = 0;
    for (const char c : text) {
        if (!isDigit(c))
            return 0;
        exponent = std::min(exponent * 10 + (c - '0'), 1LL << 40);
    }
    return negative ? -exponent : exponent;
}

}  // namespace

Number::Number(double value) : m_value(value)
{
    if (!(std::fabs(value) < kInfinity))
        m_kind = std::isnan(value) ? Kind::Inexact : Kind::Infinite;
    else if (value == std::trunc(value) && std::fabs(value) < 1e18)
        m_digits = static_cast<std::int64_t>(value);
    else
        m_kind = Kind::Binary;
}

Number Number::fromText(std::string_view token, double value)
{
    Number number(value);
    if (number.m_kind == Kind::Infinite || number.m_kind == Kind::Inexact || value == 0.0) {
        if (value == 0.0)
            number = Number(0.0);
        return number;
    }
    bool negative = false;
    if (!token.empty() && (token.front() == '+' || token.front() == '-')) {
        negative = token.front() == '-';
        token.remove_prefix(1);
    }
    // Significant digits, then the power of ten of the last one.
    std::int64_t digits = 0;
    int count = 0;
    long long scale = 0;       // digits dropped as trailing zeros, less those after the point
    long long zerosHeld = 0;   // zeros not yet known to be trailing
    bool afterPoint = false;
    std::size_t at = 0;
    for (; at < token.size(); ++at) {
        const char c = token[at];
        if (c == '.') {
            afterPoint = true;
            continue;
        }
        if (!isDigit(c))
            break;
        if (afterPoint)
            --scale;
        if (c == '0') {
            if (count > 0)
                ++zerosHeld;
            continue;
        }
        // A non-zero digit: the zeros held are digits after all.
        if (count + zerosHeld + 1 > kMostDigits) {
            number.m_kind = Kind::Inexact;
            return number;
        }
        for (; zerosHeld > 0; --zerosHeld, ++count)
            digits *= 10;
        digits = digits * 10 + (c - '0');
        ++count;
    }
    scale += zerosHeld;
    if (at < token.size() && (token[at] == 'e' || token[at] == 'E'))
        scale += exponentOf(token.substr(at + 1));
    if (scale < std::numeric_limits<std::int32_t>::min() || scale > std::numeric_limits<std::int32_t>::max()) {
        number.m_kind = Kind::Inexact;
        return number;
    }
    number.m_kind = Kind::Decimal;
    number.m_digits = negative ? -digits : digits;
    number.m_exponent = static_cast<std::int32_t>(scale);
    return number;
}

Number Number::negated() const
{
    Number number = *this;
    number.m_value = -m_value;
    number.m_digits = -m_digits;
    return number;
}

Number Number::plus(const Number& other) const
{
    Number sum;
    sum.m_value = m_value + other.m_value;
    if (m_kind == Kind::Decimal && m_digits == 0) {
        sum = other;
        sum.m_value = m_value + other.m_value;
        return sum;
    }
    if (other.m_kind == Kind::Decimal && other.m_digits == 0) {
        sum = *this;
        sum.m_value = m_value + other.m_value;
        return sum;
    }
    if (m_kind == Kind::Infinite || other.m_kind == Kind::Infinite || !(std::fabs(sum.m_value) < kInfinity)) {
        sum.m_kind = std::isnan(sum.m_value) ? Kind::Inexact : Kind::Infinite;
        return sum;
    }
    if (m_kind != Kind::Decimal || other.m_kind != Kind::Decimal) {
        sum.m_kind = Kind::Inexact;
        return sum;
    }
    // Both at the smaller power of ten, then added, each step checked for overflow.
    const Number& high = m_exponent >= other.m_exponent ? *this : other;
    const Number& low = m_exponent >= other.m_exponent ? other : *this;
    const long long shift = static_cast<long long>(high.m_exponent) - low.m_exponent;
    std::int64_t scaled = 0;
    std::int64_t digits = 0;
    if (shift > kMostDigits || __builtin_mul_overflow(high.m_digits, kPowersOfTen[shift], &scaled)
        || __builtin_add_overflow(scaled, low.m_digits, &digits)) {
        sum.m_kind = Kind::Inexact;
        return sum;
    }
    std::int32_t exponent = low.m_exponent;
    if (digits == 0)
        exponent = 0;
    while (digits != 0 && digits % 10 == 0) {
        digits /= 10;
        ++exponent;
    }
    sum.m_kind = Kind::Decimal;
    sum.m_digits = digits;
    sum.m_exponent = exponent;
    return sum;
}
