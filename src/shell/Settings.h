#pragma once

#include <optional>
#include <string>

#include "backends/RunSettings.h"

// The commands that change the shell's settings; a rejected answer changes nothing.
void chooseSolver(RunSettings& settings);
void askTimeLimit(RunSettings& settings);
void askVerbose(RunSettings& settings);
void askMemoryLimit(RunSettings& settings);
void askJobs(RunSettings& settings);

// Reads a number from the start of the answer the way Portuguese users write it: a decimal
// comma, leading blanks skipped, anything after the number ignored. Empty when the answer
// holds no number, or one that is not finite or lies beyond the range of a double.
std::optional<double> parseNumber(const std::string& answer);

// A whole number of models solved side by side: 1 to four per core, blanks around it allowed.
std::optional<int> parseJobs(const std::string& answer);

// The about banner, written at start and by `about`.
std::string aboutText();
