#pragma once

#include <optional>
#include <string>

// How a model's solve ended, whichever solver or failure ended it.
enum class ModelStatus {
    Optimal,
    Infeasible,
    Unbounded,
    InfeasibleOrUnbounded,
    TimeLimit,
    HardTimeLimit,  // the solver process was stopped from outside at the hard time limit
    MemoryLimit,    // the solver stopped by its own memory limit
    OutOfMemory,    // the model ran out of memory
    NodeLimit,
    GapLimit,
    SolutionLimit,
    RestartLimit,
    ObjectiveLimit,      // SCIP's primal or dual limit
    UserObjectiveLimit,  // Gurobi's BestObjStop/BestBdStop
    Cutoff,
    IterationLimit,
    WorkLimit,
    UserInterrupt,
    Terminated,
    NumericError,
    Suboptimal,
    Unknown,
    ReadError,
    SolverError,
    Crashed,  // the solver process died
};

// The Portuguese text of a status, as the console and the results file show it.
const char* statusText(ModelStatus status);

// Which lines the console report of a model has.
enum class ReportLines {
    NameTimeStatus,  // TEMPO shows "-" when there is no solving time
    NameStatus,      // nothing was solved
    NameOnly,        // Gurobi's out-of-memory report
};

// How far a back end has got with a model, noted as it goes, for whoever has to speak for the
// model if its solver process dies.
struct SolveNotes {
    bool readFinished = false;
    double readSeconds = 0;
};

// What a back end says of one model.
struct ModelOutcome {
    std::string name;  // the model's file name
    ModelStatus status = ModelStatus::Unknown;
    ReportLines lines = ReportLines::NameTimeStatus;
    std::optional<double> readSeconds;   // none when reading never finished
    std::optional<double> solveSeconds;  // the solver's own time
    std::optional<double> objective;     // the primal bound; SCIP gives 1e20 without a solution

    // What solvers say beyond the results file's columns; none where a solver cannot say.
    std::optional<double> dualBound;
    std::optional<double> gap;
    std::optional<long long> nodes;
    std::optional<long long> lpIterations;

    // What the run measures around the solver.
    std::optional<double> wallSeconds;   // around reading and solving, in the solver process
    std::optional<double> peakMemoryMb;  // the model's own peak in its solver process
};
