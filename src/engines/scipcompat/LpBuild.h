#pragma once

#include <vector>

#include <glpk.h>

#include "engines/model/LpModel.h"

// The GLPK problem an LP model becomes. Semi-continuous variables, SOS sets and indicator
// constraints become binary columns and rows; infinite bounds are +-HUGE_VAL here.
struct GlpkLayout {
    bool maximize = false;
    double objectiveOffset = 0.0;
    std::vector<double> columnLower;
    std::vector<double> columnUpper;
    std::vector<double> objective;
    std::vector<char> integer;
    std::vector<double> rowLower;
    std::vector<double> rowUpper;
    // The matrix as glp_load_matrix takes it: 1-based, element 0 unused.
    std::vector<int> rowIndex;
    std::vector<int> columnIndex;
    std::vector<double> values;
    bool contradiction = false;  // the model has no solution, shown before any search
    bool glpkFailed = false;     // GLPK failed fatally while deriving bounds: its objects are gone
};

// Builds the layout of `model`, with the short presolve SCIP does at once: empty rows,
// bounds from singleton rows, integer rounding of bounds, and the divisibility test of
// equations over integer variables. Where a set, a semi-continuous variable or an indicator
// constraint needs a bound the model does not state, the bound the rows imply. False with
// `error` when no finite bound exists (or GLPK failed while looking for one: glpkFailed).
bool planGlpkProblem(const LpModel& model, GlpkLayout& layout, LpReadError& error);

// GLPK calls only: run it inside a guarded GLPK sequence.
void loadGlpkProblem(const GlpkLayout& layout, glp_prob* problem);
