#include "engines/model/LinearLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <string>

#include "engines/model/ImpliedBounds.h"

namespace {

constexpr double kInfinity = 1e20;      // SCIP's infinity
constexpr double kEpsilon = 1e-9;       // SCIP's numerics/epsilon
constexpr double kFeasibility = 1e-6;  // SCIP's numerics/feastol

double lowerOf(double value)
{
    return value <= -kInfinity ? -HUGE_VAL : (value >= kInfinity ? HUGE_VAL : value);
}

double upperOf(double value)
{
    return value >= kInfinity ? HUGE_VAL : (value <= -kInfinity ? -HUGE_VAL : value);
}

bool isFinite(double value)
{
    return std::isfinite(value);
}

double tolerance(double value)
{
    return kFeasibility * std::max(1.0, std::fabs(value));
}

class Planner {
public:
    Planner(const LpModel& model, LinearLayout& layout, LpReadError& error, const RelaxationBounds& relaxation)
        : m_model(model), m_layout(layout), m_error(error), m_implied(layout, relaxation)
    {
    }

    bool run()
    {
        m_layout.maximize = m_model.maximize;
        m_layout.objectiveOffset = m_model.objectiveOffset;
        addModelColumns();
        m_layout.rowIndex.assign(1, 0);
        m_layout.columnIndex.assign(1, 0);
        m_layout.values.assign(1, 0.0);
        m_slot.assign(m_layout.columnLower.size(), -1);
        for (const LpRow& row : m_model.rows)
            addModelRow(row);
        presolve();
        if (m_layout.contradiction)
            return true;  // nothing more to model: the solve reports infeasibility
        for (const LpSemicontinuous& variable : m_model.semicontinuous) {
            if (!addSemicontinuous(variable))
                return false;
        }
        for (const LpSos& set : m_model.sets) {
            if (!addSet(set))
                return false;
        }
        for (const LpIndicator& indicator : m_model.indicators) {
            if (!addIndicator(indicator))
                return false;
        }
        return true;
    }

private:
    struct Entry {
        int column;
        double value;
    };

    void addModelColumns()
    {
        const std::size_t count = m_model.columns.size();
        m_layout.columnLower.resize(count);
        m_layout.columnUpper.resize(count);
        m_layout.objective.resize(count);
        m_layout.integer.resize(count);
        for (std::size_t j = 0; j < count; ++j) {
            const LpColumn& column = m_model.columns[j];
            m_layout.columnLower[j] = lowerOf(column.lower);
            m_layout.columnUpper[j] = upperOf(column.upper);
            m_layout.objective[j] = column.objective;
            m_layout.integer[j] = column.type != VarType::Continuous;
            if (column.lower >= kInfinity || column.upper <= -kInfinity)
                m_layout.contradiction = true;
        }
    }

    int addColumn(double lower, double upper, bool integer)
    {
        m_layout.columnLower.push_back(lower);
        m_layout.columnUpper.push_back(upper);
        m_layout.objective.push_back(0.0);
        m_layout.integer.push_back(integer);
        m_slot.push_back(-1);
        return static_cast<int>(m_layout.columnLower.size()) - 1;
    }

    int addBinary() { return addColumn(0.0, 1.0, true); }

    // Appends a row, adding up the coefficients of a variable named twice. Returns how many
    // entries it kept.
    int addRow(const LpTerm* terms, int count, double lower, double upper)
    {
        const int row = static_cast<int>(m_layout.rowLower.size()) + 1;
        const std::size_t first = m_layout.values.size();
        for (int k = 0; k < count; ++k) {
            const int column = terms[k].column;
            const std::size_t slot = static_cast<std::size_t>(m_slot[static_cast<std::size_t>(column)]);
            if (m_slot[static_cast<std::size_t>(column)] >= 0 && slot >= first && slot < m_layout.values.size()
                && m_layout.columnIndex[slot] == column + 1) {
                m_layout.values[slot] += terms[k].value;
                continue;
            }
            m_slot[static_cast<std::size_t>(column)] = static_cast<int>(m_layout.values.size());
            m_layout.rowIndex.push_back(row);
            m_layout.columnIndex.push_back(column + 1);
            m_layout.values.push_back(terms[k].value);
        }
        // Coefficients that cancel out leave the row, as SCIP merges them.
        std::size_t kept = first;
        for (std::size_t k = first; k < m_layout.values.size(); ++k) {
            if (std::fabs(m_layout.values[k]) <= kEpsilon)
                continue;
            m_layout.rowIndex[kept] = m_layout.rowIndex[k];
            m_layout.columnIndex[kept] = m_layout.columnIndex[k];
            m_layout.values[kept] = m_layout.values[k];
            ++kept;
        }
        m_layout.rowIndex.resize(kept);
        m_layout.columnIndex.resize(kept);
        m_layout.values.resize(kept);
        m_rowStart.push_back(first);
        m_layout.rowLower.push_back(lower);
        m_layout.rowUpper.push_back(upper);
        return static_cast<int>(kept - first);
    }

    void addModelRow(const LpRow& row)
    {
        if (row.lower >= kInfinity || row.upper <= -kInfinity)
            m_layout.contradiction = true;
        addRow(m_model.terms.data() + row.first, row.count, lowerOf(row.lower), upperOf(row.upper));
    }

    std::size_t rowEnd(std::size_t i) const
    {
        return i + 1 < m_rowStart.size() ? m_rowStart[i + 1] : m_layout.values.size();
    }

    // SCIP rounds the bounds of integer variables with its feasibility tolerance.
    void roundBounds(std::size_t j)
    {
        if (!m_layout.integer[j])
            return;
        double& lower = m_layout.columnLower[j];
        double& upper = m_layout.columnUpper[j];
        if (isFinite(lower))
            lower = std::ceil(lower - kFeasibility) + 0.0;  // no -0
        if (isFinite(upper))
            upper = std::floor(upper + kFeasibility) + 0.0;
    }

    void tightenLower(std::size_t j, double bound)
    {
        double& lower = m_layout.columnLower[j];
        if (bound > lower + tolerance(bound) * 1e-3)
            lower = bound;
    }

    void tightenUpper(std::size_t j, double bound)
    {
        double& upper = m_layout.columnUpper[j];
        if (bound < upper - tolerance(bound) * 1e-3)
            upper = bound;
    }

    void presolve()
    {
        const std::size_t columns = m_layout.columnLower.size();
        for (std::size_t j = 0; j < columns; ++j)
            roundBounds(j);
        const std::size_t rows = m_layout.rowLower.size();
        for (std::size_t i = 0; i < rows; ++i) {
            const std::size_t first = m_rowStart[i];
            const std::size_t count = rowEnd(i) - first;
            const double lower = m_layout.rowLower[i];
            const double upper = m_layout.rowUpper[i];
            if (count == 0) {
                if (lower > tolerance(lower) || upper < -tolerance(upper))
                    m_layout.contradiction = true;
            } else if (count == 1) {
                const std::size_t j = static_cast<std::size_t>(m_layout.columnIndex[first] - 1);
                const double a = m_layout.values[first];
                const double low = a > 0 ? lower / a : upper / a;
                const double high = a > 0 ? upper / a : lower / a;
                if (isFinite(low))
                    tightenLower(j, low);
                if (isFinite(high))
                    tightenUpper(j, high);
                roundBounds(j);
            }
        }
        for (std::size_t j = 0; j < columns; ++j) {
            const double lower = m_layout.columnLower[j];
            const double upper = m_layout.columnUpper[j];
            if (lower > upper) {
                if (!m_layout.integer[j] && lower - upper <= tolerance(upper))
                    m_layout.columnUpper[j] = lower;  // a rounding error of the division
                else
                    m_layout.contradiction = true;
            }
        }
        for (std::size_t i = 0; i < rows && !m_layout.contradiction; ++i) {
            if (m_layout.rowLower[i] == m_layout.rowUpper[i] && !divisible(i))
                m_layout.contradiction = true;
        }
    }

    // An equation over integer variables with integral coefficients (after scaling by a power
    // of ten) has integer solutions only if the coefficients' greatest common divisor divides
    // its right-hand side. Fixed variables move to the right-hand side.
    bool divisible(std::size_t i) const
    {
        double rhs = m_layout.rowUpper[i];
        std::vector<double> coefficients;
        for (std::size_t k = m_rowStart[i]; k < rowEnd(i); ++k) {
            const std::size_t j = static_cast<std::size_t>(m_layout.columnIndex[k] - 1);
            const double lower = m_layout.columnLower[j];
            if (lower == m_layout.columnUpper[j]) {
                rhs -= m_layout.values[k] * lower;
                continue;
            }
            if (!m_layout.integer[j])
                return true;
            coefficients.push_back(m_layout.values[k]);
        }
        if (coefficients.empty())
            return std::fabs(rhs) <= tolerance(rhs);
        for (double scale = 1.0; scale <= 1e6; scale *= 10.0) {
            std::int64_t divisor = 0;
            bool integral = true;
            for (const double value : coefficients) {
                const double scaled = std::fabs(value * scale);
                if (scaled > 1e15 || std::fabs(scaled - std::round(scaled)) > kEpsilon * scale) {
                    integral = false;
                    break;
                }
                divisor = std::gcd(divisor, static_cast<std::int64_t>(std::llround(scaled)));
            }
            if (!integral)
                continue;
            const double side = rhs * scale;
            if (std::fabs(side) > 1e15)
                return true;
            const double nearest = std::round(side);
            if (std::fabs(side - nearest) > tolerance(side))
                return false;
            return static_cast<std::int64_t>(nearest) % divisor == 0;
        }
        return true;
    }

    // The column's bounds, with those its rows imply where its own are infinite.
    void boundsOf(std::size_t j, double& lower, double& upper)
    {
        lower = m_layout.columnLower[j];
        upper = m_layout.columnUpper[j];
        if ((!isFinite(lower) || !isFinite(upper)) && !m_layout.relaxationFailed && !m_implied.tighten(j, lower, upper))
            m_layout.relaxationFailed = true;
    }

    bool refuse(int line, const std::string& message)
    {
        m_error.line = line;
        m_error.message = message;
        return false;
    }

    std::string nameOf(int column) const { return std::string(m_model.columns[static_cast<std::size_t>(column)].name); }

    // x = 0 or threshold <= x <= upper, with a binary z: x <= upper z, x >= threshold z
    // (lower bound: x - (threshold - lower) z >= lower).
    bool addSemicontinuous(const LpSemicontinuous& variable)
    {
        double lower = 0.0;
        double upper = 0.0;
        boundsOf(static_cast<std::size_t>(variable.column), lower, upper);
        if (!isFinite(upper) || !isFinite(lower))
            return refuse(variable.line, "semi-continuous variable <" + nameOf(variable.column)
                                             + "> has no finite bounds; the engine models it with a binary variable, which needs them.");
        const int z = addBinary();
        const LpTerm upperTerms[2] = {{variable.column, 1.0}, {z, -upper}};
        addRow(upperTerms, 2, -HUGE_VAL, 0.0);
        const LpTerm lowerTerms[2] = {{variable.column, 1.0}, {z, -(variable.threshold.value() - lower)}};
        addRow(lowerTerms, 2, lower, HUGE_VAL);
        return true;
    }

    // x may be nonzero only when `switches` sum to one: x <= upper * sum, x >= lower * sum.
    bool linkToSwitches(const LpTerm& member, const int* switches, int count, int line)
    {
        double lower = 0.0;
        double upper = 0.0;
        boundsOf(static_cast<std::size_t>(member.column), lower, upper);
        if ((upper > 0 && !isFinite(upper)) || (lower < 0 && !isFinite(lower)))
            return refuse(line, "SOS constraint over variable <" + nameOf(member.column)
                                    + "> without finite bounds; the engine models sets with binary variables, which need them.");
        LpTerm terms[3] = {{member.column, 1.0}, {0, 0.0}, {0, 0.0}};
        if (upper > 0) {
            for (int k = 0; k < count; ++k)
                terms[k + 1] = {switches[k], -upper};
            addRow(terms, count + 1, -HUGE_VAL, 0.0);
        }
        if (lower < 0) {
            for (int k = 0; k < count; ++k)
                terms[k + 1] = {switches[k], -lower};
            addRow(terms, count + 1, 0.0, HUGE_VAL);
        }
        return true;
    }

    // SOS1: one binary per member, at most one on. SOS2: one binary per pair of neighbours
    // in the order of the weights, at most one on; a member may be nonzero when a pair it
    // belongs to is on.
    bool addSet(const LpSos& set)
    {
        std::vector<LpTerm> members = set.members;
        const int count = static_cast<int>(members.size());
        if (count <= set.type)
            return true;  // nothing to restrict
        std::vector<LpTerm> cardinality;
        if (set.type == 1) {
            for (const LpTerm& member : members) {
                const int z = addBinary();
                if (!linkToSwitches(member, &z, 1, set.line))
                    return false;
                cardinality.push_back({z, 1.0});
            }
        } else {
            std::stable_sort(members.begin(), members.end(),
                             [](const LpTerm& a, const LpTerm& b) { return a.value < b.value; });
            std::vector<int> pairs;
            for (int k = 0; k + 1 < count; ++k) {
                pairs.push_back(addBinary());
                cardinality.push_back({pairs.back(), 1.0});
            }
            for (int k = 0; k < count; ++k) {
                int switches[2];
                int used = 0;
                if (k > 0)
                    switches[used++] = pairs[static_cast<std::size_t>(k - 1)];
                if (k + 1 < count)
                    switches[used++] = pairs[static_cast<std::size_t>(k)];
                if (!linkToSwitches(members[static_cast<std::size_t>(k)], switches, used, set.line))
                    return false;
            }
        }
        addRow(cardinality.data(), static_cast<int>(cardinality.size()), -HUGE_VAL, 1.0);
        return true;
    }

    // a x <= rhs when the binary has its active value, by a big-M from the bounds: M is the
    // row's largest activity minus rhs.
    bool addIndicator(const LpIndicator& indicator)
    {
        const std::size_t b = static_cast<std::size_t>(indicator.binary);
        m_layout.integer[b] = true;
        m_layout.columnLower[b] = std::max(m_layout.columnLower[b], 0.0);
        m_layout.columnUpper[b] = std::min(m_layout.columnUpper[b], 1.0);
        std::vector<LpTerm> terms(m_model.terms.begin() + indicator.first,
                                  m_model.terms.begin() + indicator.first + indicator.count);
        double largest = 0.0;
        for (const LpTerm& term : terms) {
            double lower = 0.0;
            double upper = 0.0;
            boundsOf(static_cast<std::size_t>(term.column), lower, upper);
            const double bound = term.value > 0 ? upper : lower;
            if (!isFinite(bound))
                return refuse(indicator.line, "indicator constraint over variable <" + nameOf(term.column)
                                                  + "> without a finite bound; the engine's big-M formulation needs it.");
            largest += term.value.value() * bound;
        }
        const double bigM = largest - indicator.rhs.value();
        if (bigM <= 0.0)
            return true;  // the row holds whatever the binary is
        if (indicator.activeOnOne) {
            terms.push_back({indicator.binary, bigM});
            addRow(terms.data(), static_cast<int>(terms.size()), -HUGE_VAL, indicator.rhs.value() + bigM);
        } else {
            terms.push_back({indicator.binary, -bigM});
            addRow(terms.data(), static_cast<int>(terms.size()), -HUGE_VAL, indicator.rhs);
        }
        return true;
    }

    const LpModel& m_model;
    LinearLayout& m_layout;
    LpReadError& m_error;
    ImpliedBounds m_implied;
    std::vector<int> m_slot;                // per column: its entry in the row being added
    std::vector<std::size_t> m_rowStart;   // per row: its first entry
};

}  // namespace

bool planLinearLayout(const LpModel& model, LinearLayout& layout, LpReadError& error,
                      const RelaxationBounds& relaxation)
{
    Planner planner(model, layout, error, relaxation);
    return planner.run();
}

