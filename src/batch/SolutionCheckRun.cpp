#include "batch/SolutionCheckRun.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <unistd.h>

#include "engines/model/ModelFile.h"
#include "engines/model/SolutionCheck.h"
#include "fs/Files.h"
#include "fs/Streams.h"
#include "report/SolutionFile.h"

namespace {

// SCIP's infinity: an objective this large is no value.
constexpr double kInfinity = 1e20;

void check(const std::string& path, const RunSettings& settings, const Solution& solution, CheckedSolution& result)
{
    result.result = SolutionCheck::NotChecked;
    // The model the engine read, when it kept it; otherwise the file is read here.
    std::shared_ptr<const LpModel> model = takeKeptModel(path.c_str());
    LpReadError error;
    int failure = 0;
    if (!model) {
        auto fresh = std::make_shared<LpModel>();
        failure = readModelFile(path.c_str(), *fresh, error);
        model = std::move(fresh);
    }
    if (failure > 0) {
        result.reason = "o modelo não pôde ser lido de novo: " + std::string(std::strerror(failure));
        return;
    }
    if (failure < 0) {
        result.reason = "o modelo não pôde ser lido por Lumbrix (linha " + std::to_string(error.line)
            + ": " + error.message + ")";
        return;
    }
    std::vector<double> values;
    std::string missing;
    if (!valuesByColumn(*model, solution.names, solution.values, values, missing)) {
        result.reason = "a solução não dá valor à variável " + missing;
        return;
    }
    const SolutionVerdict verdict
        = checkSolution(*model, values, CheckTolerances{settings.feasibilityTolerance, settings.integralityTolerance});
    result.result = verdict.feasible ? SolutionCheck::Feasible : SolutionCheck::Infeasible;
    result.maxViolation = verdict.maxViolation;
    result.violated = verdict.violated;
    result.objective = verdict.objective;
}

// The solver's own objective heads the file, as SCIP writes it, so that a reader can hold it
// against the values; the recomputed one stands in when the solver gave none.
double fileObjective(const ModelOutcome& outcome, const CheckedSolution& result)
{
    if (outcome.objective && std::isfinite(*outcome.objective) && std::fabs(*outcome.objective) < kInfinity)
        return *outcome.objective;
    return result.objective.value_or(0.0);
}

// Whole or not at all: written beside under a name of this process, then renamed.
bool keepSolution(const std::string& folder, const ModelOutcome& outcome, const CheckedSolution& result)
{
    const std::string path = solutionFilePath(folder, outcome.name);
    const std::string temporary = path + "." + std::to_string(getpid()) + ".tmp";
    const int error = replaceFile(path, temporary, solutionFileText(fileObjective(outcome, result), *outcome.solution));
    if (error != 0)
        printError("Erro ao gravar " + path + ": " + std::strerror(error) + "\n");
    return error == 0;
}

}  // namespace

void checkSolvedModel(const std::string& path, const RunSettings& settings, ModelOutcome& outcome)
{
    CheckedSolution result;
    if (!outcome.solution) {
        static_cast<void>(takeKeptModel(path.c_str()));  // nothing to check: the engine's model goes
        outcome.check = result;
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    try {
        check(path, settings, *outcome.solution, result);
    } catch (const std::bad_alloc&) {
        result = CheckedSolution{};
        result.result = SolutionCheck::NotChecked;
        result.reason = "memória insuficiente para a verificação";
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!settings.solutionsFolder.empty()) {
        try {
            result.unsaved = !keepSolution(settings.solutionsFolder, outcome, result);
        } catch (const std::bad_alloc&) {
            result.unsaved = true;
        }
    }
    outcome.check = std::move(result);
    outcome.solution.reset();
}
