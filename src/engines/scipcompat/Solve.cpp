#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>

#include <glpk.h>
#include <scip/scip.h>

#include "engines/scipcompat/Instance.h"
#include "engines/scipcompat/Interrupt.h"
#include "engines/scipcompat/Messages.h"
#include "engines/scipcompat/MipSolve.h"
#include "engines/scipcompat/TestHooks.h"
#include "engines/glpk/GlpkGuard.h"

namespace {

using Clock = std::chrono::steady_clock;

const char* statusText(SCIP_STATUS status)
{
    switch (status) {
    case SCIP_STATUS_OPTIMAL:
        return "optimal solution found";
    case SCIP_STATUS_INFEASIBLE:
        return "infeasible";
    case SCIP_STATUS_UNBOUNDED:
        return "unbounded";
    case SCIP_STATUS_INFORUNBD:
        return "infeasible or unbounded";
    case SCIP_STATUS_TIMELIMIT:
        return "time limit reached";
    case SCIP_STATUS_USERINTERRUPT:
        return "user interrupt";
    case SCIP_STATUS_MEMLIMIT:
        return "memory limit reached";
    case SCIP_STATUS_NODELIMIT:
        return "node limit reached";
    case SCIP_STATUS_GAPLIMIT:
        return "gap limit reached";
    case SCIP_STATUS_SOLLIMIT:
        return "solution limit reached";
    default:
        return "unknown";
    }
}

bool isFinal(SCIP_STATUS status)
{
    return status == SCIP_STATUS_OPTIMAL || status == SCIP_STATUS_INFEASIBLE || status == SCIP_STATUS_UNBOUNDED
        || status == SCIP_STATUS_INFORUNBD;
}

// The closing lines of SCIP's own solve log.
void printSummary(SCIP* scip)
{
    const SCIP_STATUS status = scip->outcome.status;
    std::printf("\nSCIP Status        : %s [%s]\n", isFinal(status) ? "problem is solved" : "solving was interrupted",
                statusText(status));
    std::printf("Solving Time (sec) : %.2f\n", scip->solvingTime);
    std::printf("Primal Bound       : %+.14e\n", SCIPgetPrimalbound(scip));
    std::fflush(stdout);
}

// Limits beyond this many seconds (some 30 years) are no limits; they would not fit the
// clock's representation anyway.
constexpr double kLongestLimitSeconds = 1e9;

// GLPK takes whole megabytes; a limit below one stops the solve before it starts.
int memoryLimitMegabytes(double limit)
{
    return limit >= INT_MAX ? INT_MAX : static_cast<int>(limit);
}

SolveRequest makeRequest(SCIP* scip, glp_prob* problem, Clock::time_point start)
{
    SolveRequest request;
    request.problem = problem;
    request.statistics = &scip->statistics;
    request.memoryLimitMegabytes = memoryLimitMegabytes(scip->memoryLimit);
    request.log = scip->logEnabled;
    request.hasDeadline = scip->timeLimit < kLongestLimitSeconds;
    if (request.hasDeadline)
        request.deadline = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(scip->timeLimit));
    request.output = &scip->glpkOutput;
    request.limits = scip->limits;
    return request;
}

// GLPK checks its limit only while its use is below it, so a problem that is larger than
// the limit already stops here.
bool withinMemoryLimit(int megabytes)
{
    std::size_t total = 0;
    glp_mem_usage(nullptr, nullptr, &total, nullptr);
    return total < (static_cast<std::size_t>(megabytes) << 20);
}

// The GLPK part of a solve; false when GLPK failed fatally (its environment is gone then).
bool runGuardedSolve(const SolveRequest& request, SolveOutcome& outcome, SolveFailure& failure)
{
    captureInterrupt();
    auto body = [&request, &outcome, &failure] {
        startGlpkOutput(*request.output, request.log);
        if (takeInjectedGlpkFailure(GlpkFailurePoint::Solve))
            glp_add_rows(request.problem, -1);  // GLPK treats this as a fatal error
        if (withinMemoryLimit(request.memoryLimitMegabytes)) {
            glp_mem_limit(request.memoryLimitMegabytes);
            solveGlpkProblem(request, outcome, failure);
            glp_mem_limit(INT_MAX);  // reading and converting have no limit
        } else {
            outcome = {SCIP_STATUS_MEMLIMIT, false, 0.0};
        }
        stopGlpkOutput(*request.output);
    };
    const bool completed = runGlpkGuarded(body);
    releaseInterrupt();
    return completed;
}

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// GLPK ran out of memory during the search and took the problem with it. As SCIP stops at
// its memory limit, with the incumbent's value when the search had one; without one there
// is nothing to report but the lack of memory.
SCIP_RETCODE stopForMemory(SCIP* scip, const SolveStatistics& statistics)
{
    if (!statistics.hasIncumbent) {
        COMPAT_ERROR_MESSAGE("GLPK ran out of memory while solving\n");
        return SCIP_NOMEMORY;
    }
    scip->outcome = {SCIP_STATUS_MEMLIMIT, true, statistics.incumbent};
    scip->statistics = statistics;
    if (scip->logEnabled)
        printSummary(scip);
    return SCIP_OKAY;
}

}  // namespace

extern "C" SCIP_RETCODE SCIPsolve(SCIP* scip)
{
    if (scip == nullptr) {
        COMPAT_ERROR_MESSAGE("SCIPsolve needs a SCIP instance\n");
        return SCIP_INVALIDDATA;
    }
    glp_prob* const problem = liveProblem(*scip);
    if (scip->stage == Stage::Init) {
        COMPAT_ERROR_MESSAGE("cannot call method <SCIPsolve> in initialization stage\n");
        return SCIP_INVALIDCALL;
    }
    if (scip->stage == Stage::LostProblem) {
        COMPAT_ERROR_MESSAGE("the problem was lost when GLPK failed; read it again\n");
        return SCIP_INVALIDCALL;
    }
    if (scip->solved)
        return SCIP_OKAY;  // as SCIP: a solved problem stays solved

    const Clock::time_point start = Clock::now();
    scip->outcome = SolveOutcome{};
    scip->statistics = SolveStatistics{};
    SolveOutcome outcome;
    if (scip->stage == Stage::EmptyProblem) {
        outcome = {SCIP_STATUS_OPTIMAL, true, 0.0};
    } else if (scip->boundsContradict) {
        outcome = {SCIP_STATUS_INFEASIBLE, false, 0.0};
    } else if (scip->memoryLimit < 1.0) {
        outcome = {SCIP_STATUS_MEMLIMIT, false, 0.0};
    } else {
        const SolveRequest request = makeRequest(scip, problem, start);
        SolveFailure failure;
        if (!runGuardedSolve(request, outcome, failure)) {
            const SolveStatistics statistics = scip->statistics;
            loseGlpkObjects(*scip);
            scip->solvingTime = secondsSince(start);
            const GlpkOutput& output = scip->glpkOutput;
            if (glpkOutOfMemory(output))
                return stopForMemory(scip, statistics);
            COMPAT_ERROR_MESSAGE("GLPK failed while solving: %s%s%s\n", output.previousLine,
                                 output.previousLine[0] != '\0' ? " " : "", output.lastLine);
            return SCIP_LPERROR;
        }
        if (failure.routine != nullptr) {
            scip->solvingTime = secondsSince(start);
            COMPAT_ERROR_MESSAGE("%s failed with return code %d\n", failure.routine, failure.code);
            return SCIP_LPERROR;
        }
    }
    scip->outcome = outcome;
    scip->solved = isFinal(outcome.status);
    scip->solvingTime = secondsSince(start);
    if (scip->logEnabled)
        printSummary(scip);
    return SCIP_OKAY;
}
