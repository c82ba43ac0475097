#include "engines/scipcompat/Instance.h"

#include <new>

#include <scip/scipdefplugins.h>

#include "engines/scipcompat/Messages.h"

namespace {

// Counts GLPK environment losses; a problem created in an earlier epoch no longer exists.
unsigned long g_glpkEpoch = 0;

void forgetResults(Scip& scip)
{
    scip.solved = false;
    scip.solvingTime = 0.0;
    scip.outcome = SolveOutcome{};
    scip.statistics = SolveStatistics{};
}

}  // namespace

glp_prob* liveProblem(Scip& scip)
{
    if (scip.stage == Stage::GlpkProblem && scip.problemEpoch != g_glpkEpoch) {
        scip.problem = nullptr;
        scip.stage = Stage::LostProblem;
    }
    return scip.stage == Stage::GlpkProblem ? scip.problem : nullptr;
}

void deleteProblem(Scip& scip)
{
    if (glp_prob* problem = liveProblem(scip))
        glp_delete_prob(problem);
    scip.problem = nullptr;
    scip.stage = Stage::Init;
    scip.maximize = false;
    scip.boundsContradict = false;
    forgetVariables(scip.variables);
    forgetResults(scip);
}

void adoptProblem(Scip& scip, glp_prob* problem, bool boundsContradict)
{
    deleteProblem(scip);
    scip.problem = problem;
    scip.problemEpoch = g_glpkEpoch;
    scip.stage = Stage::GlpkProblem;
    scip.maximize = glp_get_obj_dir(problem) == GLP_MAX;
    scip.boundsContradict = boundsContradict;
}

void adoptEmptyProblem(Scip& scip)
{
    deleteProblem(scip);
    scip.stage = Stage::EmptyProblem;
}

void loseGlpkObjects(Scip& scip)
{
    ++g_glpkEpoch;
    scip.problem = nullptr;
    scip.stage = Stage::LostProblem;
    forgetResults(scip);
}

extern "C" SCIP_RETCODE SCIPcreate(SCIP** scip)
{
    if (scip == nullptr) {
        COMPAT_ERROR_MESSAGE("SCIPcreate needs the address of a SCIP pointer\n");
        return SCIP_INVALIDDATA;
    }
    *scip = new (std::nothrow) Scip;
    return *scip != nullptr ? SCIP_OKAY : SCIP_NOMEMORY;
}

extern "C" SCIP_RETCODE SCIPfree(SCIP** scip)
{
    if (scip == nullptr || *scip == nullptr) {
        COMPAT_ERROR_MESSAGE("SCIPfree needs the address of a SCIP instance\n");
        return SCIP_INVALIDDATA;
    }
    deleteProblem(**scip);
    delete *scip;
    *scip = nullptr;
    return SCIP_OKAY;
}

extern "C" SCIP_RETCODE SCIPincludeDefaultPlugins(SCIP* scip)
{
    if (scip == nullptr) {
        COMPAT_ERROR_MESSAGE("SCIPincludeDefaultPlugins needs a SCIP instance\n");
        return SCIP_INVALIDDATA;
    }
    if (scip->lpReaderIncluded) {
        COMPAT_ERROR_MESSAGE("reader <lpreader> already included.\n");
        return SCIP_INVALIDDATA;
    }
    scip->lpReaderIncluded = true;
    return SCIP_OKAY;
}

extern "C" SCIP_RETCODE SCIPcreateProbBasic(SCIP* scip, const char* name)
{
    if (scip == nullptr || name == nullptr) {
        COMPAT_ERROR_MESSAGE("SCIPcreateProbBasic needs a SCIP instance and a problem name\n");
        return SCIP_INVALIDDATA;
    }
    adoptEmptyProblem(*scip);
    return SCIP_OKAY;
}
