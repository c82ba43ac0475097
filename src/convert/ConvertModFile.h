#pragma once

#include <string>

// Writes the CPLEX LP file of one MathProg model next to it: "<stem>lp" for "<stem>mod",
// with "<stem>dat" as its data file when that file can be read. Entries whose path does
// not end in "mod" are passed over in silence. Failures are reported on standard error.
void convertModFile(std::string path);
