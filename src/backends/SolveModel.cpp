#include "backends/SolveModel.h"

#include "backends/gurobi/GurobiBackend.h"
#include "backends/scip/ScipBackend.h"

ModelOutcome solveModel(const std::string& path, const RunSettings& settings, SolveNotes& notes)
{
    switch (settings.solver) {
    case Solver::Gurobi:
        return solveWithGurobi(path, settings, notes);
    case Solver::Scip:
        break;
    }
    return solveWithScip(path, settings, notes);
}
