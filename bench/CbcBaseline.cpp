// CBC's own cost of a batch: read every .lp file of a folder with Lumbrix's reader, hand it to
// CBC as rows and columns and solve it with the log off, in one process. Nothing else: no
// solver process, no report, no check. With --model-memory the loop uses memory as a solver
// process does, so that the two differ only in what the run itself does.
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>


#include <CbcModel.hpp>
#include <CbcSolver.hpp>
#include <OsiClpSolverInterface.hpp>

#include "backends/cbc/CbcProblem.h"
#include "engines/model/LinearLayout.h"
#include "engines/model/ModelFile.h"
#include "fs/ModelMemory.h"
#include "LpFiles.h"

namespace {

// CBC calls this between its phases without checking for none, as the back end's does.
int betweenPhases(CbcModel*, int)
{
    return 0;
}

bool solve(const char* path)
{
    LpModel model;
    LpReadError error;
    LinearLayout layout;
    if (readModelFile(path, model, error) != 0 || !planLinearLayout(model, layout, error))
        return false;
    OsiClpSolverInterface solver;
    loadCbcProblem(model, layout, solver);
    CbcModel cbc(solver);
    CbcSolverUsefulData data;
    data.noPrinting_ = true;
    data.useSignalHandler_ = false;
    CbcMain0(cbc, data);
    const char* argv[] = {"baseline", "-log", "0", "-slog", "0", "-solve", "-quit"};
    CbcMain1(7, argv, cbc, betweenPhases, data);
    return cbc.bestSolution() != nullptr || cbc.isProvenInfeasible();
}

}  // namespace

int main(int argc, char** argv)
{
    const bool modelMemory = argc == 3 && std::strcmp(argv[2], "--model-memory") == 0;
    if (argc != 2 && !modelMemory) {
        std::fprintf(stderr, "usage: %s <folder of .lp models> [--model-memory]\n", argv[0]);
        return 2;
    }
    std::optional<ModelMemory> memory;
    if (modelMemory)
        memory.emplace();
    return solveEveryLpFile(argv[1], [&memory](const char* path) {
        if (memory)
            memory->betweenModels();
        return solve(path);
    });
}
