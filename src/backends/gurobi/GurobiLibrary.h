#pragma once

#include <string>

#include "backends/gurobi/GurobiCApi.h"

// The file of the Gurobi C library the program loads when it needs it.
inline constexpr const char* kGurobiLibraryName = "libgurobi120.so";

// Loads the Gurobi library from the program's own folder, or else through the system's
// library search, never from the working directory. Null when it cannot be loaded.
void* openGurobiLibrary();

// Looks up every function the program calls; false when the library lacks one.
bool resolveGurobiFunctions(void* library, GurobiFunctions& functions);

// Whether the Gurobi library can be loaded and has every function the program calls; it
// is unloaded again at once.
bool isGurobiLibraryAvailable();

// The functions of the Gurobi library, loaded on first use and kept for the rest of the
// run. Null when the library cannot be loaded or lacks a function; a later call tries again.
const GurobiFunctions* loadGurobiFunctions();

// The loaded library's version, "12.0.1"; empty when it cannot be loaded.
std::string gurobiVersion();
