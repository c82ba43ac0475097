#pragma once

#include <optional>
#include <string>

// The shell settings: they steer every later optimisation run and live until the
// program ends.
extern std::string g_solverName;  // "SCIP" or "GUROBI"
extern double g_timeLimit;        // seconds per model; 0 means no limit
extern std::string g_verbose;     // "n" silences the solver's log

void chooseSolver();
void askTimeLimit();
void askVerbose();
void showAbout();

// Reads a number from the start of the answer the way Portuguese users write it: a decimal
// comma, leading blanks skipped, anything after the number ignored. Empty when the answer
// holds no number, or one that is not finite or lies beyond the range of a double.
std::optional<double> parseTimeLimit(const std::string& answer);

// The about banner, written at start and by `about`.
std::string aboutText();
