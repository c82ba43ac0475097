#pragma once

#include <glpk.h>
#include <scip/scip.h>

#include "engines/scipcompat/GlpkOutput.h"
#include "engines/scipcompat/SolveRequest.h"
#include "engines/scipcompat/Variables.h"

// SCIP's "infinity": bounds at or beyond it are infinite, and it is the primal bound
// without a solution.
inline constexpr double kScipInfinity = 1e20;

// SCIP's "limits/memory" range, in megabytes; the upper end is also the default, no limit.
inline constexpr double kMemoryLimitMax = 8796093022207.0;

enum class Stage {
    Init,          // no problem yet
    EmptyProblem,  // SCIPcreateProbBasic's problem, not held by GLPK
    GlpkProblem,   // a problem read from a file
    LostProblem,   // GLPK failed and freed everything it held
};

// What a finished solve leaves for the queries.
struct SolveOutcome {
    SCIP_STATUS status = SCIP_STATUS_UNKNOWN;
    bool hasSolution = false;
    double objective = 0.0;  // in the model's own sense, constant term included
};

struct Scip {
    Stage stage = Stage::Init;
    glp_prob* problem = nullptr;  // GlpkProblem only; see liveProblem
    unsigned long problemEpoch = 0;
    bool maximize = false;
    bool boundsContradict = false;  // some variable's bounds admit no value

    bool lpReaderIncluded = false;
    bool logEnabled = true;
    double timeLimit = kScipInfinity;
    double memoryLimit = kMemoryLimitMax;
    SearchLimits limits;

    bool solved = false;  // the last solve reached a final status
    double solvingTime = 0.0;
    SolveOutcome outcome;
    SolveStatistics statistics;

    GlpkOutput glpkOutput;
    OriginalVariables variables;  // of the problem read; none for an empty one
};

// The instance's GLPK problem, or null when GLPK has since freed it (see loseGlpkObjects).
glp_prob* liveProblem(Scip& scip);

// Makes `problem` the instance's problem, deleting the one it replaces.
void adoptProblem(Scip& scip, glp_prob* problem, bool boundsContradict);
void adoptEmptyProblem(Scip& scip);
void deleteProblem(Scip& scip);

// After a guarded GLPK sequence failed, GLPK's environment is gone with every problem of every
// instance; each instance notices on its next access.
void loseGlpkObjects(Scip& scip);
