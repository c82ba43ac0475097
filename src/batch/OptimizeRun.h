#pragma once

#include <string>
#include <vector>

#include "backends/RunSettings.h"
#include "batch/RunRecord.h"

// One `opt` run: both folders already accepted.
struct OptimizeRequest {
    std::string modelFolder;
    std::vector<std::string> entries;  // the model folder's listing
    std::string outputFolder;
    RunSettings settings;
    RunOptions options;
};

// Solves every entry whose name ends in "lp", numbering every entry of the listing. After each
// model its row is in the output folder's results file, then its report is on the console. A
// results file that cannot be created stops the run before the first model, with the reason
// on standard error. Beside the results file the run keeps sol_detalhes.csv; its totals come
// back for the exit status and the summary.
RunTotals runOptimization(const OptimizeRequest& request);
