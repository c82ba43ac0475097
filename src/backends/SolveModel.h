#pragma once

#include <string>

#include "backends/RunSettings.h"
#include "report/Outcome.h"

// Solves one model file with the solver the settings name.
ModelOutcome solveModel(const std::string& path, const RunSettings& settings, SolveNotes& notes);
