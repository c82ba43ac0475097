/* Default plug-ins of the GLPK-based SCIP engine: its CPLEX LP reader. */
#ifndef LUMBRIX_SCIPCOMPAT_SCIPDEFPLUGINS_H
#define LUMBRIX_SCIPCOMPAT_SCIPDEFPLUGINS_H

#include "scip/scip.h"

#ifdef __cplusplus
extern "C" {
#endif

SCIP_RETCODE SCIPincludeDefaultPlugins(SCIP* scip);

#ifdef __cplusplus
}
#endif

#endif
