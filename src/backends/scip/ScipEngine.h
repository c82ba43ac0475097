#pragma once

#include <string>

// The SCIP engine the program is linked with, as the about banner names it.
std::string scipEngineName();
