#pragma once

#include <string>

#include "backends/RunSettings.h"
#include "report/Outcome.h"

// CBC, from Debian's packages, as the registry lists it.
const Solver& cbcSolver();

// Solves one model file with CBC: the model as Lumbrix's own reader reads it, handed to CBC
// as rows and columns. CBC's log goes to standard output when the log is on; the outcome is
// returned, never printed. The reading time is noted as soon as it is known.
ModelOutcome solveWithCbc(const std::string& path, const RunSettings& settings, SolveNotes& notes);
