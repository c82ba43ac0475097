#include "batch/RunRecord.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>

#include <unistd.h>

#include "backends/gurobi/GurobiLibrary.h"
#include "backends/scip/ScipEngine.h"
#include "batch/OptimizeRun.h"
#include "fs/Paths.h"
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
    run.solver = solverName(settings.solver);
    run.solverVersion = settings.solver == Solver::Gurobi ? gurobiVersion() : scipEngineName();
    run.timeLimit = settings.timeLimit;
    run.memoryLimitMb = settings.memoryLimitMb;
    run.jobs = settings.jobs;
    run.host = hostName();
    run.startedAt = isoUtcTime(std::chrono::duration_cast<std::chrono::seconds>(
                                   std::chrono::system_clock::now().time_since_epoch())
                                   .count());
    run.lumbrixVersion = LUMBRIX_VERSION;
    return run;
}

// The direction of an LP file's objective: its first word that is no comment.
std::optional<Sense> objectiveSense(const std::string& path)
{
    std::ifstream file(path);
    std::string word;
    for (std::string line; std::getline(file, line);) {
        const std::size_t begin = line.find_first_not_of(" \t\r");
        if (begin == std::string::npos || line[begin] == '\\')
            continue;
        word = line.substr(begin, 3);
        break;
    }
    std::transform(word.begin(), word.end(), word.begin(), [](unsigned char c) { return std::tolower(c); });
    if (word == "min")
        return Sense::Minimize;
    if (word == "max")
        return Sense::Maximize;
    return std::nullopt;
}

}  // namespace

RunRecorder::RunRecorder(const OptimizeRequest& request, const RecorderSetup& setup)
    : m_modelFolder(request.modelFolder), m_knownResults(request.options.knownResults),
      m_description(describeRun(request.settings)), m_details(request.outputFolder, setup.detailsName),
      m_progress(progressWanted(request.settings), setup.modelsToSolve),
      m_sharedTerminal(isatty(STDOUT_FILENO) != 0)
{
    m_totals.started = true;
    m_totals.checked = m_knownResults.has_value();
    // The console and standard error of a run stay as they were before the details file:
    // its failures go to the totals, which the command line reports.
    for (const std::string& line : setup.keptDetails) {
        m_details.keep(line);
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

Check RunRecorder::check(const ModelOutcome& outcome) const
{
    if (!m_knownResults)
        return Check::Unknown;
    const KnownResult* known = m_knownResults->find(outcome.name);
    SolveClaim claim{outcome.status, outcome.objective, outcome.dualBound, std::nullopt};
    const Check withoutSense = checkAgainst(known, claim);
    // The model file is read again for its direction only when the direction can change the
    // answer: a wrong answer is wrong either way, a match without a dual bound is a match.
    const bool settled = withoutSense == Check::Wrong || (withoutSense == Check::Ok && !claim.dualBound);
    if (settled || !known || (known->kind != KnownResult::Kind::Optimal && known->kind != KnownResult::Kind::Best))
        return withoutSense;
    claim.sense = objectiveSense(pathInFolder(m_modelFolder, outcome.name));
    return checkAgainst(known, claim);
}

void RunRecorder::modelEnded(const ModelOutcome& outcome, bool rowWritten)
{
    const Check result = check(outcome);
    if (m_detailsOpen) {
        if (const int error = m_details.append(detailsRow(outcome, m_description, m_knownResults ? checkCode(result) : "")))
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
