#pragma once

#include <string>

#include "report/compare/Comparison.h"

// The per-model table merged across the runs, for programs (pandas): RFC 4180, LF line ends,
// a decimal point, one header line and one row per model. Columns: model; for each run,
// LABEL.status, LABEL.objective, LABEL.dual_bound, LABEL.solve_seconds, LABEL.check and
// LABEL.solution_check (empty where the run has no row or the file no such value); then
// disagreement, true when the runs disagree on the model.
std::string mergedTableText(const Comparison& comparison);
