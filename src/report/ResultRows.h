#pragma once

#include <string>
#include <vector>

// One row per reported model of the current `opt` run, in report order:
// name;solving time;status;objective;reading time (no solver name, no line end).
extern std::vector<std::string> g_resultRows;

// Seconds the last back end spent reading its model, with millisecond resolution.
extern double g_readTime;
