#pragma once

#include <optional>
#include <string>

#include "backends/Solver.h"

// What steers a run; the shell owns it and hands it down.
struct RunSettings {
    const Solver* solver = &defaultSolver();
    std::optional<double> timeLimit;  // seconds per model (any value but 0); none: no limit
    bool log = true;                  // the solver's own log on the console
    std::optional<double> memoryLimitMb;  // per model; none: no limit
    int jobs = 1;                         // models solved side by side
    // The check of every solution against its model file, after the solve.
    double feasibilityTolerance = 1e-6;  // rows and bounds: absolute, relative above 1
    double integralityTolerance = 1e-5;
    std::string solutionsFolder;  // where each model's solution is kept; empty: nowhere
    SolverSettings solverSettings;  // in the solver's own names

    // The memory limit the solver itself is told of: its share of the run's.
    std::optional<double> solverMemoryLimitMb() const
    {
        if (!memoryLimitMb)
            return std::nullopt;
        return solver->memoryShare * *memoryLimitMb;
    }
};
