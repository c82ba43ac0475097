#pragma once

#include <glpk.h>

// Brings a problem read by GLPK to SCIP's reading of its bounds: a bound at or beyond 1e20
// is infinite, and the bounds of an integer variable are rounded inwards to integers
// (GLPK's branch and bound refuses fractional ones). Returns false when some variable is
// left with no admissible value, which makes the problem infeasible. GLPK calls: run it
// inside a guarded sequence.
bool normalizeBounds(glp_prob* problem);
