#pragma once

#include <string>

#include "backends/gurobi/GurobiCApi.h"

// The loaded library's functions. Throws GRBException when the library cannot be loaded
// or lacks one of them.
const GurobiFunctions& gurobiApi();

// Turns a nonzero code of a library call into GRBException, with the library's message
// for the given environment.
void checkGurobi(int code, GRBenv* messageSource);

// The library's message about the last failure in an environment ("" without one).
std::string gurobiErrorMessage(GRBenv* environment);
