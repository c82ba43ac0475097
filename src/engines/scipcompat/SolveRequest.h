#pragma once

#include <chrono>
#include <climits>

#include <glpk.h>

#include "engines/scipcompat/GlpkOutput.h"

// What a solve tells beyond its status, for SCIP's statistics queries.
struct SolveStatistics {
    long long nodes = 0;         // branch-and-bound nodes processed; a solved LP is one
    long long lpIterations = 0;  // simplex iterations, over every LP of the solve
    bool hasDualBound = false;   // a proven bound on the optimum, when a limit stopped the solve
    double dualBound = 0.0;
    bool hasIncumbent = false;  // the search's best solution so far, kept should GLPK fail
    double incumbent = 0.0;
};

// The limits of the search a user may set, with SCIP's meanings; the defaults set none.
struct SearchLimits {
    double gap = 0.0;         // relative gap |primal - dual| / min(|primal|, |dual|)
    double absoluteGap = 0.0;
    long long nodes = -1;     // nodes processed, the root first
    int solutions = -1;       // improving solutions found
};

// What one solve of a GLPK problem works with. Plain data only: it lives across GLPK calls
// inside a guarded sequence, which a GLPK failure leaves by a long jump.
struct SolveRequest {
    glp_prob* problem = nullptr;
    bool log = false;
    bool hasDeadline = false;
    std::chrono::steady_clock::time_point deadline;
    GlpkOutput* output = nullptr;
    SolveStatistics* statistics = nullptr;
    int memoryLimitMegabytes = INT_MAX;  // GLPK's allocations during the solve
    SearchLimits limits;
};

// Milliseconds left before the deadline as GLPK's tm_lim takes them (INT_MAX: no limit).
inline int remainingMillis(const SolveRequest& request)
{
    if (!request.hasDeadline)
        return INT_MAX;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(request.deadline
                                                                            - std::chrono::steady_clock::now());
    if (left.count() <= 0)
        return 0;
    return left.count() >= INT_MAX ? INT_MAX - 1 : static_cast<int>(left.count());
}
