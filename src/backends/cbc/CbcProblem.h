#pragma once

#include <OsiClpSolverInterface.hpp>

#include "engines/model/LinearLayout.h"
#include "engines/model/LpModel.h"

// Loads the layout of a model into CBC's LP solver column by column, with the model's names
// on its own columns and rows, the integer columns marked and the objective's direction.
// The objective's constant stays out: CBC's figures are without it.
void loadCbcProblem(const LpModel& model, const LinearLayout& layout, OsiClpSolverInterface& solver);
