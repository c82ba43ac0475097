#include "engines/scipcompat/UserLimits.h"

#include <algorithm>
#include <cmath>

namespace {

// SCIP's gap: relative to the smaller bound, and infinite when the bounds differ in sign or
// one of them is zero.
double relativeGap(double primal, double dual)
{
    if (primal == dual)
        return 0.0;
    if (primal == 0.0 || dual == 0.0 || (primal > 0.0) != (dual > 0.0))
        return INFINITY;
    return std::fabs(primal - dual) / std::min(std::fabs(primal), std::fabs(dual));
}

bool gapReached(glp_tree* tree, const SearchLimits& limits)
{
    if (limits.gap <= 0.0 && limits.absoluteGap <= 0.0)
        return false;
    glp_prob* problem = glp_ios_get_prob(tree);
    const int best = glp_ios_best_node(tree);
    if (best == 0 || glp_mip_status(problem) != GLP_FEAS)
        return false;
    const double primal = glp_mip_obj_val(problem);
    const double dual = glp_ios_node_bound(tree, best);
    return (limits.gap > 0.0 && relativeGap(primal, dual) <= limits.gap)
        || (limits.absoluteGap > 0.0 && std::fabs(primal - dual) <= limits.absoluteGap);
}

SCIP_STATUS limitAtSelection(glp_tree* tree, const SolveRequest& request, bool onObjective, const LimitWatch& watch)
{
    const SearchLimits& limits = request.limits;
    if (limits.nodes >= 0 && request.statistics->nodes >= limits.nodes)
        return SCIP_STATUS_NODELIMIT;
    if (!onObjective)
        return SCIP_STATUS_UNKNOWN;
    if (limits.solutions >= 0 && watch.solutions >= limits.solutions)
        return SCIP_STATUS_SOLLIMIT;
    return gapReached(tree, limits) ? SCIP_STATUS_GAPLIMIT : SCIP_STATUS_UNKNOWN;
}

}  // namespace

bool userLimitReached(glp_tree* tree, const SolveRequest& request, bool onObjective, LimitWatch& watch)
{
    // GLPK's heuristics record their solutions without an event of their own: a solution
    // counts when the incumbent's value changes.
    glp_prob* problem = glp_ios_get_prob(tree);
    if (glp_mip_status(problem) == GLP_FEAS && (watch.solutions == 0 || glp_mip_obj_val(problem) != watch.incumbent)) {
        ++watch.solutions;
        watch.incumbent = glp_mip_obj_val(problem);
    }
    // Only when the next node is chosen: a search that has ended keeps its own status.
    if (glp_ios_reason(tree) != GLP_ISELECT)
        return false;
    watch.reached = limitAtSelection(tree, request, onObjective, watch);
    return watch.reached != SCIP_STATUS_UNKNOWN;
}
