#pragma once

#include <string>
#include <vector>

// The `mod_lp` run over a folder's listing: every entry is numbered, and every MathProg
// model among them gets its LP file beside it.
void convertModels(const std::vector<std::string>& entries);
