#pragma once

#include <string>

#include <scip/scip.h>

#include "backends/RunSettings.h"
#include "report/Outcome.h"

// Solves one model file with SCIP. SCIP's own messages (its log, its errors) go where SCIP
// writes them; the outcome is returned, never printed.
ModelOutcome solveWithScip(const std::string& path, const RunSettings& settings);

// What a SCIP solving status means to the program.
ModelStatus scipModelStatus(SCIP_STATUS status);
