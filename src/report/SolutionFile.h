#pragma once

#include <optional>
#include <string>

#include "report/Outcome.h"

// A solution in SCIP's solution format, which SCIP and the MIPLIB checker read back:
// "objective value: " and the objective, then a "name value" line for every variable that is
// not zero; numbers in the shortest text that reads back as the same double.
std::string solutionFileText(double objective, const Solution& solution);

// Where a model's solution is kept: "<folder>/<model file name>.sol".
std::string solutionFilePath(const std::string& folder, const std::string& modelName);
