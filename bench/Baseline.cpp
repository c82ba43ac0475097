// The engine's own cost of a batch: create, read, solve and free every .lp file of a
// folder in one process, with the log silenced as in a quiet run. Nothing else; with
// --check, also what the solver process adds after each solve: the best solution through
// SCIP's calls, held against the model (the one the engine kept, or the file read again).
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>


#include <scip/scip.h>
#include <scip/scipdefplugins.h>

#include "engines/model/ModelFile.h"
#include "engines/model/SolutionCheck.h"
#include "LpFiles.h"

namespace {

// False when the solution cannot be had or is refused.
bool checkBestSolution(SCIP* scip, const char* path)
{
    SCIP_SOL* best = SCIPgetBestSol(scip);
    if (best == nullptr)
        return true;
    const int count = SCIPgetNOrigVars(scip);
    SCIP_VAR** variables = SCIPgetOrigVars(scip);
    std::vector<double> values(static_cast<std::size_t>(count));
    if (count > 0 && SCIPgetSolVals(scip, best, count, variables, values.data()) != SCIP_OKAY)
        return false;
    std::vector<std::string> names;
    names.reserve(values.size());
    for (int i = 0; i < count; ++i)
        names.emplace_back(SCIPvarGetName(variables[i]));
    std::shared_ptr<const LpModel> model = takeKeptModel(path);
    if (!model) {
        auto fresh = std::make_shared<LpModel>();
        LpReadError error;
        if (readModelFile(path, *fresh, error) != 0)
            return false;
        model = std::move(fresh);
    }
    std::vector<double> columnValues;
    std::string missing;
    return valuesByColumn(*model, names, values, columnValues, missing)
        && checkSolution(*model, columnValues, CheckTolerances{}).feasible;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool withCheck = argc == 3 && std::strcmp(argv[2], "--check") == 0;
    if (argc != 2 && !withCheck) {
        std::fprintf(stderr, "usage: %s <folder of .lp models> [--check]\n", argv[0]);
        return 2;
    }
    return solveEveryLpFile(argv[1], [withCheck](const char* path) {
        SCIP* scip = nullptr;
        const bool solved = SCIPcreate(&scip) == SCIP_OKAY && SCIPincludeDefaultPlugins(scip) == SCIP_OKAY
            && SCIPcreateProbBasic(scip, "lp_example") == SCIP_OKAY && SCIPreadProb(scip, path, nullptr) == SCIP_OKAY
            && SCIPsetMessagehdlr(scip, nullptr) == SCIP_OKAY && SCIPsolve(scip) == SCIP_OKAY
            && (!withCheck || checkBestSolution(scip, path));
        if (scip)
            SCIPfree(&scip);
        return solved;
    });
}
