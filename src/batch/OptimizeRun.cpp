#include "batch/OptimizeRun.h"

#include <cstring>
#include <deque>
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

// The row goes into the results file first, then the report to the console. A model whose
// solver output was captured comes with its banner and that output, all in one piece.
void record(const EndedModel& ended, bool live, ResultsFile& results, RunRecorder& recorder)
{
    if (!live) {
        recorder.consoleWillWrite();
        printBanner(ended.number);
        std::cout << ended.capturedOut;
        if (!ended.capturedErr.empty())
            printError(ended.capturedErr);
    }
    if (!ended.message.empty())
        printError(ended.message);
    const int error = results.append(resultRow(ended.outcome));
    if (error)
        reportWriteFailure(results, error);
    recorder.modelEnded(ended.outcome, error == 0);
}

// The console in listing order while a lone solver process runs ahead: entries that are no
// models wait for the models before them.
class ListingOrder {
public:
    void entry(std::size_t number, bool isModel) { m_waiting.push_back({number, isModel}); }
    // Shows the banners due before the model that ended, which is then shown too.
    void show(const EndedModel& ended, ResultsFile& results, RunRecorder& recorder)
    {
        while (!m_waiting.empty() && !m_waiting.front().isModel) {
            recorder.consoleWillWrite();
            printBanner(m_waiting.front().number);
            m_waiting.pop_front();
        }
        if (!m_waiting.empty())
            m_waiting.pop_front();
        record(ended, false, results, recorder);
    }
    void finish(RunRecorder& recorder)
    {
        for (const Waiting& waiting : m_waiting) {
            recorder.consoleWillWrite();
            printBanner(waiting.number);
        }
        m_waiting.clear();
    }

private:
    struct Waiting {
        std::size_t number;
        bool isModel;
    };
    std::deque<Waiting> m_waiting;
};

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

    SolverPool solvers(request.settings);
    const bool live = solvers.live();
    const bool inOrder = request.settings.jobs <= 1;
    ListingOrder order;
    const auto show = [&](const EndedModel& ended) {
        if (inOrder && !live)
            order.show(ended, results, recorder);
        else
            record(ended, live, results, recorder);
    };

    std::size_t number = 0;
    for (const std::string& path : request.entries) {
        if (isRunTableFile(fileName(path)))
            continue;
        const std::size_t modelNumber = number++;
        const bool isModel = hasSuffix(path, "lp");
        if (inOrder && !live) {
            order.entry(modelNumber, isModel);
        } else if (live || !isModel) {
            recorder.consoleWillWrite();
            printBanner(modelNumber);
        }
        if (!isModel)
            continue;
        while (!solvers.canTake())
            show(solvers.waitForEnd());
        solvers.hand(modelNumber, path);
    }
    while (solvers.busy())
        show(solvers.waitForEnd());
    order.finish(recorder);
    std::cout.flush();
    return recorder.finish();
}
