#pragma once

#include <string>

inline constexpr const char* kResultsFileName = "sol_stat.csv";

// Brings sol_stat.csv in the output folder up to date with g_resultRows: the header, then
// one CR LF line per row with the solver's name in front. The first call of a run replaces
// the file atomically (in place only when the folder may not be written to but the file
// may); later calls append only the new rows, so a run costs the same per model however
// long it gets, and the file never holds part of a line. A failure is reported on
// standard error and the next call writes the whole file again.
void writeResultsFile(std::string outputFolder);

// Ends the run's results file; the next write starts a new one.
void finishResultsFile();
