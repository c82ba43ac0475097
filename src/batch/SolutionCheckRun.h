#pragma once

#include <string>

#include "backends/RunSettings.h"
#include "report/Outcome.h"

// In the solver process, after the solve and outside its time: the solution the back end
// found is held against the model file as Lumbrix itself reads it, kept in the run's
// solutions folder when the run asks for that, and dropped, so that only the check's result
// leaves the process. A model without a solution is not read again.
void checkSolvedModel(const std::string& path, const RunSettings& settings, ModelOutcome& outcome);
