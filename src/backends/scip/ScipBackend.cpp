#include "backends/scip/ScipBackend.h"

#include <cstdio>

#include <scip/scip.h>
#include <scip/scipdefplugins.h>

#include "backends/HandedModel.h"
#include "backends/ReadClock.h"
#include "backends/scip/ScipEngine.h"
#include "backends/scip/ScipSettings.h"
#include "fs/Files.h"
#include "fs/Paths.h"
#include "fs/Streams.h"

namespace {

// SCIP's error channel names this file and the line of the failed call.
SCIP_RETCODE checked(SCIP_RETCODE code, int line)
{
    if (code != SCIP_OKAY) {
        std::fflush(stdout);
        SCIPmessagePrintErrorHeader(__FILE_NAME__, line);
        SCIPmessagePrintError("Error <%d> in function call\n", static_cast<int>(code));
    }
    return code;
}

#define SCIP_CHECKED(call) checked((call), __LINE__)

// One SCIP instance, freed on every way out.
class ScipInstance {
public:
    ScipInstance() = default;
    ~ScipInstance()
    {
        if (m_scip)
            SCIP_CHECKED(SCIPfree(&m_scip));
    }
    ScipInstance(const ScipInstance&) = delete;
    ScipInstance& operator=(const ScipInstance&) = delete;

    SCIP_RETCODE create() { return SCIP_CHECKED(SCIPcreate(&m_scip)); }
    // Created with its plug-ins and an empty problem, as a model is read into; false when
    // SCIP fails.
    bool createForModel()
    {
        return create() == SCIP_OKAY && SCIP_CHECKED(SCIPincludeDefaultPlugins(m_scip)) == SCIP_OKAY
            && SCIP_CHECKED(SCIPcreateProbBasic(m_scip, "lp_example")) == SCIP_OKAY;
    }
    SCIP* get() const { return m_scip; }

private:
    SCIP* m_scip = nullptr;
};

}  // namespace

ModelStatus scipModelStatus(SCIP_STATUS status)
{
    switch (status) {
    case SCIP_STATUS_OPTIMAL:
        return ModelStatus::Optimal;
    case SCIP_STATUS_TIMELIMIT:
        return ModelStatus::TimeLimit;
    case SCIP_STATUS_INFEASIBLE:
        return ModelStatus::Infeasible;
    case SCIP_STATUS_UNBOUNDED:
        return ModelStatus::Unbounded;
    case SCIP_STATUS_INFORUNBD:
        return ModelStatus::InfeasibleOrUnbounded;
    case SCIP_STATUS_USERINTERRUPT:
        return ModelStatus::UserInterrupt;
    case SCIP_STATUS_NODELIMIT:
    case SCIP_STATUS_TOTALNODELIMIT:
    case SCIP_STATUS_STALLNODELIMIT:
        return ModelStatus::NodeLimit;
    case SCIP_STATUS_MEMLIMIT:
        return ModelStatus::MemoryLimit;
    case SCIP_STATUS_GAPLIMIT:
        return ModelStatus::GapLimit;
    case SCIP_STATUS_SOLLIMIT:
    case SCIP_STATUS_BESTSOLLIMIT:
        return ModelStatus::SolutionLimit;
    case SCIP_STATUS_RESTARTLIMIT:
        return ModelStatus::RestartLimit;
    case SCIP_STATUS_PRIMALLIMIT:
    case SCIP_STATUS_DUALLIMIT:
        return ModelStatus::ObjectiveLimit;
    case SCIP_STATUS_TERMINATE:
        return ModelStatus::Terminated;
    default:
        return ModelStatus::Unknown;
    }
}

namespace {

// A model that never got as far as being solved: NOME and STATUS only.
ModelOutcome unsolved(ModelOutcome outcome, ModelStatus status)
{
    outcome.status = status;
    outcome.lines = ReportLines::NameStatus;
    return outcome;
}

// A call that failed for want of memory leaves the model without memory, whatever the call
// was doing; any other failure is the call's own kind of failure.
ModelStatus failedCallStatus(SCIP_RETCODE code, ModelStatus otherwise)
{
    return code == SCIP_NOMEMORY ? ModelStatus::OutOfMemory : otherwise;
}

// SCIP's infinity stands for "none" in what it says beyond the primal bound.
std::optional<double> finite(SCIP* scip, double value)
{
    return value < SCIPinfinity(scip) && value > -SCIPinfinity(scip) ? std::optional<double>(value) : std::nullopt;
}

// The best solution's value of every variable of the original problem, by name; none
// without a solution or when SCIP cannot give the values.
void readBestSolution(SCIP* scip, ModelOutcome& outcome)
{
    SCIP_SOL* best = SCIPgetBestSol(scip);
    if (!best)
        return;
    const int count = SCIPgetNOrigVars(scip);
    SCIP_VAR** variables = SCIPgetOrigVars(scip);
    Solution solution;
    solution.values.resize(static_cast<std::size_t>(count));
    if (count > 0 && SCIP_CHECKED(SCIPgetSolVals(scip, best, count, variables, solution.values.data())) != SCIP_OKAY)
        return;
    solution.names.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        solution.names.emplace_back(SCIPvarGetName(variables[i]));
    outcome.solution = std::move(solution);
}

void readSolvedModel(SCIP* scip, ModelOutcome& outcome)
{
    outcome.status = scipModelStatus(SCIPgetStatus(scip));
    outcome.solveSeconds = SCIPgetSolvingTime(scip);
    outcome.objective = SCIPgetPrimalbound(scip);
    outcome.dualBound = finite(scip, SCIPgetDualbound(scip));
    // Without a solution there is no gap, whatever SCIP computes from its infinities.
    if (finite(scip, *outcome.objective))
        outcome.gap = finite(scip, SCIPgetGap(scip));
    outcome.nodes = SCIPgetNNodes(scip);
    outcome.lpIterations = SCIPgetNLPIterations(scip);
    readBestSolution(scip, outcome);
}

// The model files this SCIP reads by itself: the engine reads every kind; SCIP reads gzip
// when built with zlib, and bzip2 never.
ModelKinds scipReads()
{
    ModelKinds kinds;
#if defined(LUMBRIX_SCIP_COMPAT)
    kinds.gzip = true;
    kinds.bzip2 = true;
#elif defined(SCIP_WITH_ZLIB)
    kinds.gzip = true;
#endif
    return kinds;
}

// Reads the model, decompressed for SCIP where it cannot. A model whose decompression
// failed was not read whole, however far SCIP got.
SCIP_RETCODE readModel(SCIP* scip, const std::string& path)
{
    HandedModel model(path, scipSolver().reads);
    const SCIP_RETCODE read = SCIP_CHECKED(SCIPreadProb(scip, model.path().c_str(), model.extension()));
    if (const std::optional<std::string> failure = model.finish()) {
        std::fflush(stdout);
        SCIPmessagePrintError("error reading file <%s>: %s\n", path.c_str(), failure->c_str());
        return SCIP_READERROR;
    }
    return read;
}

}  // namespace

ModelOutcome solveWithScip(const std::string& path, const RunSettings& settings, SolveNotes& notes)
{
    ModelOutcome outcome;
    outcome.name = fileName(path);

    // Without an instance, its plug-ins and an empty problem there is nothing to read into.
    ScipInstance instance;
    SCIP* scip = instance.createForModel() ? instance.get() : nullptr;
    if (!scip) {
        outcome.readSeconds = 0.0;
        return unsolved(outcome, ModelStatus::SolverError);
    }

    const long long t0 = readClockMillis();
    const SCIP_RETCODE read = isRegularFile(path) ? readModel(scip, path) : SCIP_NOFILE;
    outcome.readSeconds = readSeconds(t0, readClockMillis());
    notes = {true, *outcome.readSeconds};
    // A model that was not read in full must not be reported as solved.
    if (read != SCIP_OKAY)
        return unsolved(outcome, failedCallStatus(read, ModelStatus::ReadError));
    outcome.sense = SCIPgetObjsense(scip) == SCIP_OBJSENSE_MAXIMIZE ? Sense::Maximize : Sense::Minimize;

    // A limit SCIP refuses is reported, and the model is solved without it.
    if (settings.timeLimit)
        SCIP_CHECKED(SCIPsetRealParam(scip, "limits/time", *settings.timeLimit));
    // SCIP counts only its own memory, below the process's hard limit, so that it stops first.
    if (const auto megabytes = settings.solverMemoryLimitMb())
        SCIP_CHECKED(SCIPsetRealParam(scip, "limits/memory", *megabytes));
    if (!settings.log)
        SCIP_CHECKED(SCIPsetMessagehdlr(scip, nullptr));
    // Checked before the run; a refusal now is SCIP's failure.
    if (const auto refused = applyScipSettings(scip, settings.solverSettings)) {
        printError("Erro: " + *refused + "\n");
        return unsolved(outcome, ModelStatus::SolverError);
    }
    if (const SCIP_RETCODE solved = SCIP_CHECKED(SCIPsolve(scip)); solved != SCIP_OKAY) {
        // SCIP has no solution to query after a failed solve (and leaves its Ctrl-C handler
        // behind, which the solver process puts right).
        outcome.status = failedCallStatus(solved, ModelStatus::SolverError);
        outcome.solveSeconds = SCIPgetSolvingTime(scip);
        return outcome;
    }
    readSolvedModel(scip, outcome);
    return outcome;
}

std::optional<std::string> refuseScipSettings(const SolverSettings& settings)
{
    if (settings.empty())
        return std::nullopt;
    ScipInstance instance;
    if (!instance.createForModel())
        return "o SCIP não pôde ser iniciado para verificar os parâmetros";
    SCIP* scip = instance.get();
    SCIPsetMessagehdlr(scip, nullptr);
    if (auto refused = refusedScipSetting(scip, settings))
        return refused;
    return applyScipSettings(scip, settings);
}

const Solver& scipSolver()
{
    static const Solver solver{"scip",         "SCIP",        "SCIP", [] { return std::optional<std::string>(); },
                               scipEngineName, solveWithScip, 0.8,    scipReads(), refuseScipSettings};
    return solver;
}
