#include <cstring>

#include <scip/scip.h>

#include "backends/scipcompat/Instance.h"
#include "backends/scipcompat/Messages.h"

namespace {

constexpr double kTimeLimitMin = 0.0;
constexpr double kTimeLimitMax = kScipInfinity;

}  // namespace

// The engine knows one parameter, the time limit, with SCIP's range and messages.
extern "C" SCIP_RETCODE SCIPsetRealParam(SCIP* scip, const char* name, SCIP_Real value)
{
    if (scip == nullptr || name == nullptr) {
        COMPAT_ERROR_MESSAGE("SCIPsetRealParam needs a SCIP instance and a parameter name\n");
        return SCIP_INVALIDDATA;
    }
    if (std::strcmp(name, "limits/time") != 0) {
        COMPAT_ERROR_MESSAGE("parameter <%s> unknown\n", name);
        return SCIP_PARAMETERUNKNOWN;
    }
    if (!(value >= kTimeLimitMin && value <= kTimeLimitMax)) {
        COMPAT_ERROR_MESSAGE("Invalid value <%.15g> for real parameter <%s>. Must be in range [%.15g,%.15g].\n",
                             value, name, kTimeLimitMin, kTimeLimitMax);
        return SCIP_PARAMETERWRONGVAL;
    }
    scip->timeLimit = value;
    return SCIP_OKAY;
}

// Without a handler the instance writes no log; errors still reach standard error.
extern "C" SCIP_RETCODE SCIPsetMessagehdlr(SCIP* scip, SCIP_MESSAGEHDLR* messagehdlr)
{
    if (scip == nullptr) {
        COMPAT_ERROR_MESSAGE("SCIPsetMessagehdlr needs a SCIP instance\n");
        return SCIP_INVALIDDATA;
    }
    scip->logEnabled = messagehdlr != nullptr;
    return SCIP_OKAY;
}
