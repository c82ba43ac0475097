#pragma once

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
};

// Builds the layout of `model`, with the short presolve SCIP does at once: empty rows,
// bounds from singleton rows, integer rounding of bounds, and the divisibility test of
// equations over integer variables. False with `error` when a set, a semi-continuous
// variable or an indicator constraint has no exact formulation with the bounds at hand.
bool planLinearLayout(const LpModel& model, LinearLayout& layout, LpReadError& error);
