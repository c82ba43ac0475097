#pragma once

#include <string>

// Solves one model file with SCIP and reports it. False, with nothing done, when the path
// does not end in "lp"; true once the model is reported, whatever the outcome.
bool solveWithScip(std::string path);
