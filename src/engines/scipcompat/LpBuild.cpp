#include "engines/scipcompat/LpBuild.h"

#include <cmath>

namespace {

bool isFinite(double value)
{
    return std::isfinite(value);
}

int typeOf(double lower, double upper)
{
    if (!isFinite(lower))
        return isFinite(upper) ? GLP_UP : GLP_FR;
    if (!isFinite(upper))
        return GLP_LO;
    return lower == upper ? GLP_FX : GLP_DB;
}

}  // namespace

void loadGlpkProblem(const LinearLayout& layout, glp_prob* problem)
{
    glp_set_obj_dir(problem, layout.maximize ? GLP_MAX : GLP_MIN);
    if (layout.contradiction)
        return;  // never solved
    glp_set_obj_coef(problem, 0, layout.objectiveOffset);
    const int columns = static_cast<int>(layout.columnLower.size());
    if (columns > 0)
        glp_add_cols(problem, columns);
    for (int j = 1; j <= columns; ++j) {
        const std::size_t k = static_cast<std::size_t>(j - 1);
        const double lower = layout.columnLower[k];
        const double upper = layout.columnUpper[k];
        glp_set_col_bnds(problem, j, typeOf(lower, upper), isFinite(lower) ? lower : 0.0, isFinite(upper) ? upper : 0.0);
        if (layout.objective[k] != 0.0)
            glp_set_obj_coef(problem, j, layout.objective[k]);
        if (layout.integer[k])
            glp_set_col_kind(problem, j, GLP_IV);
    }
    const int rows = static_cast<int>(layout.rowLower.size());
    if (rows > 0)
        glp_add_rows(problem, rows);
    for (int i = 1; i <= rows; ++i) {
        const std::size_t k = static_cast<std::size_t>(i - 1);
        const double lower = layout.rowLower[k];
        const double upper = layout.rowUpper[k];
        glp_set_row_bnds(problem, i, typeOf(lower, upper), isFinite(lower) ? lower : 0.0, isFinite(upper) ? upper : 0.0);
    }
    const int entries = static_cast<int>(layout.values.size()) - 1;
    if (entries > 0)
        glp_load_matrix(problem, entries, layout.rowIndex.data(), layout.columnIndex.data(), layout.values.data());
    // GLPK's own reader leaves every row and column list in index order. The simplex and the
    // search follow that order, and some models take many times longer without it.
    glp_sort_matrix(problem);
}
