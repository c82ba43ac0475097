#include "engines/model/SolutionCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <unordered_map>

#include <gmpxx.h>

namespace {

// Twice the unit roundoff: each error bound below takes one step of this per rounding, and
// so holds with room to spare for the rounding of the bound itself.
constexpr double kUnit = 0x1p-52;
// What an underflowing product may lose.
constexpr double kTiny = std::numeric_limits<double>::denorm_min();

bool isInfinite(const Number& number)
{
    return number.kind() == Number::Kind::Infinite;
}

mpq_class exactDouble(double value)
{
    return mpq_class(value);  // mpq_set_d: a finite double is a dyadic rational, taken exactly
}

// The number the file wrote. A text of more than 18 digits kept only its double, which is
// then the value checked.
mpq_class exactValue(const Number& number)
{
    if (number.kind() != Number::Kind::Decimal)
        return exactDouble(number.value());
    mpz_class digits;
    mpz_set_si(digits.get_mpz_t(), static_cast<long>(number.digits()));
    if (number.exponent() == 0)
        return mpq_class(digits);
    mpz_class power;
    mpz_ui_pow_ui(power.get_mpz_t(), 10, static_cast<unsigned long>(std::abs(number.exponent())));
    if (number.exponent() > 0)
        return mpq_class(digits * power);
    mpq_class value(digits, power);
    value.canonicalize();
    return value;
}

// mpq's own conversion truncates; the neighbour away from zero may be nearer.
double nearestDouble(const mpq_class& value)
{
    const double toward = value.get_d();
    if (sgn(value) == 0 || !std::isfinite(toward))
        return toward;
    const double away = std::nextafter(toward, sgn(value) > 0 ? HUGE_VAL : -HUGE_VAL);
    if (!std::isfinite(away))
        return toward;
    const mpq_class towardGap = abs(value - exactDouble(toward));
    const mpq_class awayGap = abs(exactDouble(away) - value);
    return awayGap < towardGap ? away : toward;
}

// A sum in floating point with a bound on its distance from the exact sum of the file's
// coefficients times the values.
struct Sum {
    double value = 0;
    double error = 0;
};

Sum termSum(const LpModel& model, int first, int count, std::span<const double> values)
{
    double sum = 0;
    double magnitude = 0;
    for (int k = first; k < first + count; ++k) {
        const LpTerm& term = model.terms[static_cast<std::size_t>(k)];
        const double product = term.value.value() * values[static_cast<std::size_t>(term.column)];
        sum += product;
        magnitude += std::fabs(product);
    }
    // Each coefficient's double is within a unit roundoff of its text, each product and each
    // addition rounds once.
    const double n = static_cast<double>(count);
    return {sum, (n + 2) * kUnit * magnitude + 2 * n * kTiny};
}

mpq_class exactTermSum(const LpModel& model, int first, int count, std::span<const double> values)
{
    mpq_class sum;
    for (int k = first; k < first + count; ++k) {
        const LpTerm& term = model.terms[static_cast<std::size_t>(k)];
        const double value = values[static_cast<std::size_t>(term.column)];
        if (value != 0)
            sum += exactValue(term.value) * exactDouble(value);
    }
    return sum;
}

// How far an activity goes past one side of its constraint (activity - upper, or lower -
// activity) and whether that is more than the tolerance allows.
struct Excess {
    double amount = 0;
    bool violated = false;
};

// `exact` gives the activity exactly; it is called only when the error bound cannot decide.
template <typename ExactActivity>
Excess excess(const Sum& activity, const Number& side, bool upper, double tolerance, ExactActivity exact)
{
    const double bound = side.value();
    // The allowance is itself a double: the exact question is whether the excess passes it.
    const double allowed = tolerance * std::max(1.0, std::fabs(bound));
    const double amount = upper ? activity.value - bound : bound - activity.value;
    const double error = activity.error + kUnit * (std::fabs(bound) + std::fabs(amount));
    if (std::isfinite(amount) && std::isfinite(error)) {
        if (amount - error > allowed)
            return {amount, true};
        if (amount + error <= allowed)
            return {amount, false};
    }
    const mpq_class value = exact();
    const mpq_class over = upper ? mpq_class(value - exactValue(side)) : mpq_class(exactValue(side) - value);
    return {nearestDouble(over), over > exactDouble(allowed)};
}

class Checker {
public:
    Checker(const LpModel& model, std::span<const double> values, const CheckTolerances& tolerances)
        : m_model(model), m_values(values), m_tolerances(tolerances)
    {
    }

    SolutionVerdict run()
    {
        if (!finiteValues())
            return m_verdict;
        checkColumns();
        checkRows();
        checkIndicators();
        checkSets();
        checkSemicontinuous();
        m_verdict.maxViolation = m_verdict.feasible ? m_largestWithin : m_worst;
        m_verdict.objective = objective();
        return m_verdict;
    }

private:
    double value(int column) const { return m_values[static_cast<std::size_t>(column)]; }

    template <typename Name>
    void note(const Excess& excess, Name name)
    {
        if (excess.violated) {
            if (m_verdict.feasible || excess.amount > m_worst) {
                m_verdict.feasible = false;
                m_worst = excess.amount;
                m_verdict.violated = std::string(name());
            }
        } else if (excess.amount > m_largestWithin) {
            m_largestWithin = excess.amount;
        }
    }

    // A value that is no number satisfies nothing.
    bool finiteValues()
    {
        for (std::size_t j = 0; j < m_values.size(); ++j) {
            if (!std::isfinite(m_values[j])) {
                m_verdict.feasible = false;
                m_verdict.maxViolation = std::numeric_limits<double>::infinity();
                m_verdict.violated = std::string(m_model.columns[j].name);
                m_verdict.objective = std::numeric_limits<double>::quiet_NaN();
                return false;
            }
        }
        return true;
    }

    Excess boundExcess(double x, const Number& bound, bool upper) const
    {
        return excess(Sum{x, 0}, bound, upper, m_tolerances.feasibility, [x] { return exactDouble(x); });
    }

    void checkColumns()
    {
        for (std::size_t j = 0; j < m_model.columns.size(); ++j) {
            const LpColumn& column = m_model.columns[j];
            const double x = m_values[j];
            const auto name = [&column] { return column.name; };
            if (!isInfinite(column.lower))
                note(boundExcess(x, column.lower, false), name);
            if (!isInfinite(column.upper))
                note(boundExcess(x, column.upper, true), name);
            if (column.type != VarType::Continuous) {
                // Exact in floating point: a double's distance to its nearest integer is a double.
                const double distance = std::fabs(x - std::nearbyint(x));
                note(Excess{distance, distance > m_tolerances.integrality}, name);
            }
        }
    }

    // One linear constraint over terms [first, first + count) between two sides.
    template <typename Name>
    void checkLinear(int first, int count, const Number& lower, const Number& upper, Name name)
    {
        const Sum activity = termSum(m_model, first, count, m_values);
        const auto exact = [&] { return exactTermSum(m_model, first, count, m_values); };
        if (!isInfinite(lower))
            note(excess(activity, lower, false, m_tolerances.feasibility, exact), name);
        if (!isInfinite(upper))
            note(excess(activity, upper, true, m_tolerances.feasibility, exact), name);
    }

    void checkRows()
    {
        for (std::size_t i = 0; i < m_model.rows.size(); ++i) {
            const LpRow& row = m_model.rows[i];
            checkLinear(row.first, row.count, row.lower, row.upper, [&row, i] {
                return row.name.empty() ? "R" + std::to_string(i + 1) : std::string(row.name);
            });
        }
    }

    // "b = 1 -> row" binds unless b is at its other value, within the integrality tolerance
    // (a b far from both is refused by its integrality anyway).
    void checkIndicators()
    {
        for (std::size_t k = 0; k < m_model.indicators.size(); ++k) {
            const LpIndicator& indicator = m_model.indicators[k];
            const double inactive = indicator.activeOnOne ? 0.0 : 1.0;
            if (std::fabs(value(indicator.binary) - inactive) <= m_tolerances.integrality)
                continue;
            checkLinear(indicator.first, indicator.count, Number(-1e20), indicator.rhs, [&indicator, k] {
                return indicator.name.empty() ? "indicator" + std::to_string(k + 1) : std::string(indicator.name);
            });
        }
    }

    // SOS1: at most one member non-zero; SOS2: at most two, neighbours in the order of their
    // weights. The excess is the largest member that would have to be zero.
    void checkSets()
    {
        int unnamed = 0;
        for (const LpSos& set : m_model.sets) {
            unnamed += set.name.empty();
            std::vector<LpTerm> members = set.members;
            std::stable_sort(members.begin(), members.end(),
                             [](const LpTerm& a, const LpTerm& b) { return a.value.value() < b.value.value(); });
            std::vector<double> sizes(members.size());
            for (std::size_t i = 0; i < members.size(); ++i)
                sizes[i] = std::fabs(value(members[i].column));
            const double over = set.type == 1 ? secondLargest(sizes) : outsideBestPair(sizes);
            note(Excess{over, over > m_tolerances.feasibility}, [&set, unnamed] {
                return set.name.empty() ? "SOS" + std::to_string(unnamed) : std::string(set.name);
            });
        }
    }

    static double secondLargest(const std::vector<double>& sizes)
    {
        double first = 0;
        double second = 0;
        for (const double size : sizes) {
            if (size > first) {
                second = first;
                first = size;
            } else if (size > second) {
                second = size;
            }
        }
        return second;
    }

    // The smallest, over pairs of neighbours, of the largest member outside the pair.
    static double outsideBestPair(const std::vector<double>& sizes)
    {
        const std::size_t n = sizes.size();
        if (n <= 2)
            return 0;
        std::vector<double> before(n + 1, 0.0);  // before[i]: largest of sizes[0, i)
        std::vector<double> after(n + 1, 0.0);   // after[i]: largest of sizes[i, n)
        for (std::size_t i = 0; i < n; ++i)
            before[i + 1] = std::max(before[i], sizes[i]);
        for (std::size_t i = n; i > 0; --i)
            after[i - 1] = std::max(after[i], sizes[i - 1]);
        double best = std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i + 1 < n; ++i)
            best = std::min(best, std::max(before[i], after[i + 2]));
        return best;
    }

    // x = 0 or x >= threshold (the column's bounds hold the rest).
    void checkSemicontinuous()
    {
        for (const LpSemicontinuous& variable : m_model.semicontinuous) {
            const double x = value(variable.column);
            const Excess offZero = boundExcess(x, Number(0.0), true);
            const Excess belowThreshold = boundExcess(x, variable.threshold, false);
            const Excess nearest{std::min(std::max(offZero.amount, 0.0), std::max(belowThreshold.amount, 0.0)),
                                 offZero.violated && belowThreshold.violated};
            note(nearest, [&] { return m_model.columns[static_cast<std::size_t>(variable.column)].name; });
        }
    }

    double objective() const
    {
        mpq_class total;
        if (!isInfinite(m_model.objectiveOffset))
            total = exactValue(m_model.objectiveOffset);
        for (std::size_t j = 0; j < m_model.columns.size(); ++j) {
            const Number& cost = m_model.columns[j].objective;
            if (m_values[j] != 0 && cost.value() != 0 && !isInfinite(cost))
                total += exactValue(cost) * exactDouble(m_values[j]);
        }
        return nearestDouble(total);
    }

    const LpModel& m_model;
    std::span<const double> m_values;
    const CheckTolerances& m_tolerances;
    SolutionVerdict m_verdict;
    double m_worst = 0;
    double m_largestWithin = 0;
};

}  // namespace

SolutionVerdict checkSolution(const LpModel& model, std::span<const double> values, const CheckTolerances& tolerances)
{
    if (values.size() != model.columns.size())
        throw std::invalid_argument("checkSolution: one value per column");
    return Checker(model, values, tolerances).run();
}

bool valuesByColumn(const LpModel& model, std::span<const std::string> names, std::span<const double> values,
                    std::vector<double>& columnValues, std::string& missing)
{
    const std::size_t columns = model.columns.size();
    columnValues.assign(columns, 0.0);
    // Solvers that read the file themselves keep its order: then no name needs looking up.
    bool sameOrder = names.size() >= columns && values.size() >= names.size();
    for (std::size_t j = 0; j < columns && sameOrder; ++j)
        sameOrder = names[j] == model.columns[j].name;
    if (sameOrder) {
        std::copy(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(columns), columnValues.begin());
        return true;
    }
    std::unordered_map<std::string_view, std::size_t> byName;
    byName.reserve(columns);
    for (std::size_t j = 0; j < columns; ++j)
        byName.emplace(model.columns[j].name, j);
    std::vector<char> given(columns, 0);
    for (std::size_t i = 0; i < names.size() && i < values.size(); ++i) {
        const auto found = byName.find(names[i]);
        if (found == byName.end())
            continue;
        columnValues[found->second] = values[i];
        given[found->second] = 1;
    }
    for (std::size_t j = 0; j < columns; ++j) {
        if (!given[j]) {
            missing = std::string(model.columns[j].name);
            return false;
        }
    }
    return true;
}
