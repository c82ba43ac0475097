#pragma once

#include <memory_resource>
#include <string>
#include <vector>

// One row per reported model of the current `opt` run, in report order:
// name;solving time;status;objective;reading time (no solver name, no line end).
// The rows take their memory from a pool of their own: thousands of small strings that
// live for the whole run, scattered among a solver's short-lived allocations, slow the
// solver's allocator down more and more as a long run goes on.
extern std::pmr::vector<std::pmr::string> g_resultRows;

// Seconds the last back end spent reading its model, with millisecond resolution.
extern double g_readTime;
