#pragma once

#include <span>
#include <string>
#include <vector>

#include "engines/model/LpModel.h"

// How far a solution may be from the model and still satisfy it, as solvers count by default.
struct CheckTolerances {
    // Rows, bounds, indicator rows and semi-continuous thresholds: absolute up to a side or
    // bound of size 1, relative to its size above; a member of a set counts as zero up to it.
    double feasibility = 1e-6;
    // The distance of an integer or binary variable from the nearest integer.
    double integrality = 1e-5;
};

// What a solution is worth against the model. Every decision is the one exact arithmetic
// on the file's own numbers gives: floating point only where its error bound decides.
struct SolutionVerdict {
    bool feasible = true;
    // Infeasible: the violation of the worst violated row or variable, in the model's units.
    // Feasible: the largest violation found, all within the tolerances (0 for none).
    double maxViolation = 0;
    // The worst violated row, variable, indicator or set; empty when feasible. A row the file
    // leaves unnamed is "R" and its position (from 1), a set "SOS" and its count among the
    // unnamed sets, an unnamed indicator "indicator" and its position.
    std::string violated;
    // The objective (its constant included) at the solution, exact, rounded to the nearest
    // double.
    double objective = 0;
};

// Checks the values of the model's columns, in column order (one per column), against every
// bound, integrality, row, indicator constraint, SOS set and semi-continuous variable.
// Throws std::invalid_argument for another number of values, std::bad_alloc when memory runs
// out.
SolutionVerdict checkSolution(const LpModel& model, std::span<const double> values, const CheckTolerances& tolerances);

// Puts a solver's values, given by variable name, into the model's column order. Names the
// model lacks (the solver's own variables) are passed over. False, with `missing` the first
// column the solution has no value for, when one has none.
bool valuesByColumn(const LpModel& model, std::span<const std::string> names, std::span<const double> values,
                    std::vector<double>& columnValues, std::string& missing);
