#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a comparison needs of one row of a details file (sol_detalhes.csv).
struct ModelRecord {
    std::string model;
    std::string status;  // the status code as written: optimal, time_limit, not_run, ...
    std::optional<double> objective;
    std::optional<double> dualBound;
    std::optional<double> solveSeconds;
    std::optional<double> timeLimit;  // the run's, repeated on each row; none: no limit
    std::string check;                // ok, wrong, better, unknown; empty without a .solu check
    std::string solutionCheck;        // feasible, infeasible, no_solution, not_checked; empty when not there
};

// The rows of a details file's text, columns found by their header names so that columns
// added or moved do not matter; model, status and solve_seconds must be there, the others
// may be missing (empty values then). RFC 4180 fields, LF (or CR LF) line ends, a decimal
// point. Empty, with the reason in Portuguese (line number first), when the text is out of
// shape: a row with another number of fields than the header, a quote left open, a number
// that does not read, the same model twice.
std::optional<std::vector<ModelRecord>> parseDetailsText(std::string_view text, std::string& problem);
