#include "batch/OptimizeRun.h"

#include <cstring>
#include <deque>
#include <iostream>
#include <set>

#include <unistd.h>

#include "backends/ModelFiles.h"
#include "batch/SolverPool.h"
#include "fs/Files.h"
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

std::string hostName()
{
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return "host";
    return name;
}

// Every part of a run writes the same list; the temporary's name is its own even when the
// parts run on several machines over one shared folder. A shard without the list cannot be
// merged, so there the failure is told; a whole run has no use for it.
void writeManifest(const OptimizeRequest& request)
{
    const std::string path = pathInFolder(request.outputFolder, kManifestFileName);
    const std::string temporary = path + "." + hostName() + "." + std::to_string(getpid()) + ".tmp";
    const int error = replaceFile(path, temporary, manifestText(listedModels(request.entries, request.modelFiles)));
    if (error != 0 && request.shard)
        printError("Erro ao gravar " + path + ": " + std::strerror(error) + "\n");
}

// The models that have a row in both table files stay, each with its first rows; a last
// line cut by a kill, and a row whose other half never got written, go, so that those
// models are solved again. Models are told apart by their details field, which is one to one
// with the file name where the name read back from that field may not be.
std::set<std::string> keepEarlierRows(const OptimizeRequest& request, ResultsFile& results, RecorderSetup& setup)
{
    const std::string resultsText = readWholeFile(results.path()).value_or("");
    const std::string detailsText = readWholeFile(pathInFolder(request.outputFolder, setup.detailsName)).value_or("");
    const std::vector<std::string> resultLines = resultsFileLines(resultsText);
    const std::vector<std::string> detailLines = detailsFileLines(detailsText);
    const auto resultsField = [](const std::string& line) { return detailsModelField(resultsLineModel(line)); };
    const auto detailsField = [](const std::string& line) { return detailsLineFields(line).front(); };
    std::set<std::string> inResults, inDetails, done;
    for (const std::string& line : resultLines)
        inResults.insert(resultsField(line));
    for (const std::string& line : detailLines)
        inDetails.insert(detailsField(line));
    std::set<std::string> kept;
    for (const std::string& line : resultLines) {
        const std::string model = resultsField(line);
        if (inDetails.count(model) && kept.insert(model).second)
            results.keep(line);
    }
    for (const std::string& line : detailLines) {
        const std::string model = detailsField(line);
        if (inResults.count(model) && done.insert(model).second)
            setup.keptDetails.push_back(line);
    }
    return done;
}

}  // namespace

std::vector<ListedModel> listedModels(const std::vector<std::string>& entries, ModelFileRule rule)
{
    std::vector<ListedModel> models;
    std::size_t number = 0;
    for (const std::string& path : entries) {
        const std::string name = fileName(path);
        if (isRunOwnFile(name))
            continue;
        if (isModelFile(name, rule))
            models.push_back({number, name});
        ++number;
    }
    return models;
}

RunTotals runOptimization(const OptimizeRequest& request)
{
    ResultsFile results(request.outputFolder, request.settings.solver->tableName, resultsFileName(request.shard));
    RecorderSetup setup;
    setup.detailsName = detailsFileName(request.shard);
    std::set<std::string> done;
    if (request.resume)
        done = keepEarlierRows(request, results, setup);
    if (const int error = results.create()) {
        reportWriteFailure(results, error);
        return RunTotals{};
    }
    if (!request.shard)
        removeOldResults(request.modelFolder, results);
    if (request.keepModelList)
        writeManifest(request);
    const auto solvedHere = [&](std::size_t number, const std::string& path) {
        return (!request.shard || request.shard->owns(number)) && !done.count(detailsModelField(fileName(path)));
    };
    for (const ListedModel& model : listedModels(request.entries, request.modelFiles))
        if (solvedHere(model.number, model.name))
            ++setup.modelsToSolve;
    RunRecorder recorder(request, setup);

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
        if (isRunOwnFile(fileName(path)))
            continue;
        const std::size_t modelNumber = number++;
        const bool isModel = isModelFile(fileName(path), request.modelFiles);
        if (!solvedHere(modelNumber, isModel ? path : std::string()))
            continue;
        // A live solver writes under the last banner shown: the model before must have
        // been reported before the next banner goes out.
        if (live)
            while (solvers.busy())
                show(solvers.waitForEnd());
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

bool makeSolutionsFolder(const std::string& outputFolder, RunSettings& settings)
{
    const std::string folder = pathInFolder(outputFolder, kSolutionsFolderName);
    if (const int error = makeFolder(folder)) {
        printError("Erro ao criar " + folder + ": " + std::strerror(error) + "\n");
        return false;
    }
    settings.solutionsFolder = folder;
    return true;
}

bool writeVerifiedSolu(const std::string& path, const RunTotals& totals)
{
    const std::string temporary = path + "." + hostName() + "." + std::to_string(getpid()) + ".tmp";
    if (const int error = replaceFile(path, temporary, soluText(totals.verified))) {
        printError("Erro ao gravar " + path + ": " + std::strerror(error) + "\n");
        return false;
    }
    return true;
}
