#pragma once

#include <string>
#include <vector>

#include "Process.h"

// `mod_lp` on one folder, then `exit`, with standard output and error kept apart.
ProcessResult runModLp(const std::string& folder);

// The same with standard error sent into standard output, so that their order shows.
// `limits` is shell text run first (for instance "ulimit -v 400000;").
ProcessResult runModLpMerged(const std::string& folder, const std::string& limits = "");

// What the conversion run wrote: from after the folder prompt up to the next shell prompt.
std::string runSection(const std::string& out);

// The part of a merged run's output that belongs to the entry numbered `number`: from its
// "Modelo N gerado" line up to the next separator or the end of the run.
std::string entrySection(const std::string& merged, int number);

void makeFifo(const std::string& path);

// Names of a folder's entries, sorted, "." and ".." left out.
std::vector<std::string> folderNames(const std::string& folder);

// A tiny LP as MathProg: maximize c x with 0 <= x <= 1. `ownData` adds a data section
// giving c that value; an empty text leaves c without data.
std::string tinyModel(const std::string& ownData);
// The objective line that GLPK writes for it.
std::string tinyObjective(int c);
