#include "backends/Functions.h"

#include <csignal>
#include <cstdio>

#include <scip/scip.h>
#include <scip/scipdefplugins.h>

#include "backends/ModelFile.h"
#include "backends/ReadClock.h"
#include "report/ModelReport.h"
#include "report/ResultRows.h"
#include "report/ScipReport.h"
#include "shell/Settings.h"

namespace {

// SCIP's error channel names this file and the line of the failed call.
void reportScipFailure(int line, SCIP_RETCODE code)
{
    std::fflush(stdout);
    SCIPmessagePrintErrorHeader(__FILE_NAME__, line);
    SCIPmessagePrintError("Error <%d> in function call\n", static_cast<int>(code));
}

SCIP_RETCODE checked(SCIP_RETCODE code, int line)
{
    if (code != SCIP_OKAY)
        reportScipFailure(line, code);
    return code;
}

// A failed call is reported with the line it was made on; the model then goes on.
#define SCIP_CHECKED(call) checked((call), __LINE__)

// How Ctrl-C is handled outside solves. SCIP restores it after every solve that
// succeeds, so it is the same before every solve and is taken once.
const struct sigaction& interruptHandlingBetweenSolves()
{
    static const struct sigaction handling = [] {
        struct sigaction current{};
        sigaction(SIGINT, nullptr, &current);
        return current;
    }();
    return handling;
}

}  // namespace

bool solveWithScip(std::string path)
{
    if (!hasLpSuffix(path))
        return false;

    interruptHandlingBetweenSolves();
    SCIP* scip = nullptr;
    if (SCIP_CHECKED(SCIPcreate(&scip)) != SCIP_OKAY)
        return false;
    SCIP_CHECKED(SCIPincludeDefaultPlugins(scip));
    SCIP_CHECKED(SCIPcreateProbBasic(scip, "lp_example"));

    const long long t0 = readClockMillis();
    const bool read = isRegularFile(path) && SCIP_CHECKED(SCIPreadProb(scip, path.c_str(), nullptr)) == SCIP_OKAY;
    g_readTime = readSeconds(t0, readClockMillis());

    // A model that was not read in full must not be reported as solved.
    if (!read) {
        reportUnsolved(path, kStatusReadError);
    } else {
        if (g_timeLimit != 0)
            SCIP_CHECKED(SCIPsetRealParam(scip, "limits/time", g_timeLimit));
        if (g_verbose == "n")
            SCIP_CHECKED(SCIPsetMessagehdlr(scip, nullptr));
        if (SCIP_CHECKED(SCIPsolve(scip)) == SCIP_OKAY) {
            reportScipResult(scip, path);
        } else {
            // SCIP leaves its Ctrl-C handler behind when a solve fails, and has no solution
            // to query then.
            sigaction(SIGINT, &interruptHandlingBetweenSolves(), nullptr);
            reportFailedSolve(path, SCIPgetSolvingTime(scip));
        }
    }
    SCIP_CHECKED(SCIPfree(&scip));
    return true;
}
