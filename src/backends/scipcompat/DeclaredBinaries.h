#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include <glpk.h>

// SCIP counts as binary the variables named in a "Binaries" section; a variable of a
// "Generals" section stays integer whatever its bounds. GLPK keeps no trace of the section,
// so the count is taken from the model's text.
std::unordered_set<std::string_view> binarySectionNames(const std::string& text);

// The integer columns of `problem` that `text` declares binary.
int countDeclaredBinaries(const std::string& text, glp_prob* problem);
