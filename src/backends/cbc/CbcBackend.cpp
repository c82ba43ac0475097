#include "backends/cbc/CbcBackend.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <sstream>
#include <vector>

#include <CbcModel.hpp>
#include <CbcSolver.hpp>
#include <Cbc_C_Interface.h>
#include <OsiClpSolverInterface.hpp>

#include "backends/ReadClock.h"
#include "backends/cbc/CbcInterrupt.h"
#include "backends/cbc/CbcProblem.h"
#include "backends/cbc/CbcSettings.h"
#include "engines/model/LinearLayout.h"
#include "engines/model/ModelFile.h"
#include "fs/Paths.h"
#include "fs/Streams.h"

namespace {

// A model as CBC gets it: the file as Lumbrix reads it, and its rows and columns.
struct ReadModel {
    std::shared_ptr<const LpModel> model;
    LinearLayout layout;
};

std::string readFailure(const std::string& path, const LpReadError& error)
{
    std::ostringstream text;
    text << "error reading file <" << path << ">: " << path;
    if (error.line > 0)
        text << ":" << error.line;
    text << ": " << error.message << "\n";
    return text.str();
}

// Reads the model with Lumbrix's own reader; false, with the reason on standard error, when
// it cannot be read or has no exact formulation for CBC.
bool readModel(const std::string& path, ReadModel& read)
{
    const std::optional<ModelKind> kind = modelKindOfName(path);
    if (!kind) {
        printError("no reader for input file <" + path + "> available\n");
        return false;
    }
    LpReadError error;
    const int failure = readModelFileKept(path.c_str(), *kind, read.model, error);
    if (failure > 0) {
        printError("cannot open file <" + path + "> for reading: " + std::strerror(failure) + "\n");
        return false;
    }
    if (failure < 0 || !planLinearLayout(*read.model, read.layout, error, clpRelaxationBounds)) {
        printError(readFailure(path, error));
        return false;
    }
    return true;
}

// CBC's command line for one solve: the program's own limits first, the user's settings
// after them (so that theirs win), then the solve.
std::vector<std::string> solveArguments(const RunSettings& settings, const std::vector<SolverSetting>& chosen)
{
    std::vector<std::string> arguments{"lumbrix", "-log", settings.log ? "1" : "0", "-slog", settings.log ? "1" : "0"};
    if (settings.timeLimit) {
        // The run's time limits are on the wall clock; CBC counts processor time unless told.
        arguments.push_back("-timeMode");
        arguments.push_back("elapsed");
        arguments.push_back("-seconds");
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.17g", *settings.timeLimit);
        arguments.push_back(seconds);
    }
    for (std::string& argument : cbcArguments(chosen))
        arguments.push_back(std::move(argument));
    arguments.push_back("-solve");
    arguments.push_back("-quit");
    return arguments;
}

// Called by CBC between its phases: a Ctrl-C pressed before the search stops CBC there;
// during the search the handler stops it.
int betweenPhases(CbcModel* model, int whereFrom)
{
    constexpr int kAfterPreprocessing = 2;
    constexpr int kBeforeSearch = 3;
    constexpr int kAfterSearch = 4;
    // CBC deletes the model it would have searched when told to stop here: the handler is
    // never given it then.
    if ((whereFrom == kAfterPreprocessing || whereFrom == kBeforeSearch) && CbcInterrupt::pressed())
        return 1;
    if (whereFrom == kBeforeSearch)
        CbcInterrupt::searching(model);
    else if (whereFrom == kAfterSearch)
        CbcInterrupt::searching(nullptr);
    return 0;
}

// Runs CBC's solver driver on the model, as its command line would with these arguments.
void runCbc(CbcModel& model, const RunSettings& settings, const std::vector<SolverSetting>& chosen)
{
    CbcSolverUsefulData data;
    data.noPrinting_ = !settings.log;
    data.useSignalHandler_ = false;  // CbcInterrupt's handler instead
    CbcMain0(model, data);
    const std::vector<std::string> arguments = solveArguments(settings, chosen);
    std::vector<const char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    CbcInterrupt interrupt;
    CbcMain1(static_cast<int>(argv.size()), argv.data(), model, betweenPhases, data);
}

// CBC's secondary status after a stopped search.
ModelStatus stoppedStatus(int secondary)
{
    switch (secondary) {
    case 2:
        return ModelStatus::GapLimit;
    case 3:
        return ModelStatus::NodeLimit;
    case 4:
        return ModelStatus::TimeLimit;
    case 5:
        return ModelStatus::UserInterrupt;
    case 6:
        return ModelStatus::SolutionLimit;
    case 8:
        return ModelStatus::IterationLimit;
    default:
        return ModelStatus::Unknown;
    }
}

// CBC ends a search that got within its allowed gap (allowableGap, ratioGap) as finished, with
// the bound left apart from the solution; a search that ran out of nodes closes the two.
bool stoppedOnGap(const CbcModel& model)
{
    const double primal = model.getObjValue();
    const double dual = model.getBestPossibleObjValue();
    return std::isfinite(dual) && std::fabs(primal - dual) > 1e-9 * std::max(1.0, std::fabs(primal));
}

// What CBC's status and secondary status say (see CbcModel::status()).
ModelStatus cbcStatus(const CbcModel& model, bool hasIntegers)
{
    if (CbcInterrupt::pressed())
        return ModelStatus::UserInterrupt;
    switch (model.status()) {
    case 0:
        if (model.secondaryStatus() == 1 || model.isProvenInfeasible())
            return ModelStatus::Infeasible;
        if (model.secondaryStatus() == 7 || model.isContinuousUnbounded())
            // Without integers the relaxation is the model; with them, it may have no solution.
            return !hasIntegers || model.bestSolution() ? ModelStatus::Unbounded : ModelStatus::InfeasibleOrUnbounded;
        if (!model.bestSolution())
            return model.isProvenOptimal() ? ModelStatus::Optimal : ModelStatus::Unknown;
        return stoppedOnGap(model) ? ModelStatus::GapLimit : ModelStatus::Optimal;
    case 1:
        return stoppedStatus(model.secondaryStatus());
    case 2:
        return ModelStatus::NumericError;
    case 5:
        return ModelStatus::UserInterrupt;
    default:
        return ModelStatus::Unknown;
    }
}

std::optional<double> finite(double value)
{
    return std::isfinite(value) && std::fabs(value) < 1e50 ? std::optional<double>(value) : std::nullopt;
}

// The gap as SCIP and the engine give it: |primal - dual| / min(|primal|, |dual|), zero when
// they meet, none when they have different signs or one is zero.
std::optional<double> gapOf(double primal, double dual)
{
    if (primal == dual)
        return 0.0;
    if (primal == 0.0 || dual == 0.0 || (primal > 0) != (dual > 0))
        return std::nullopt;
    return std::fabs(primal - dual) / std::min(std::fabs(primal), std::fabs(dual));
}

void readSolution(const CbcModel& model, const LpModel& lp, ModelOutcome& outcome)
{
    const double* values = model.bestSolution();
    if (!values)
        return;
    Solution solution;
    solution.values.assign(values, values + lp.columns.size());
    solution.names.reserve(lp.columns.size());
    for (const LpColumn& column : lp.columns)
        solution.names.emplace_back(column.name);
    outcome.solution = std::move(solution);
}

// Everything CBC says of a model it solved, with the objective's constant added back.
void readResults(const CbcModel& model, const ReadModel& read, ModelOutcome& outcome)
{
    const bool hasIntegers = model.solver()->getNumIntegers() > 0;
    outcome.status = cbcStatus(model, hasIntegers);
    const double offset = read.layout.objectiveOffset;
    if (model.bestSolution())
        outcome.objective = model.getObjValue() + offset;
    // A bound says something only of a model that has solutions and a finite optimum.
    const bool bounded = outcome.status != ModelStatus::Infeasible && outcome.status != ModelStatus::Unbounded
        && outcome.status != ModelStatus::InfeasibleOrUnbounded;
    if (const std::optional<double> bound = finite(model.getBestPossibleObjValue()); bound && bounded)
        outcome.dualBound = *bound + offset;
    if (outcome.objective && outcome.dualBound)
        outcome.gap = gapOf(*outcome.objective, *outcome.dualBound);
    outcome.nodes = model.getNodeCount();
    // Without integers CBC solves the LP alone and counts its iterations there.
    outcome.lpIterations = hasIntegers ? model.getIterationCount() : model.solver()->getIterationCount();
    readSolution(model, *read.model, outcome);
}

// A model that never got as far as being solved: NOME and STATUS only.
ModelOutcome unsolved(ModelOutcome outcome, ModelStatus status)
{
    outcome.status = status;
    outcome.lines = ReportLines::NameStatus;
    return outcome;
}

// Reads the model and hands it to CBC's LP solver; false when it cannot be read.
bool loadModel(const std::string& path, ReadModel& read, OsiClpSolverInterface& solver)
{
    try {
        if (!readModel(path, read))
            return false;
        loadCbcProblem(*read.model, read.layout, solver);
        return true;
    } catch (const std::bad_alloc&) {
        printError("not enough memory to read file <" + path + ">\n");
        return false;
    }
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

ModelOutcome solveWithCbc(const std::string& path, const RunSettings& settings, SolveNotes& notes)
{
    ModelOutcome outcome;
    outcome.name = fileName(path);
    std::string problem;
    const std::optional<std::vector<SolverSetting>> chosen = cbcSettingsInOrder(settings.solverSettings, problem);
    if (!chosen) {
        printError(problem + "\n");
        outcome.readSeconds = 0.0;
        return unsolved(outcome, ModelStatus::SolverError);
    }
    const long long t0 = readClockMillis();
    ReadModel read;
    OsiClpSolverInterface solver;
    const bool loaded = loadModel(path, read, solver);
    outcome.readSeconds = readSeconds(t0, readClockMillis());
    notes = {true, *outcome.readSeconds};
    if (!loaded)
        return unsolved(outcome, ModelStatus::ReadError);
    outcome.sense = read.layout.maximize ? Sense::Maximize : Sense::Minimize;
    const auto begun = std::chrono::steady_clock::now();
    try {
        // CBC's model takes a copy of the LP solver.
        CbcModel model(solver);
        runCbc(model, settings, *chosen);
        outcome.solveSeconds = secondsSince(begun);
        readResults(model, read, outcome);
    } catch (const std::bad_alloc&) {
        // At the process's hard limit an allocation inside CBC fails and unwinds to here.
        outcome.solveSeconds = secondsSince(begun);
        std::fflush(stdout);
        printError("CBC ran out of memory\n");
        return unsolved(outcome, ModelStatus::OutOfMemory);
    }
    return outcome;
}

const Solver& cbcSolver()
{
    static const Solver solver{"cbc",
                               nullptr,
                               "CBC",
                               [] { return std::optional<std::string>(); },
                               [] { return std::string("CBC ") + Cbc_getVersion(); },
                               solveWithCbc,
                               // CBC has no memory limit of its own: the process's hard limit stops it.
                               1.0,
                               // Lumbrix's own reader reads every kind.
                               ModelKinds{true, true},
                               refuseCbcSettings};
    return solver;
}
