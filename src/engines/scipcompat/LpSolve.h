#pragma once

#include "engines/scipcompat/SolveRequest.h"

enum class LpResult { Optimal, Infeasible, Unbounded, TimeLimit, Interrupted, Failed };

// Primal simplex on the problem (for a MIP, on its relaxation), in time slices resumed from
// the current basis, so that the time limit and Ctrl-C are checked between slices. GLPK
// calls: run it inside a guarded sequence. On Failed, `glpkCode` holds GLPK's return code.
LpResult solveLp(const SolveRequest& request, int& glpkCode);

// Whether the simplex left a primal feasible point (after a limit stopped it).
bool lpHasFeasiblePoint(glp_prob* problem);
