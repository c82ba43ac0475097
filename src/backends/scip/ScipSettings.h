#pragma once

#include <optional>
#include <string>

#include <scip/scip.h>

#include "backends/SolverSettings.h"

// Whether SCIP knows every parameter the settings name (the file's too) and takes each
// value given on the command line, checked on `scip` without changing it. The message names
// the first it refuses; none when it takes them all.
std::optional<std::string> refusedScipSetting(SCIP* scip, const SolverSettings& settings);

// Sets the settings on `scip`: the file first, read by SCIP, then each value in order, so
// that a value given after the file wins. The message names what SCIP refused; none when
// every setting was applied.
std::optional<std::string> applyScipSettings(SCIP* scip, const SolverSettings& settings);
