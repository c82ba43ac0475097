#pragma once

#include "engines/scipcompat/Instance.h"
#include "engines/scipcompat/SolveRequest.h"

// Why a solve could not reach a status: the GLPK routine and its return code.
struct SolveFailure {
    const char* routine = nullptr;  // null: no failure
    int code = 0;
};

// Solves an LP by the simplex, a MIP by its relaxation and then branch and bound. GLPK calls:
// run it inside a guarded sequence.
void solveGlpkProblem(const SolveRequest& request, SolveOutcome& outcome, SolveFailure& failure);
