#pragma once

#include <chrono>
#include <climits>

#include <glpk.h>

#include "backends/scipcompat/GlpkOutput.h"

// What one solve of a GLPK problem works with. Plain data only: it lives across GLPK calls
// inside a guarded sequence, which a GLPK failure leaves by a long jump.
struct SolveRequest {
    glp_prob* problem = nullptr;
    bool log = false;
    bool hasDeadline = false;
    std::chrono::steady_clock::time_point deadline;
    GlpkOutput* output = nullptr;
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
