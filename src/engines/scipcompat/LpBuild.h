#pragma once

#include <cstddef>

#include <glpk.h>

#include "engines/model/LinearLayout.h"

// GLPK calls only: run it inside a guarded GLPK sequence.
void loadGlpkProblem(const LinearLayout& layout, glp_prob* problem);

// The relaxation's bounds of a column, by GLPK's simplex under GLPK's guard: false when GLPK
// failed fatally (every GLPK object is gone then).
bool glpkRelaxationBounds(const LinearLayout& layout, std::size_t column, double& lower, double& upper);
