#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

// How a model's solve ended, whichever solver or failure ended it. Everything the program
// says of a status is in the status table (Outcome.cpp).
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

// Which lines the console report of a model has.
enum class ReportLines {
    NameTimeStatus,  // TEMPO shows "-" when there is no solving time
    NameStatus,      // nothing was solved
    NameOnly,        // Gurobi's out-of-memory report
};

// One line of the status table.
struct StatusInfo {
    ModelStatus status;
    const char* text;   // Portuguese, as the console and sol_stat.csv show it
    const char* code;   // the stable machine code of sol_detalhes.csv
    bool failure;       // a failure of the run rather than an answer about the model
    bool saysNothing;   // the solve broke or never took place: nothing to hold against known results
    ReportLines lines;  // the report's lines, unless the back end says otherwise
};

// The table, one line per status in the order of ModelStatus.
std::span<const StatusInfo> statusTable();
const StatusInfo& statusInfo(ModelStatus status);
// The status at that place of the table, if there is one (for statuses that travel as numbers).
std::optional<ModelStatus> statusAt(long long index);

const char* statusText(ModelStatus status);
const char* statusCode(ModelStatus status);
bool isFailure(ModelStatus status);

// Every details code once, in the order a summary lists them.
std::span<const char* const> statusCodes();

enum class Sense { Minimize, Maximize };

// How far a back end has got with a model, noted as it goes, for whoever has to speak for the
// model if its solver process dies.
struct SolveNotes {
    bool readFinished = false;
    double readSeconds = 0;
};

// A solution as the solver gives it: every variable's value, by the solver's names.
struct Solution {
    std::vector<std::string> names;
    std::vector<double> values;
};

// What the check of the solution against the model file found.
enum class SolutionCheck {
    Feasible,
    Infeasible,
    NoSolution,  // the solver ended without one
    NotChecked,  // the model file could not be read by Lumbrix, or the solution lacks a variable
};

// "feasible", "infeasible", "no_solution", "not_checked".
const char* solutionCheckCode(SolutionCheck check);

struct CheckedSolution {
    SolutionCheck result = SolutionCheck::NoSolution;
    std::optional<double> maxViolation;  // in the model's units
    std::string violated;                // the worst violated row or variable
    std::optional<double> objective;     // recomputed at the solution
    std::optional<double> seconds;       // the check's own time
    std::string reason;                  // why it was not checked
    bool unsaved = false;                // the solution was to be kept and could not be
};

// What a back end says of one model.
struct ModelOutcome {
    std::string name;  // the model's file name
    ModelStatus status = ModelStatus::Unknown;
    std::optional<ReportLines> lines;    // none: the status's own
    std::optional<double> readSeconds;   // none when reading never finished
    std::optional<double> solveSeconds;  // the solver's own time
    std::optional<double> objective;     // the primal bound; SCIP gives 1e20 without a solution
    std::optional<Sense> sense;          // the objective's direction, once the model was read

    // What solvers say beyond the results file's columns; none where a solver cannot say.
    std::optional<double> dualBound;
    std::optional<double> gap;
    std::optional<long long> nodes;
    std::optional<long long> lpIterations;

    // What the run measures around the solver.
    std::optional<double> wallSeconds;   // around reading and solving, in the solver process
    std::optional<double> peakMemoryMb;  // the model's own peak in its solver process

    // The best solution found, from the back end. It never leaves the solver process: only
    // the check's result does.
    std::optional<Solution> solution;
    // None when the model never got to the check (its solver process died).
    std::optional<CheckedSolution> check;
};

// The lines the report of this outcome has.
ReportLines reportLines(const ModelOutcome& outcome);
