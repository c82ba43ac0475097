#include "backends/gurobi/GurobiBackend.h"

#include <iostream>
#include <optional>

#include "backends/ReadClock.h"
#include "backends/gurobi/GRBException.h"
#include "backends/gurobi/GurobiEnvironment.h"
#include "backends/gurobi/GurobiLibrary.h"
#include "backends/gurobi/GurobiModel.h"
#include "backends/gurobi/GurobiSettings.h"
#include "fs/Files.h"
#include "fs/Paths.h"
#include "fs/Streams.h"
#include "report/Formats.h"

namespace {

void reportLibraryError(const GRBException& error)
{
    printError("Gurobi error: " + error.message() + "\n");
}

// A value the library refuses is no value.
std::optional<int> tryAttribute(GurobiModel& model, IntAttr attribute)
{
    try {
        return model.intAttribute(attribute);
    } catch (const GRBException&) {
        return std::nullopt;
    }
}

std::optional<double> tryAttribute(GurobiModel& model, DoubleAttr attribute)
{
    try {
        return model.doubleAttribute(attribute);
    } catch (const GRBException&) {
        return std::nullopt;
    }
}

ModelStatus statusOf(int status)
{
    switch (status) {
    case 2:
        return ModelStatus::Optimal;
    case 3:
        return ModelStatus::Infeasible;
    case 4:
        return ModelStatus::InfeasibleOrUnbounded;
    case 5:
        return ModelStatus::Unbounded;
    case 6:
        return ModelStatus::Cutoff;
    case 7:
        return ModelStatus::IterationLimit;
    case 8:
        return ModelStatus::NodeLimit;
    case 9:
        return ModelStatus::TimeLimit;
    case 10:
        return ModelStatus::SolutionLimit;
    case 11:
        return ModelStatus::UserInterrupt;
    case 12:
        return ModelStatus::NumericError;
    case 13:
        return ModelStatus::Suboptimal;
    case 15:
        return ModelStatus::UserObjectiveLimit;
    case 16:
        return ModelStatus::WorkLimit;
    case 17:
        return ModelStatus::MemoryLimit;
    default:
        return ModelStatus::Unknown;
    }
}

// The environment of one model, with the log switched off when the user asked for silence;
// empty, with the error reported, when the library refuses.
bool prepareEnvironment(std::optional<GurobiEnvironment>& environment, bool log)
{
    try {
        environment.emplace();
        if (!log)
            environment->setIntParam(IntParam::OutputFlag, 0);
        environment->start();
        return true;
    } catch (const GRBException& error) {
        reportLibraryError(error);
        environment.reset();
        return false;
    }
}

// Reads the model and times the reading; empty when it cannot be read.
double readModel(GurobiEnvironment& environment, const std::string& path, std::optional<GurobiModel>& model)
{
    const long long t0 = readClockMillis();
    std::optional<GRBException> failure;
    if (isRegularFile(path)) {
        try {
            model.emplace(environment, path);
        } catch (const GRBException& error) {
            failure = error;
        }
    }
    const double seconds = readSeconds(t0, readClockMillis());
    if (failure)
        reportLibraryError(*failure);
    return seconds;
}

// A limit the library refuses is reported, and the model is solved without it.
void applyLimit(GurobiModel& model, DoubleParam parameter, double value)
{
    try {
        model.environment().setDoubleParam(parameter, value);
    } catch (const GRBException& error) {
        reportLibraryError(error);
    }
}

void applyLimits(GurobiModel& model, const RunSettings& settings)
{
    if (settings.timeLimit)
        applyLimit(model, DoubleParam::TimeLimit, *settings.timeLimit);
    // Gurobi's memory limit is in gigabytes.
    if (const auto megabytes = settings.solverMemoryLimitMb())
        applyLimit(model, DoubleParam::MemLimit, *megabytes / 1024.0);
}

void writeSummary(GurobiModel& model)
{
    try {
        const int status = model.intAttribute(IntAttr::Status);
        if (status == 2) {
            const double objective = model.doubleAttribute(DoubleAttr::ObjVal);
            const double runtime = model.doubleAttribute(DoubleAttr::Runtime);
            std::cout << "Optimal objective: " << consoleNumber(objective) << std::endl;
            std::cout << "Time: " << consoleNumber(runtime) << std::endl;
        } else if (status == 3) {
            std::cout << "Model is infeasible" << std::endl;
        }
    } catch (const GRBException& error) {
        reportLibraryError(error);
    }
}

std::optional<long long> tryCount(GurobiModel& model, DoubleAttr attribute)
{
    const std::optional<double> value = tryAttribute(model, attribute);
    if (!value || !(*value >= 0 && *value < 9e18))
        return std::nullopt;
    return static_cast<long long>(*value);
}

// The figures of the search; the library refuses the MIP ones for an LP. A gap without an
// incumbent is its infinity, and stays out.
void readSearchFigures(GurobiModel& model, ModelOutcome& outcome)
{
    outcome.dualBound = tryAttribute(model, DoubleAttr::ObjBound);
    outcome.gap = tryAttribute(model, DoubleAttr::MIPGap);
    if (outcome.gap && !(*outcome.gap < 1e100))
        outcome.gap.reset();
    outcome.nodes = tryCount(model, DoubleAttr::NodeCount);
    outcome.lpIterations = tryCount(model, DoubleAttr::IterCount);
    if (const auto sense = tryAttribute(model, IntAttr::ModelSense))
        outcome.sense = *sense == -1 ? Sense::Maximize : Sense::Minimize;
}

// The best solution, when the library has one; values it refuses leave the model without one.
void readSolution(GurobiModel& model, ModelOutcome& outcome)
{
    const std::optional<int> solutions = tryAttribute(model, IntAttr::SolCount);
    if (!solutions || *solutions <= 0)
        return;
    try {
        Solution solution;
        solution.values = model.variableValues();
        solution.names = model.variableNames();
        outcome.solution = std::move(solution);
    } catch (const GRBException& error) {
        reportLibraryError(error);
    }
}

void optimize(GurobiModel& model, const RunSettings& settings, ModelOutcome& outcome)
{
    applyLimits(model, settings);
    // Checked before the run; a refusal now is the library's failure.
    GurobiEnvironment environment = model.environment();
    if (const auto refused = applyGurobiSettings(environment, settings.solverSettings)) {
        printError("Erro: " + *refused + "\n");
        outcome.status = ModelStatus::SolverError;
        return;
    }
    try {
        model.optimize();
    } catch (const GRBException& error) {
        if (error.errorCode() == kGurobiOutOfMemory) {
            printError("Out of memory error: " + error.message() + "\n");
            outcome.status = ModelStatus::OutOfMemory;
            outcome.lines = ReportLines::NameOnly;
        } else {
            reportLibraryError(error);
            outcome.status = ModelStatus::SolverError;
            outcome.solveSeconds = tryAttribute(model, DoubleAttr::Runtime);
        }
        return;
    }
    writeSummary(model);
    // A status the library does not give is as unknown as one outside the table.
    outcome.status = statusOf(tryAttribute(model, IntAttr::Status).value_or(0));
    outcome.objective = tryAttribute(model, DoubleAttr::ObjVal);
    outcome.solveSeconds = tryAttribute(model, DoubleAttr::Runtime);
    readSearchFigures(model, outcome);
    readSolution(model, outcome);
}

}  // namespace

ModelOutcome solveWithGurobi(const std::string& path, const RunSettings& settings, SolveNotes& notes)
{
    ModelOutcome outcome;
    outcome.name = fileName(path);
    std::optional<GurobiEnvironment> environment;
    if (!prepareEnvironment(environment, settings.log)) {
        // Nothing was read for this model.
        outcome.readSeconds = 0.0;
        outcome.status = ModelStatus::SolverError;
        outcome.lines = ReportLines::NameStatus;
        return outcome;
    }
    // The model goes before the environment it was read with.
    std::optional<GurobiModel> model;
    outcome.readSeconds = readModel(*environment, path, model);
    notes = {true, *outcome.readSeconds};
    if (model) {
        optimize(*model, settings, outcome);
    } else {
        outcome.status = ModelStatus::ReadError;
        outcome.lines = ReportLines::NameStatus;
    }
    return outcome;
}

std::optional<std::string> refuseGurobiSettings(const SolverSettings& settings)
{
    if (settings.empty())
        return std::nullopt;
    // An environment as each model's starts, only to ask the library.
    std::optional<GurobiEnvironment> environment;
    if (!prepareEnvironment(environment, false))
        return "o Gurobi não pôde ser iniciado para verificar os parâmetros";
    return applyGurobiSettings(*environment, settings);
}

const Solver& gurobiSolver()
{
    static const Solver solver{"gurobi",
                               "GUROBI",
                               "GUROBI",
                               [] {
                                   if (isGurobiLibraryAvailable())
                                       return std::optional<std::string>();
                                   return std::optional<std::string>(std::string("Bilioteca '") + kGurobiLibraryName
                                                                     + "' não encontrada");
                               },
                               gurobiVersion,
                               solveWithGurobi,
                               0.8,
                               // Gurobi reads .gz and .bz2 files itself, choosing by the name.
                               ModelKinds{true, true},
                               refuseGurobiSettings};
    return solver;
}
