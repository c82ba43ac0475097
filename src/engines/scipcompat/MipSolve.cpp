#include "engines/scipcompat/MipSolve.h"

#include <cmath>

#include "engines/scipcompat/Interrupt.h"
#include "engines/scipcompat/LpSolve.h"
#include "engines/scipcompat/SearchOptions.h"
#include "engines/scipcompat/UserLimits.h"

namespace {

bool deadlinePassed(const SolveRequest& request)
{
    return request.hasDeadline && std::chrono::steady_clock::now() >= request.deadline;
}

double secondsLeft(const SolveRequest& request)
{
    if (!request.hasDeadline)
        return HUGE_VAL;
    return std::chrono::duration<double>(request.deadline - std::chrono::steady_clock::now()).count();
}

// Plain data, handed to GLPK's branch-and-bound callback.
struct Search {
    const SolveRequest* request = nullptr;
    long nodeBudget = 0;  // 0: no budget
    long nodes = 0;
    bool budgetExhausted = false;
    bool tracksBound = false;  // the search runs on the model's own objective
    LimitWatch limits;
    const SearchOptions* options = nullptr;
    glp_iocp* parameters = nullptr;  // the object glp_intopt reads
    BranchTiming branching;
};

// With unbounded integer variables branch and bound may never end (2 x - 2 y = 1 has no
// integer solution, yet every node's LP is feasible); where that can happen the search gets
// a node budget.
constexpr long kFeasibilitySearchNodes = 10000;

void onBranchAndBoundEvent(glp_tree* tree, void* info)
{
    Search& search = *static_cast<Search*>(info);
    const int reason = glp_ios_reason(tree);
    guardBranching(tree, reason, *search.options, search.branching, secondsLeft(*search.request));
    if (reason == GLP_IPREPRO) {
        adjustSearchAtNode(tree, *search.options, *search.parameters);
        ++search.request->statistics->nodes;
        if (search.nodeBudget > 0 && ++search.nodes > search.nodeBudget) {
            search.budgetExhausted = true;
            glp_ios_terminate(tree);
            return;
        }
    }
    // Once per node: finding the best open node walks the list of open nodes.
    if (reason == GLP_ISELECT && search.tracksBound) {
        if (const int best = glp_ios_best_node(tree); best != 0) {
            SolveStatistics& statistics = *search.request->statistics;
            statistics.hasDualBound = true;
            statistics.dualBound = glp_ios_node_bound(tree, best);
        }
    }
    if (reason == GLP_IBINGO && search.tracksBound) {
        search.request->statistics->hasIncumbent = true;
        search.request->statistics->incumbent = glp_mip_obj_val(glp_ios_get_prob(tree));
    }
    if (userLimitReached(tree, *search.request, search.tracksBound, search.limits) || interruptRequested()
        || deadlinePassed(*search.request))
        glp_ios_terminate(tree);
}

SCIP_STATUS stoppedStatus()
{
    return interruptRequested() ? SCIP_STATUS_USERINTERRUPT : SCIP_STATUS_TIMELIMIT;
}

SCIP_STATUS limitStatus(LpResult result)
{
    return result == LpResult::Interrupted ? SCIP_STATUS_USERINTERRUPT : SCIP_STATUS_TIMELIMIT;
}

void solveLpOnly(const SolveRequest& request, SolveOutcome& outcome, SolveFailure& failure)
{
    int code = 0;
    const LpResult result = solveLp(request, code);
    request.statistics->nodes = 1;  // the root, as SCIP counts a solved LP
    switch (result) {
    case LpResult::Optimal:
        outcome = {SCIP_STATUS_OPTIMAL, true, glp_get_obj_val(request.problem)};
        return;
    case LpResult::Infeasible:
        outcome = {SCIP_STATUS_INFEASIBLE, false, 0.0};
        return;
    case LpResult::Unbounded:
        outcome = {SCIP_STATUS_UNBOUNDED, false, 0.0};
        return;
    case LpResult::TimeLimit:
    case LpResult::Interrupted: {
        // A limit may stop the simplex on a feasible point: that is a solution already.
        const bool feasible = lpHasFeasiblePoint(request.problem);
        outcome = {limitStatus(result), feasible, feasible ? glp_get_obj_val(request.problem) : 0.0};
        return;
    }
    case LpResult::Failed:
        failure = {"glp_simplex", code};
        return;
    }
}

// Branch and bound from the optimal relaxation. `outcome` gets OPTIMAL, INFEASIBLE or a
// limit, with the incumbent if there is one.
void branchAndBound(const SolveRequest& request, Search& search, SolveOutcome& outcome, SolveFailure& failure)
{
    const int remaining = remainingMillis(request);
    if (remaining == 0 || interruptRequested()) {
        outcome = {stoppedStatus(), false, 0.0};
        return;
    }
    glp_iocp parameters;
    glp_init_iocp(&parameters);
    search.options = &activeSearchOptions();
    search.parameters = &parameters;
    applySearchOptions(*search.options, parameters);
    parameters.msg_lev = request.log ? GLP_MSG_ON : GLP_MSG_OFF;
    parameters.tm_lim = remaining;
    parameters.cb_func = onBranchAndBoundEvent;
    parameters.cb_info = &search;
    const int code = glp_intopt(request.problem, &parameters);
    const int status = glp_mip_status(request.problem);
    const bool incumbent = status == GLP_OPT || status == GLP_FEAS;
    const double objective = incumbent ? glp_mip_obj_val(request.problem) : 0.0;
    switch (code) {
    case 0:
        if (status == GLP_OPT)
            outcome = {SCIP_STATUS_OPTIMAL, true, objective};
        else if (status == GLP_NOFEAS)
            outcome = {SCIP_STATUS_INFEASIBLE, false, 0.0};
        else
            failure = {"glp_intopt", -status};
        return;
    case GLP_ETMLIM:
    case GLP_ESTOP:
        if (search.limits.reached != SCIP_STATUS_UNKNOWN)
            outcome = {search.limits.reached, incumbent, objective};
        else if (search.budgetExhausted)
            outcome = {SCIP_STATUS_INFORUNBD, incumbent, objective};
        else
            outcome = {code == GLP_ETMLIM ? SCIP_STATUS_TIMELIMIT : stoppedStatus(), incumbent, objective};
        return;
    case GLP_EBOUND:
    case GLP_ENOPFS:  // found by the MIP presolver
        outcome = {SCIP_STATUS_INFEASIBLE, false, 0.0};
        return;
    default:
        failure = {"glp_intopt", code};
        return;
    }
}

// The relaxation, then branch and bound from it (within a node budget when one is given).
// An unbounded relaxation is left to the caller, with nothing set.
LpResult relaxThenSearch(const SolveRequest& request, long nodeBudget, SolveOutcome& outcome,
                         SolveFailure& failure)
{
    int code = 0;
    const LpResult result = solveLp(request, code);
    switch (result) {
    case LpResult::Optimal: {
        Search search;
        search.request = &request;
        search.nodeBudget = nodeBudget;
        search.tracksBound = nodeBudget == 0;
        if (search.tracksBound) {
            request.statistics->hasDualBound = true;
            request.statistics->dualBound = glp_get_obj_val(request.problem);
        }
        branchAndBound(request, search, outcome, failure);
        break;
    }
    case LpResult::Infeasible:
        request.statistics->nodes = 1;  // the root's relaxation proved it
        outcome = {SCIP_STATUS_INFEASIBLE, false, 0.0};
        break;
    case LpResult::Unbounded:
        break;
    case LpResult::TimeLimit:
    case LpResult::Interrupted:
        outcome = {limitStatus(result), false, 0.0};  // the relaxation's point need not be integral
        break;
    case LpResult::Failed:
        failure = {"glp_simplex", code};
        break;
    }
    return result;
}

// The relaxation is unbounded. With rational data the MIP is then unbounded as soon as it
// has any integer solution, and infeasible otherwise: search one with a zero objective.
// A search that runs out of nodes cannot tell, and says so (INFORUNBD).
void settleUnboundedRelaxation(const SolveRequest& request, SolveOutcome& outcome, SolveFailure& failure)
{
    glp_prob* problem = request.problem;
    const int columns = glp_get_num_cols(problem);
    // GLPK's allocator: a GLPK failure frees this together with everything else.
    double* saved = static_cast<double*>(glp_alloc(columns + 1, sizeof(double)));
    for (int j = 1; j <= columns; ++j) {
        saved[j] = glp_get_obj_coef(problem, j);
        glp_set_obj_coef(problem, j, 0.0);
    }

    SolveOutcome feasibility;
    if (relaxThenSearch(request, kFeasibilitySearchNodes, feasibility, failure) == LpResult::Unbounded)
        failure = {"glp_simplex", GLP_EFAIL};  // a zero objective is bounded

    for (int j = 1; j <= columns; ++j)
        glp_set_obj_coef(problem, j, saved[j]);
    glp_free(saved);

    if (failure.routine != nullptr)
        return;
    if (feasibility.status == SCIP_STATUS_OPTIMAL || feasibility.hasSolution)
        outcome = {SCIP_STATUS_UNBOUNDED, false, 0.0};
    else
        outcome = {feasibility.status, false, 0.0};  // INFEASIBLE, INFORUNBD or a limit
}

void solveMip(const SolveRequest& request, SolveOutcome& outcome, SolveFailure& failure)
{
    if (relaxThenSearch(request, 0, outcome, failure) == LpResult::Unbounded)
        settleUnboundedRelaxation(request, outcome, failure);
}

}  // namespace

void solveGlpkProblem(const SolveRequest& request, SolveOutcome& outcome, SolveFailure& failure)
{
    const int iterationsBefore = glp_get_it_cnt(request.problem);
    if (glp_get_num_int(request.problem) > 0)
        solveMip(request, outcome, failure);
    else
        solveLpOnly(request, outcome, failure);
    request.statistics->lpIterations += glp_get_it_cnt(request.problem) - iterationsBefore;
}
