#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "engines/model/LpModel.h"

// The purely linear problem with integer columns that a model becomes for a solver that takes
// only rows and columns. Semi-continuous variables, SOS sets and indicator constraints become
// binary columns and rows; infinite bounds are +-HUGE_VAL here.
struct LinearLayout {
    bool maximize = false;
    double objectiveOffset = 0.0;
    std::vector<double> columnLower;  // the model's columns first, then the added binaries
    std::vector<double> columnUpper;
    std::vector<double> objective;
    std::vector<char> integer;
    std::vector<double> rowLower;  // the model's rows first, then the added ones
    std::vector<double> rowUpper;
    // The matrix as triplets, 1-based, element 0 unused (as glp_load_matrix takes it).
    std::vector<int> rowIndex;
    std::vector<int> columnIndex;
    std::vector<double> values;
    // The model has no solution, shown before any search; the layout then stops after the
    // model's own rows and columns.
    bool contradiction = false;
    // The relaxation's solver failed while bounds were derived (for GLPK: its objects are gone).
    bool relaxationFailed = false;
};

// The smallest and largest value of `column` over the layout's linear relaxation, as a solver
// computes them (+-HUGE_VAL where there is none); false when the solver failed.
using RelaxationBounds
    = std::function<bool(const LinearLayout& layout, std::size_t column, double& lower, double& upper)>;

// Builds the layout of `model`, with the short presolve SCIP does at once: empty rows,
// bounds from singleton rows, integer rounding of bounds, and the divisibility test of
// equations over integer variables. Where a set, a semi-continuous variable or an indicator
// constraint needs a bound the model does not state, the bound the rows imply, or else the
// one `relaxation` finds (none: rows only). False with `error` when no finite bound exists
// (or the relaxation's solver failed while looking for one: relaxationFailed).
bool planLinearLayout(const LpModel& model, LinearLayout& layout, LpReadError& error,
                      const RelaxationBounds& relaxation = {});
