#pragma once

#include <glpk.h>

#include "engines/model/LinearLayout.h"

// GLPK calls only: run it inside a guarded GLPK sequence.
void loadGlpkProblem(const LinearLayout& layout, glp_prob* problem);
