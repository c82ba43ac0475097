#pragma once

#include <string>

// Joins the shard files in the output folder into sol_stat.csv and sol_detalhes.csv, rows in
// the listing order of sol_modelos.txt, each file replaced whole at once. A model with no
// row in any shard is named on standard error and gets a details row with the status
// not_run. 0 when every model has its rows, 1 otherwise, 2 when the folder has no list of
// models or no shard files (the reason on standard error, nothing written) or when a file
// cannot be written (the reason on standard error).
int mergeShards(const std::string& outputFolder);
