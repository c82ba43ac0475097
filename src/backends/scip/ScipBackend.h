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

// What a SCIP solving status means to the program.
ModelStatus scipModelStatus(SCIP_STATUS status);
