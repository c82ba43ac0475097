#include "batch/OptimizeFolder.h"

#include <cerrno>
#include <iostream>

#include <sys/stat.h>
#include <unistd.h>

#include "backends/Functions.h"
#include "backends/gurobi/GurobiBackend.h"
#include "batch/FileSystemError.h"
#include "batch/Folders.h"
#include "report/ResultRows.h"
#include "report/ResultsFile.h"
#include "shell/Console.h"
#include "shell/Settings.h"

std::vector<std::string> g_modelFiles;

namespace {

// An old results file in the model folder must not be taken for a model. In a folder that
// may not even be looked into there is nothing to be taken: the listing reports it.
void removeOldResults(const std::string& modelFolder)
{
    const std::string path = pathInFolder(modelFolder, kResultsFileName);
    if (unlink(path.c_str()) == 0 || errno == ENOENT)
        return;
    const int error = errno;
    struct stat info;
    if (error == EACCES && lstat(path.c_str(), &info) != 0 && errno == EACCES)
        return;
    throw FileSystemError("remove", path, error);
}

bool solveModel(const std::string& path)
{
    if (g_solverName == "SCIP")
        return solveWithScip(path);
    if (g_solverName == "GUROBI")
        return solveWithGurobi(path);
    return false;
}

}  // namespace

void optimizeFolder()
{
    const std::string modelFolder = askLine("Digite o caminho da pasta de arquivos .lp> ", Completion::Path);
    if (!isValidFolder(modelFolder)) {
        std::cout << "Pasta de .lps inexistente ou inválida...\n";
        return;
    }
    removeOldResults(modelFolder);
    g_modelFiles = listFolder(modelFolder);

    const std::string outputFolder = askLine("Digite o caminho da pasta para gerar o output> ", Completion::Path);
    if (!isValidFolder(outputFolder)) {
        std::cout << "Pasta de output inexistente ou inválida...\n";
        return;
    }

    static const std::string separator(70, '-');
    for (std::size_t i = 0; i < g_modelFiles.size(); ++i) {
        std::cout << separator << "\nMODELO " << i << " \n";
        if (solveModel(g_modelFiles[i])) {
            writeResultsFile(outputFolder);
            std::cout.flush();
        }
    }
    finishResultsFile();
    g_resultRows.clear();
}
