#pragma once

#include <string>

#include <scip/scip.h>

#include "backends/RunSettings.h"
#include "report/Outcome.h"

// SCIP (or the engine linked in its place) as the registry lists it.
const Solver& scipSolver();

// Solves one model file with SCIP. SCIP's own messages (its log, its errors) go where SCIP
// writes them; the outcome is returned, never printed. The reading time is noted as soon as
// it is known.
ModelOutcome solveWithScip(const std::string& path, const RunSettings& settings, SolveNotes& notes);

// The message naming the first setting SCIP refuses or does not know, checked on an
// instance made as the solve makes it (its own errors go to standard error first); none when
// it takes them all. The program's own limits are refused with the option that sets them.
std::optional<std::string> refuseScipSettings(const SolverSettings& settings);

// What a SCIP solving status means to the program.
ModelStatus scipModelStatus(SCIP_STATUS status);
