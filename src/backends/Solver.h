#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "backends/ModelFiles.h"
#include "backends/SolverSettings.h"
#include "report/Outcome.h"

struct RunSettings;

// One solver the program can run. Each back end describes itself in one of these, and the
// registry (Solvers.cpp) lists them; nothing above the back ends names a particular solver.
struct Solver {
    const char* word;       // on the command line: "scip"
    const char* shellWord;  // at the shell's `solver` prompt ("SCIP"); null: not offered there
    const char* tableName;  // in sol_stat.csv and sol_detalhes.csv: "SCIP"
    // Why it cannot be used on this machine, as the user is told; none when it can.
    std::optional<std::string> (*unavailable)();
    // Its name and version, as the details file and the banner give them.
    std::string (*version)();
    // Solves one model file; returns the outcome, never prints a report, and notes the reading
    // time as soon as it is known.
    ModelOutcome (*solve)(const std::string& path, const RunSettings& settings, SolveNotes& notes);
    // The part of the run's memory limit the solver is told of, so that it stops by itself
    // before the process's hard limit.
    double memoryShare;
    // The model files it reads by itself; the rest its back end hands it decompressed.
    ModelKinds reads;
    // Checked before anything is solved: the message naming the first parameter (or the file)
    // the solver refuses or does not know; none when it takes them all.
    std::optional<std::string> (*refuseSettings)(const SolverSettings& settings);
};

// Every solver, the default one first.
std::span<const Solver* const> solvers();
const Solver& defaultSolver();
// The solver a command-line word (any case) names; null for none.
const Solver* solverByWord(std::string_view word);
// The solver the shell's answer names exactly; null for none.
const Solver* solverByShellWord(std::string_view word);
