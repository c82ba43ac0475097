#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <string>

#include "report/Outcome.h"
#include "report/Solu.h"

// What a run adds up, for its exit status and its closing summary.
struct RunTotals {
    bool started = false;  // false: the results file could not be created
    std::size_t models = 0;
    std::map<std::string, std::size_t> statuses;  // by status code
    std::size_t failures = 0;                     // read errors, solver errors, crashes
    std::size_t unwrittenRows = 0;         // in sol_stat.csv
    std::size_t unwrittenDetails = 0;      // in the details file, the header included
    int detailsError = 0;                  // the errno of the last failure there
    bool checked = false;  // the run had known results to check against
    std::array<std::size_t, 4> checks{};  // by Check
    std::array<std::size_t, 4> solutionChecks{};  // by SolutionCheck, of the models that got to it
    std::size_t unsavedSolutions = 0;  // to be kept in the solutions folder, and not written
    KnownResults verified;  // what the run proved, for a .solu file of its own
    double wallSeconds = 0;
    std::size_t timedModels = 0;
    double sumLogShiftedTimes = 0;  // of ln(solving time + 1 s)

    void add(const ModelOutcome& outcome, Check check, bool rowWritten);
    // A model an earlier part of the run recorded (a resumed run counts it as its own): its
    // details row, as written.
    void addKept(const std::string& detailsLine);
    void detailsFailed(int error);
    std::size_t count(Check check) const { return checks[static_cast<std::size_t>(check)]; }
    std::size_t count(SolutionCheck check) const { return solutionChecks[static_cast<std::size_t>(check)]; }
    // exp(mean of ln(t + 1)) - 1 over the models with a solving time; 0 when none has one.
    double shiftedGeometricMean() const;
    // 0: every model has its rows, none failed, no check went wrong (an infeasible solution is
    // wrong), every solution to be kept was written; 1 otherwise; 2 when the run never started.
    int exitStatus() const;
};

// The closing summary of a command-line run, for standard error.
std::string summaryText(const RunTotals& totals);
