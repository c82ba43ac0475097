#include "engines/model/ImpliedBounds.h"

#include <algorithm>
#include <cmath>


namespace {

constexpr double kInfinity = 1e20;  // SCIP's: a bound this large is none
constexpr int kRounds = 20;
constexpr double kCoefficient = 1e-9;  // smaller coefficients bound nothing worth having

// A derived bound against the rounding of the arithmetic behind it: an integer where it is
// one but for rounding, else loosened a little. A big-M from a loosened bound lets a binary
// sit that much below one, so the loosening is kept to SCIP's epsilon.
double looser(double bound, double direction)
{
    const double scale = std::max(1.0, std::fabs(bound));
    const double nearest = std::round(bound);
    if (std::fabs(bound - nearest) <= 1e-9 * scale)
        return nearest;
    return bound + direction * 1e-9 * scale;
}

// The smallest (or largest) value of a x over the column's bounds: finite part and the
// number of infinite contributions.
struct Activity {
    double finite = 0.0;
    int infinite = 0;

    void add(double value)
    {
        if (std::isfinite(value))
            finite += value;
        else
            ++infinite;
    }

    // The activity of the row's other columns, when finite.
    bool without(double own, double& rest) const
    {
        if (std::isfinite(own) ? infinite > 0 : infinite > 1)
            return false;
        rest = std::isfinite(own) ? finite - own : finite;
        return true;
    }
};

double contribution(double a, double bound)
{
    return std::isfinite(bound) ? a * bound : (a > 0) == (bound > 0) ? HUGE_VAL : -HUGE_VAL;
}

}  // namespace

bool ImpliedBounds::tighten(std::size_t column, double& lower, double& upper)
{
    if (m_lower.empty())
        propagate();
    if (column < m_lower.size()) {
        lower = std::max(lower, m_lower[column]);
        upper = std::min(upper, m_upper[column]);
    }
    if (std::isfinite(lower) && std::isfinite(upper))
        return true;
    return relax(column, lower, upper);
}

void ImpliedBounds::propagate()
{
    m_lower = m_layout.columnLower;
    m_upper = m_layout.columnUpper;
    const std::size_t entries = m_layout.values.size();
    for (int round = 0; round < kRounds; ++round) {
        bool changed = false;
        // Entries from 1 on, row by row.
        for (std::size_t first = 1; first < entries;) {
            const int row = m_layout.rowIndex[first];
            std::size_t end = first;
            Activity least, most;
            for (; end < entries && m_layout.rowIndex[end] == row; ++end) {
                const std::size_t j = static_cast<std::size_t>(m_layout.columnIndex[end] - 1);
                const double a = m_layout.values[end];
                least.add(contribution(a, a > 0 ? m_lower[j] : m_upper[j]));
                most.add(contribution(a, a > 0 ? m_upper[j] : m_lower[j]));
            }
            const double rowLower = m_layout.rowLower[static_cast<std::size_t>(row - 1)];
            const double rowUpper = m_layout.rowUpper[static_cast<std::size_t>(row - 1)];
            for (std::size_t k = first; k < end; ++k) {
                const std::size_t j = static_cast<std::size_t>(m_layout.columnIndex[k] - 1);
                const double a = m_layout.values[k];
                if (std::fabs(a) < kCoefficient)
                    continue;
                double rest = 0.0;
                // a x <= rowUpper - (least of the others), a x >= rowLower - (most of the others)
                double bounds[2] = {HUGE_VAL, -HUGE_VAL};  // on a x: above, below
                if (std::isfinite(rowUpper) && least.without(contribution(a, a > 0 ? m_lower[j] : m_upper[j]), rest))
                    bounds[0] = rowUpper - rest;
                if (std::isfinite(rowLower) && most.without(contribution(a, a > 0 ? m_upper[j] : m_lower[j]), rest))
                    bounds[1] = rowLower - rest;
                const double high = a > 0 ? bounds[0] / a : bounds[1] / a;
                const double low = a > 0 ? bounds[1] / a : bounds[0] / a;
                if (std::fabs(high) < kInfinity && high < m_upper[j] - 1e-6 * std::max(1.0, std::fabs(high))) {
                    m_upper[j] = high;
                    changed = true;
                }
                if (std::fabs(low) < kInfinity && low > m_lower[j] + 1e-6 * std::max(1.0, std::fabs(low))) {
                    m_lower[j] = low;
                    changed = true;
                }
            }
            first = end;
        }
        if (!changed)
            break;
    }
    for (std::size_t j = 0; j < m_lower.size(); ++j) {
        if (std::isfinite(m_lower[j]) && m_lower[j] != m_layout.columnLower[j])
            m_lower[j] = looser(m_lower[j], -1.0);
        if (std::isfinite(m_upper[j]) && m_upper[j] != m_layout.columnUpper[j])
            m_upper[j] = looser(m_upper[j], 1.0);
    }
}

bool ImpliedBounds::relax(std::size_t column, double& lower, double& upper)
{
    if (!m_relaxation)
        return true;
    double least = -HUGE_VAL;
    double most = HUGE_VAL;
    if (!m_relaxation(m_layout, column, least, most))
        return false;
    if (std::fabs(least) < kInfinity)
        lower = std::max(lower, looser(least, -1.0));
    if (std::fabs(most) < kInfinity)
        upper = std::min(upper, looser(most, 1.0));
    return true;
}
