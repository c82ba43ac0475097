#include "engines/scipcompat/LpBuild.h"

#include <cmath>

#include "engines/glpk/GlpkGuard.h"
#include "engines/scipcompat/GlpkOutput.h"

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

namespace {

// Plain data for the guarded relaxation.
struct Relaxation {
    const LinearLayout* layout = nullptr;
    GlpkOutput output;
    int column = 0;
    double lower = -HUGE_VAL;
    double upper = HUGE_VAL;
};

double extremeOf(glp_prob* problem, int direction)
{
    glp_smcp parameters;
    glp_init_smcp(&parameters);
    parameters.msg_lev = GLP_MSG_OFF;
    glp_set_obj_dir(problem, direction);
    if (glp_simplex(problem, &parameters) != 0 || glp_get_status(problem) != GLP_OPT)
        return direction == GLP_MIN ? -HUGE_VAL : HUGE_VAL;
    return glp_get_obj_val(problem);
}

void solveRelaxation(Relaxation& job)
{
    startGlpkOutput(job.output, false);
    glp_prob* problem = glp_create_prob();
    loadGlpkProblem(*job.layout, problem);
    for (int j = 0; j <= glp_get_num_cols(problem); ++j)
        glp_set_obj_coef(problem, j, j == job.column ? 1.0 : 0.0);
    glp_scale_prob(problem, GLP_SF_AUTO);
    job.lower = extremeOf(problem, GLP_MIN);
    job.upper = extremeOf(problem, GLP_MAX);
    glp_delete_prob(problem);
    stopGlpkOutput(job.output);
}

}  // namespace

bool glpkRelaxationBounds(const LinearLayout& layout, std::size_t column, double& lower, double& upper)
{
    Relaxation job;
    job.layout = &layout;
    job.column = static_cast<int>(column) + 1;
    auto body = [&job] { solveRelaxation(job); };
    if (!runGlpkGuarded(body))
        return false;
    lower = job.lower;
    upper = job.upper;
    return true;
}
