// CBC's own cost of a batch: read every .lp file of a folder with Lumbrix's reader, hand it to
// CBC as rows and columns and solve it with the log off, in one process. Nothing else: no
// solver process, no report, no check.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <dirent.h>

#include <CbcModel.hpp>
#include <CbcSolver.hpp>
#include <OsiClpSolverInterface.hpp>

#include "backends/cbc/CbcProblem.h"
#include "engines/model/LinearLayout.h"
#include "engines/model/ModelFile.h"

namespace {

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
    CbcMain1(7, argv, cbc, nullptr, data);
    return cbc.bestSolution() != nullptr || cbc.isProvenInfeasible();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder of .lp models>\n", argv[0]);
        return 2;
    }
    DIR* dir = opendir(argv[1]);
    if (!dir) {
        std::perror(argv[1]);
        return 1;
    }
    int solved = 0;
    char path[8192];
    while (const dirent* entry = readdir(dir)) {
        const std::size_t length = std::strlen(entry->d_name);
        if (length < 3 || std::strcmp(entry->d_name + length - 3, ".lp") != 0)
            continue;
        std::snprintf(path, sizeof path, "%s/%s", argv[1], entry->d_name);
        if (solve(path))
            ++solved;
        else
            std::fprintf(stderr, "failed: %s\n", path);
    }
    closedir(dir);
    std::printf("%d models solved\n", solved);
    return 0;
}
