#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "batch/Progress.h"
#include "batch/RunTotals.h"
#include "report/DetailsFile.h"
#include "report/Outcome.h"
#include "report/Solu.h"

struct OptimizeRequest;

// What a run does beside the results file and the reports.
struct RunOptions {
    std::optional<KnownResults> knownResults;  // from a .solu file: every model is checked
    // Why a solution could not be checked goes to standard error (the command line; the
    // shell's console stays as it always was).
    bool explainUncheckedSolutions = false;
};

// What a run's details file starts from and how many models the run will solve.
struct RecorderSetup {
    std::string detailsName;
    std::vector<std::string> keptDetails;  // whole lines of an earlier run, resumed
    std::size_t modelsToSolve = 0;
};

// Everything a run keeps beside sol_stat.csv: the details file, the checks against known
// results, the progress line and the totals. Made once the results file exists.
class RunRecorder {
public:
    RunRecorder(const OptimizeRequest& request, const RecorderSetup& setup);
    RunRecorder(const RunRecorder&) = delete;
    RunRecorder& operator=(const RunRecorder&) = delete;

    // Before a model's first line on standard output: the progress line goes out of the way
    // when both share the terminal.
    void consoleWillWrite();

    // After the model's row is written (or failed to be): its details row and check, then
    // its report on the console with the progress line redrawn below it.
    void modelEnded(const ModelOutcome& outcome, bool rowWritten);

    // At the end of the run: the progress line erased, the totals.
    RunTotals finish();

private:
    Check check(const ModelOutcome& outcome) const;

    const std::optional<KnownResults>& m_knownResults;
    bool m_explainUnchecked;
    RunDescription m_description;
    DetailsFile m_details;
    bool m_detailsOpen = false;
    ProgressLine m_progress;
    bool m_sharedTerminal;
    RunTotals m_totals;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};
