#pragma once

// The file of the Gurobi C library the program loads when it needs it.
inline constexpr const char* kGurobiLibraryName = "libgurobi120.so";

// Loads the Gurobi library from the program's own folder, or else through the system's
// library search, never from the working directory. Null when it cannot be loaded.
void* openGurobiLibrary();

// Whether the Gurobi library can be loaded; it is unloaded again at once.
bool isGurobiLibraryAvailable();
