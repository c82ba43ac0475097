#pragma once

#include <string>
#include <vector>

// The entries of the model folder of the latest `opt` run that got past the folder check.
extern std::vector<std::string> g_modelFiles;

// The `opt` command: solves every model of a folder with the chosen solver, reporting each
// one and keeping the results file of the output folder up to date.
void optimizeFolder();
