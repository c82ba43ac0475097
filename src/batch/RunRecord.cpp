#include "batch/RunRecord.h"

#include <iostream>

#include <unistd.h>

#include "batch/OptimizeRun.h"
#include "fs/Paths.h"
#include "fs/Streams.h"
#include "report/ModelReport.h"
#include "report/ResultsFile.h"

namespace {

std::string hostName()
{
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

RunDescription describeRun(const RunSettings& settings)
{
    RunDescription run;
    run.solver = settings.solver->tableName;
    run.solverVersion = settings.solver->version();
    run.timeLimit = settings.timeLimit;
    run.memoryLimitMb = settings.memoryLimitMb;
    run.jobs = settings.jobs;
    run.host = hostName();
    run.startedAt = isoUtcTime(std::chrono::duration_cast<std::chrono::seconds>(
                                   std::chrono::system_clock::now().time_since_epoch())
                                   .count());
    run.lumbrixVersion = LUMBRIX_VERSION;
    run.settings = settingsText(settings.solverSettings);
    return run;
}

}  // namespace

RunRecorder::RunRecorder(const OptimizeRequest& request, const RecorderSetup& setup)
    : m_knownResults(request.options.knownResults),
      m_explainUnchecked(request.options.explainUncheckedSolutions),
      m_description(describeRun(request.settings)), m_details(request.outputFolder, setup.detailsName),
      m_progress(progressWanted(request.settings), setup.modelsToSolve),
      m_sharedTerminal(isatty(STDOUT_FILENO) != 0)
{
    m_totals.started = true;
    m_totals.checked = m_knownResults.has_value();
    // The console and standard error of a run stay as they were before the details file:
    // its failures go to the totals, which the command line reports.
    for (const std::string& line : setup.keptDetails) {
        m_details.keep(detailsLineWithEveryColumn(line));
        m_totals.addKept(line);
    }
    if (const int error = m_details.create())
        m_totals.detailsFailed(error);
    else
        m_detailsOpen = true;
    m_progress.draw();
}

// A report that goes to a file leaves the line up while the model is solved; only a message
// of the solver's on standard error may then land on it.
void RunRecorder::consoleWillWrite()
{
    if (m_sharedTerminal)
        m_progress.erase();
}

// A solution that breaks the model is a wrong answer whatever the known results say.
Check RunRecorder::check(const ModelOutcome& outcome) const
{
    if (outcome.check && outcome.check->result == SolutionCheck::Infeasible)
        return Check::Wrong;
    if (!m_knownResults)
        return Check::Unknown;
    return checkAgainst(m_knownResults->find(outcome.name),
                        SolveClaim{outcome.status, outcome.objective, outcome.dualBound, outcome.sense});
}

void RunRecorder::modelEnded(const ModelOutcome& outcome, bool rowWritten)
{
    const Check result = check(outcome);
    if (m_explainUnchecked && outcome.check && outcome.check->result == SolutionCheck::NotChecked)
        printError("Solução não verificada (" + outcome.name + "): " + outcome.check->reason + "\n");
    const bool checked = m_knownResults || result == Check::Wrong;
    if (m_detailsOpen) {
        if (const int error = m_details.append(detailsRow(outcome, m_description, checked ? checkCode(result) : "")))
            m_totals.detailsFailed(error);
    } else {
        m_totals.detailsFailed(m_totals.detailsError);
    }
    m_totals.add(outcome, result, rowWritten);
    m_progress.modelEnded(outcome.status == ModelStatus::Optimal, isFailure(outcome.status));

    m_progress.erase();
    std::cout << consoleReport(outcome) << std::flush;
    m_progress.draw();
}

RunTotals RunRecorder::finish()
{
    m_progress.erase();
    m_totals.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    return m_totals;
}
