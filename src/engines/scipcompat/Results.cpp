#include <algorithm>
#include <cmath>

#include <scip/scip.h>

#include "engines/scipcompat/Instance.h"

extern "C" SCIP_STATUS SCIPgetStatus(SCIP* scip)
{
    return scip != nullptr ? scip->outcome.status : SCIP_STATUS_UNKNOWN;
}

extern "C" SCIP_Real SCIPgetSolvingTime(SCIP* scip)
{
    return scip != nullptr ? scip->solvingTime : 0.0;
}

extern "C" SCIP_OBJSENSE SCIPgetObjsense(SCIP* scip)
{
    return scip != nullptr && scip->maximize ? SCIP_OBJSENSE_MAXIMIZE : SCIP_OBJSENSE_MINIMIZE;
}

// As SCIP reports it: the best solution's value, or "infinity" on the side of the sense
// when there is none, and on the other side when the problem is unbounded.
extern "C" SCIP_Real SCIPgetPrimalbound(SCIP* scip)
{
    if (scip == nullptr)
        return kScipInfinity;
    const double worst = scip->maximize ? -kScipInfinity : kScipInfinity;
    if (scip->outcome.status == SCIP_STATUS_UNBOUNDED)
        return -worst;
    if (scip->outcome.hasSolution)
        return scip->outcome.objective + 0.0;  // no "-0" in reports
    return worst;
}

// The proven bound on the optimum: the optimum itself once solved, the best open node's
// bound when a limit stopped branch and bound, and "infinity" against the sense without one.
extern "C" SCIP_Real SCIPgetDualbound(SCIP* scip)
{
    if (scip == nullptr)
        return -kScipInfinity;
    const double worst = scip->maximize ? -kScipInfinity : kScipInfinity;
    switch (scip->outcome.status) {
    case SCIP_STATUS_OPTIMAL:
        return SCIPgetPrimalbound(scip);
    case SCIP_STATUS_INFEASIBLE:
        return worst;  // no solution: the bound meets the primal bound at infinity
    case SCIP_STATUS_UNBOUNDED:
    case SCIP_STATUS_INFORUNBD:
        return -worst;
    default:
        break;
    }
    if (scip->statistics.hasDualBound) {
        double bound = scip->statistics.dualBound + 0.0;
        // The incumbent is a bound too, and a node's bound may trail it.
        if (scip->outcome.hasSolution)
            bound = scip->maximize ? std::max(bound, scip->outcome.objective) : std::min(bound, scip->outcome.objective);
        return bound;
    }
    return -worst;
}

// SCIP's relative gap |primal - dual| / min(|primal|, |dual|), "infinity" when the bounds
// differ in sign, one of them is zero or infinite, or the status leaves the problem open.
extern "C" SCIP_Real SCIPgetGap(SCIP* scip)
{
    if (scip == nullptr)
        return kScipInfinity;
    const SCIP_STATUS status = scip->outcome.status;
    if (status == SCIP_STATUS_INFORUNBD)
        return kScipInfinity;
    if (status == SCIP_STATUS_INFEASIBLE || status == SCIP_STATUS_UNBOUNDED)
        return 0.0;
    constexpr double kEpsilon = 1e-9;  // SCIP's numerics/epsilon
    const double primal = SCIPgetPrimalbound(scip);
    const double dual = SCIPgetDualbound(scip);
    if (std::fabs(primal - dual) <= kEpsilon)
        return 0.0;
    const double absPrimal = std::fabs(primal);
    const double absDual = std::fabs(dual);
    if (absPrimal <= kEpsilon || absDual <= kEpsilon || absPrimal >= kScipInfinity || absDual >= kScipInfinity
        || primal * dual < 0.0)
        return kScipInfinity;
    return std::fabs((primal - dual) / std::min(absPrimal, absDual));
}

extern "C" SCIP_Longint SCIPgetNNodes(SCIP* scip)
{
    return scip != nullptr ? scip->statistics.nodes : 0;
}

extern "C" SCIP_Longint SCIPgetNLPIterations(SCIP* scip)
{
    return scip != nullptr ? scip->statistics.lpIterations : 0;
}

extern "C" SCIP_Real SCIPinfinity(SCIP*)
{
    return kScipInfinity;
}

// The engine follows SCIP 9.2.2's interface and behaviour, and says so. SCIPversion is
// major + minor / 100, as SCIP computes it.
extern "C" SCIP_Real SCIPversion(void)
{
    return 9 + 2 / 100.0;
}

extern "C" int SCIPmajorVersion(void)
{
    return 9;
}

extern "C" int SCIPminorVersion(void)
{
    return 2;
}

extern "C" int SCIPtechVersion(void)
{
    return 2;
}
