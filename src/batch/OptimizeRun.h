#pragma once

#include <string>
#include <vector>

#include "backends/RunSettings.h"

// One `opt` run: both folders already accepted.
struct OptimizeRequest {
    std::string modelFolder;
    std::vector<std::string> entries;  // the model folder's listing
    std::string outputFolder;
    RunSettings settings;
};

// Solves every entry whose name ends in "lp", numbering every entry of the listing. After each
// model its row is in the output folder's results file, then its report is on the console. A
// results file that cannot be created stops the run before the first model, with the reason
// on standard error.
void runOptimization(const OptimizeRequest& request);
