#pragma once

#include <optional>
#include <string>
#include <vector>

#include "backends/ModelFiles.h"
#include "backends/RunSettings.h"
#include "batch/RunRecord.h"
#include "report/RunFiles.h"

// One `opt` run: both folders already accepted.
struct OptimizeRequest {
    std::string modelFolder;
    std::vector<std::string> entries;  // the model folder's listing
    std::string outputFolder;
    RunSettings settings;
    RunOptions options;
    std::optional<Shard> shard;  // only this part of the models, into the shard's own files
    bool resume = false;         // keep the rows already in the output folder, solve the rest
    bool keepModelList = false;  // leave sol_modelos.txt in the output folder (command line)
    ModelFileRule modelFiles = ModelFileRule::Shell;  // which entries are models
};

// The models of a listing with their listing numbers: every entry but the run's own files
// gets a number, the names the rule takes are models.
std::vector<ListedModel> listedModels(const std::vector<std::string>& entries, ModelFileRule rule);

// Solves every entry the request's rule takes for a model, numbering every entry of the listing. After each
// model its row is in the output folder's results file, then its report is on the console. A
// results file that cannot be created stops the run before the first model, with the reason
// on standard error. Beside the results file the run keeps sol_detalhes.csv; its totals come
// back for the exit status and the summary. A shard solves and shows only its own entries; a
// resumed run keeps the models that already have a row in both table files, and neither
// solves nor shows them. A command-line run leaves the folder's list of models (sol_modelos.txt)
// for a later merge; the shell's output folder stays as it was.
RunTotals runOptimization(const OptimizeRequest& request);

// Makes the output folder's "solutions" folder, where the solver processes keep each model's
// solution, and names it in the settings. False, with the reason on standard error, when it
// cannot be made.
bool makeSolutionsFolder(const std::string& outputFolder, RunSettings& settings);

// Writes, whole or not at all, a .solu file of what the run verified (see verifiedResult).
// False, with the reason on standard error, when it cannot be written.
bool writeVerifiedSolu(const std::string& path, const RunTotals& totals);
