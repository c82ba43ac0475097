#pragma once

#include <optional>
#include <string>

#include "backends/RunSettings.h"
#include "report/Outcome.h"

// Gurobi, loaded at run time, as the registry lists it.
const Solver& gurobiSolver();

// Solves one model file with Gurobi. The library's errors go to standard error; the outcome is
// returned, never printed.
ModelOutcome solveWithGurobi(const std::string& path, const RunSettings& settings, SolveNotes& notes);

// The message naming the first setting the library refuses or does not know, asked of an
// environment started as each model's is; none when it takes them all.
std::optional<std::string> refuseGurobiSettings(const SolverSettings& settings);
