#pragma once

#include <cstddef>

#include <OsiClpSolverInterface.hpp>

#include "engines/model/LinearLayout.h"
#include "engines/model/LpModel.h"

// Loads the layout of a model into CBC's LP solver column by column, with the model's names
// on its own columns and rows, the integer columns marked and the objective's direction.
// The objective's constant stays out: CBC's figures are without it.
void loadCbcProblem(const LpModel& model, const LinearLayout& layout, OsiClpSolverInterface& solver);

// The relaxation's least and most value of a column, by CBC's LP solver, for the bounds a
// formulation needs (see planLinearLayout).
bool clpRelaxationBounds(const LinearLayout& layout, std::size_t column, double& lower, double& upper);
