#include <scip/scip.h>

#include "engines/scipcompat/Instance.h"
#include "engines/scipcompat/Messages.h"
#include "engines/scipcompat/Variables.h"

namespace {

// What a solve leaves: branch and bound's incumbent when the problem has integer columns
// (the solve took that way), the simplex's point otherwise. GLPK counts the integer columns
// one by one: once for all the values asked for together.
double columnValue(glp_prob* problem, bool integers, int column)
{
    return integers ? glp_mip_col_val(problem, column) : glp_get_col_prim(problem, column);
}

}  // namespace

void rememberVariables(OriginalVariables& variables, const LpModel& model)
{
    forgetVariables(variables);
    variables.variables.resize(model.columns.size());
    variables.handles.resize(model.columns.size());
    for (std::size_t j = 0; j < model.columns.size(); ++j) {
        variables.variables[j].name.assign(model.columns[j].name);
        variables.variables[j].column = static_cast<int>(j) + 1;
        variables.handles[j] = &variables.variables[j];
    }
}

void forgetVariables(OriginalVariables& variables)
{
    variables.variables.clear();
    variables.handles.clear();
}

extern "C" SCIP_SOL* SCIPgetBestSol(SCIP* scip)
{
    if (scip == nullptr || !scip->outcome.hasSolution)
        return nullptr;
    // An empty problem's solution has no values; a problem GLPK lost has no solution left.
    if (scip->stage != Stage::EmptyProblem && liveProblem(*scip) == nullptr)
        return nullptr;
    return &scip->variables.best;
}

extern "C" int SCIPgetNOrigVars(SCIP* scip)
{
    return scip != nullptr ? static_cast<int>(scip->variables.handles.size()) : 0;
}

extern "C" SCIP_VAR** SCIPgetOrigVars(SCIP* scip)
{
    return scip != nullptr && !scip->variables.handles.empty() ? scip->variables.handles.data() : nullptr;
}

extern "C" const char* SCIPvarGetName(SCIP_VAR* var)
{
    return var != nullptr ? var->name.c_str() : "";
}

extern "C" SCIP_Real SCIPgetSolVal(SCIP* scip, SCIP_SOL* sol, SCIP_VAR* var)
{
    if (scip == nullptr || var == nullptr || sol != SCIPgetBestSol(scip) || sol == nullptr)
        return 0.0;
    glp_prob* const problem = liveProblem(*scip);
    return problem != nullptr ? columnValue(problem, glp_get_num_int(problem) > 0, var->column) : 0.0;
}

extern "C" SCIP_RETCODE SCIPgetSolVals(SCIP* scip, SCIP_SOL* sol, int nvars, SCIP_VAR** vars, SCIP_Real* vals)
{
    if (scip == nullptr || nvars < 0 || (nvars > 0 && (vars == nullptr || vals == nullptr))) {
        COMPAT_ERROR_MESSAGE("SCIPgetSolVals needs a SCIP instance and arrays of the variables and their values\n");
        return SCIP_INVALIDDATA;
    }
    if (sol == nullptr || sol != SCIPgetBestSol(scip)) {
        COMPAT_ERROR_MESSAGE("the engine keeps the best solution only\n");
        return SCIP_INVALIDCALL;
    }
    glp_prob* const problem = liveProblem(*scip);
    const bool integers = problem != nullptr && glp_get_num_int(problem) > 0;
    for (int i = 0; i < nvars; ++i)
        vals[i] = problem != nullptr && vars[i] != nullptr ? columnValue(problem, integers, vars[i]->column) : 0.0;
    return SCIP_OKAY;
}
