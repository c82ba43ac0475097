#include <scip/scip.h>

#include "backends/scipcompat/Instance.h"

extern "C" SCIP_STATUS SCIPgetStatus(SCIP* scip)
{
    return scip != nullptr ? scip->outcome.status : SCIP_STATUS_UNKNOWN;
}

extern "C" SCIP_Real SCIPgetSolvingTime(SCIP* scip)
{
    return scip != nullptr ? scip->solvingTime : 0.0;
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
