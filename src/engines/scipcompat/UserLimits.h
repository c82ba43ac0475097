#pragma once

#include <glpk.h>
#include <scip/scip.h>

#include "engines/scipcompat/SolveRequest.h"

// What the user's search limits have seen of one branch and bound. Plain data, as the
// search's callback needs it.
struct LimitWatch {
    int solutions = 0;  // improving solutions found, by the search or by GLPK's heuristics
    double incumbent = 0.0;
    SCIP_STATUS reached = SCIP_STATUS_UNKNOWN;  // the limit that stopped the search, if one did
};

// Called on every event of GLPK's branch and bound, before anything else handles it: counts
// the solutions, and true when a limit of `request` is reached (then `watch.reached` says
// which). The gaps count only for a search on the model's own objective. A search that ends
// by itself is never stopped by a limit.
bool userLimitReached(glp_tree* tree, const SolveRequest& request, bool onObjective, LimitWatch& watch);
