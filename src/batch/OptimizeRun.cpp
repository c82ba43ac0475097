#include "batch/OptimizeRun.h"

#include <cstring>
#include <iostream>

#include <unistd.h>

#include "backends/SolveModel.h"
#include "fs/Paths.h"
#include "fs/Streams.h"
#include "report/ModelReport.h"
#include "report/ResultsFile.h"

namespace {

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

}  // namespace

RunTotals runOptimization(const OptimizeRequest& request)
{
    ResultsFile results(request.outputFolder, solverName(request.settings.solver));
    if (const int error = results.create()) {
        reportWriteFailure(results, error);
        return RunTotals{};
    }
    removeOldResults(request.modelFolder, results);
    RunRecorder recorder(request);

    static const std::string separator(70, '-');
    std::size_t number = 0;
    for (const std::string& path : request.entries) {
        if (isRunTableFile(fileName(path)))
            continue;
        recorder.consoleWillWrite();
        std::cout << separator << "\nMODELO " << number++ << " \n";
        if (!hasSuffix(path, "lp"))
            continue;
        const ModelOutcome outcome = solveModel(path, request.settings);
        const int error = results.append(resultRow(outcome));
        if (error)
            reportWriteFailure(results, error);
        recorder.modelEnded(outcome, error == 0);
    }
    return recorder.finish();
}
