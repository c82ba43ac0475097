#pragma once

#include <string_view>

// Which listing entries are model files: a name that ends in "lp", as the shell has always
// taken it.
bool isModelFile(std::string_view name);

// The name known-results files give a model: its file name without its extension.
std::string_view modelStem(std::string_view fileName);
