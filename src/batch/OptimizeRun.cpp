#include "batch/OptimizeRun.h"

#include <cstring>
#include <iostream>

#include <unistd.h>

#include "batch/SolverPool.h"
#include "fs/Paths.h"
#include "fs/Streams.h"
#include "report/ModelReport.h"
#include "report/ResultsFile.h"

namespace {

const std::string kSeparator(70, '-');

void printBanner(std::size_t number)
{
    std::cout << kSeparator << "\nMODELO " << number << " \n";
}

void reportWriteFailure(const ResultsFile& results, int error)
{
    printError("Erro ao gravar " + results.path() + ": " + std::strerror(error) + "\n");
}

// An old results file in the model folder is no model. It goes once the run is sure to
// happen, unless it is this run's own file; one that may not be removed (a shared read-only
// folder) is left alone.
void removeOldResults(const std::string& modelFolder, const ResultsFile& results)
{
    const std::string old = pathInFolder(modelFolder, kResultsFileName);
    if (!results.isFile(old))
        static_cast<void>(unlink(old.c_str()));
}

// The row goes into the results file first, then the report to the console. Side by side,
// a model's banner and what its solver wrote come with its report, all in one piece.
void record(const EndedModel& ended, bool sideBySide, ResultsFile& results)
{
    if (sideBySide) {
        printBanner(ended.number);
        std::cout << ended.capturedOut;
        if (!ended.capturedErr.empty())
            printError(ended.capturedErr);
    }
    if (!ended.message.empty())
        printError(ended.message);
    if (const int error = results.append(resultRow(ended.outcome)))
        reportWriteFailure(results, error);
    std::cout << consoleReport(ended.outcome);
    if (sideBySide)
        std::cout.flush();
}

}  // namespace

void runOptimization(const OptimizeRequest& request)
{
    ResultsFile results(request.outputFolder, solverName(request.settings.solver));
    if (const int error = results.create()) {
        reportWriteFailure(results, error);
        return;
    }
    removeOldResults(request.modelFolder, results);

    const bool sideBySide = request.settings.jobs > 1;
    SolverPool solvers(request.settings);
    std::size_t number = 0;
    for (const std::string& path : request.entries) {
        if (fileName(path) == kResultsFileName)
            continue;
        const std::size_t modelNumber = number++;
        const bool isModel = hasSuffix(path, "lp");
        if (!sideBySide || !isModel)
            printBanner(modelNumber);
        if (!isModel)
            continue;
        while (!solvers.hasIdle())
            record(solvers.waitForEnd(), sideBySide, results);
        solvers.hand(modelNumber, path);
        if (!sideBySide)
            record(solvers.waitForEnd(), sideBySide, results);
    }
    while (solvers.busy())
        record(solvers.waitForEnd(), sideBySide, results);
    std::cout.flush();
}
