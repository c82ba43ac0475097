#include "backends/gurobi/GurobiBackend.h"

#include "backends/Functions.h"
#include "report/ModelReport.h"

// Placeholder until the Gurobi object layer lands: the model is reported as not solved.
bool solveWithGurobi(std::string path)
{
    if (!hasLpSuffix(path))
        return false;
    reportUnsolved(path, kStatusSolverError);
    return true;
}
