#pragma once

#include <optional>

enum class Solver { Scip, Gurobi };

// The solver's name as the shell takes it and the results file writes it.
inline const char* solverName(Solver solver)
{
    return solver == Solver::Gurobi ? "GUROBI" : "SCIP";
}

// What steers a run; the shell owns it and hands it down.
struct RunSettings {
    Solver solver = Solver::Scip;
    std::optional<double> timeLimit;  // seconds per model (any value but 0); none: no limit
    bool log = true;                  // the solver's own log on the console
    std::optional<double> memoryLimitMb;  // per model; none: no limit
    int jobs = 1;                         // models solved side by side
};
