#pragma once

#include <string>
#include <vector>

// `lumbrix compare`: runs of opt held against each other.
struct CompareRequest {
    std::vector<std::string> runs;    // output folders of opt, or details files
    std::vector<std::string> labels;  // one per run; none: each folder's name
    double shift = 10;                // of the shifted geometric means, in seconds
    std::string htmlPath;             // the page; empty: none
    std::string csvPath;              // the merged per-model table; empty: none
};

// Reads every run's details file (a folder's sol_detalhes.csv), compares them, writes the page
// and the merged table whole (each beside its place and renamed over it) and prints the
// comparison on standard output. 0 when the runs agree and no answer is wrong, 1 otherwise;
// 2 for a run that cannot be read or used, labels that do not fit, or an output file that
// cannot be written (the reason on standard error; nothing printed, and nothing written but a
// file written before the one that failed).
int runCompare(const CompareRequest& request);
