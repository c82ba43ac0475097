#include <cstring>

#include <scip/scip.h>

#include "engines/scipcompat/Instance.h"
#include "engines/scipcompat/Messages.h"

namespace {

struct RealParameter {
    const char* name;
    double min;
    double max;
    double Scip::*value;
};

// The parameters the engine knows, with SCIP's ranges.
constexpr RealParameter kRealParameters[] = {
    {"limits/time", 0.0, kScipInfinity, &Scip::timeLimit},
    {"limits/memory", 0.0, kMemoryLimitMax, &Scip::memoryLimit},
};

const RealParameter* findRealParameter(const char* name)
{
    for (const RealParameter& parameter : kRealParameters) {
        if (std::strcmp(parameter.name, name) == 0)
            return &parameter;
    }
    return nullptr;
}

}  // namespace

extern "C" SCIP_RETCODE SCIPsetRealParam(SCIP* scip, const char* name, SCIP_Real value)
{
    if (scip == nullptr || name == nullptr) {
        COMPAT_ERROR_MESSAGE("SCIPsetRealParam needs a SCIP instance and a parameter name\n");
        return SCIP_INVALIDDATA;
    }
    const RealParameter* parameter = findRealParameter(name);
    if (parameter == nullptr) {
        COMPAT_ERROR_MESSAGE("parameter <%s> unknown\n", name);
        return SCIP_PARAMETERUNKNOWN;
    }
    if (!(value >= parameter->min && value <= parameter->max)) {
        COMPAT_ERROR_MESSAGE("Invalid value <%.15g> for real parameter <%s>. Must be in range [%.15g,%.15g].\n",
                             value, name, parameter->min, parameter->max);
        return SCIP_PARAMETERWRONGVAL;
    }
    scip->*(parameter->value) = value;
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
