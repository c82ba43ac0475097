#include "backends/scipcompat/Bounds.h"

#include <cfloat>
#include <cmath>

#include "backends/scipcompat/Instance.h"

namespace {

// SCIP's feasibility tolerance, used when it rounds an integer variable's bounds.
constexpr double kFeasibilityTolerance = 1e-6;

struct Range {
    double lower;  // -DBL_MAX: none
    double upper;  // +DBL_MAX: none
};

Range readRange(int type, double lower, double upper)
{
    switch (type) {
    case GLP_FR:
        return {-DBL_MAX, DBL_MAX};
    case GLP_LO:
        return {lower, DBL_MAX};
    case GLP_UP:
        return {-DBL_MAX, upper};
    default:  // GLP_DB, GLP_FX
        return {lower, upper};
    }
}

Range widenToInfinity(Range range)
{
    if (range.lower <= -kScipInfinity)
        range.lower = -DBL_MAX;
    if (range.upper >= kScipInfinity)
        range.upper = DBL_MAX;
    return range;
}

Range roundToIntegers(Range range)
{
    if (range.lower != -DBL_MAX)
        range.lower = std::ceil(range.lower - kFeasibilityTolerance);
    if (range.upper != DBL_MAX)
        range.upper = std::floor(range.upper + kFeasibilityTolerance);
    return range;
}

int typeOf(Range range)
{
    if (range.lower == -DBL_MAX)
        return range.upper == DBL_MAX ? GLP_FR : GLP_UP;
    if (range.upper == DBL_MAX)
        return GLP_LO;
    return range.lower == range.upper ? GLP_FX : GLP_DB;
}

bool admitsValue(Range range)
{
    return range.lower <= range.upper;
}

}  // namespace

bool normalizeBounds(glp_prob* problem)
{
    bool feasible = true;
    const int rows = glp_get_num_rows(problem);
    for (int i = 1; i <= rows; ++i) {
        const int type = glp_get_row_type(problem, i);
        const double lower = glp_get_row_lb(problem, i);
        const double upper = glp_get_row_ub(problem, i);
        const Range range = widenToInfinity(readRange(type, lower, upper));
        feasible = feasible && admitsValue(range);
        const int newType = typeOf(range);
        if (newType != type && admitsValue(range))
            glp_set_row_bnds(problem, i, newType, range.lower, range.upper);
    }
    const int columns = glp_get_num_cols(problem);
    for (int j = 1; j <= columns; ++j) {
        const int type = glp_get_col_type(problem, j);
        const double lower = glp_get_col_lb(problem, j);
        const double upper = glp_get_col_ub(problem, j);
        Range range = widenToInfinity(readRange(type, lower, upper));
        if (glp_get_col_kind(problem, j) != GLP_CV)  // GLP_BV for bounds 0 and 1
            range = roundToIntegers(range);
        feasible = feasible && admitsValue(range);
        const int newType = typeOf(range);
        const Range old = readRange(type, lower, upper);
        const bool changed = newType != type || range.lower != old.lower || range.upper != old.upper;
        if (changed && admitsValue(range))
            glp_set_col_bnds(problem, j, newType, range.lower, range.upper);
    }
    return feasible;
}
