#include "backends/scip/ScipEngine.h"

#include <scip/scip.h>

#ifdef LUMBRIX_SCIP_COMPAT
#include <glpk.h>
#endif

std::string scipEngineName()
{
#ifdef LUMBRIX_SCIP_COMPAT
    return std::string("motor compatível com SCIP sobre o GLPK ") + glp_version();
#else
    return "SCIP " + std::to_string(SCIPmajorVersion()) + "." + std::to_string(SCIPminorVersion()) + "."
        + std::to_string(SCIPtechVersion());
#endif
}
