#pragma once

#include <optional>

#include "backends/Solver.h"

// What steers a run; the shell owns it and hands it down.
struct RunSettings {
    const Solver* solver = &defaultSolver();
    std::optional<double> timeLimit;  // seconds per model (any value but 0); none: no limit
    bool log = true;                  // the solver's own log on the console
    std::optional<double> memoryLimitMb;  // per model; none: no limit
    int jobs = 1;                         // models solved side by side

    // The memory limit the solver itself is told of: its share of the run's.
    std::optional<double> solverMemoryLimitMb() const
    {
        if (!memoryLimitMb)
            return std::nullopt;
        return solver->memoryShare * *memoryLimitMb;
    }
};
