#pragma once

#include <optional>
#include <string>

#include "backends/SolverSettings.h"
#include "backends/gurobi/GurobiEnvironment.h"

// Sets the settings on `environment`: the .prm file first, read by the library, then each
// value in order, so that a value given after the file wins. The message names the first
// parameter (or the file) the library refuses or does not know; the program's own limits
// and log switch are refused with the option that sets them. None when all were applied.
std::optional<std::string> applyGurobiSettings(GurobiEnvironment& environment, const SolverSettings& settings);
