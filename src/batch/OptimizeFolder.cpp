#include "batch/OptimizeFolder.h"

#include <cerrno>
#include <iostream>
#include <sstream>

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

// The solver libraries flush standard output when they please (SCIP does when it frees an
// instance that still logs), so what a back end writes through std::cout, its report, is
// held back until the model's row is in the results file: a report on the console always
// has its row.
class HeldReport {
public:
    HeldReport() : m_console(std::cout.rdbuf(&m_report)) {}
    ~HeldReport() { std::cout.rdbuf(m_console); }
    HeldReport(const HeldReport&) = delete;
    HeldReport& operator=(const HeldReport&) = delete;

    void release()
    {
        std::cout.rdbuf(m_console);
        std::cout << m_report.view() << std::flush;
    }

private:
    std::stringbuf m_report;
    std::streambuf* m_console;
};

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
        HeldReport report;
        if (solveModel(g_modelFiles[i])) {
            writeResultsFile(outputFolder);
            report.release();
        }
    }
    finishResultsFile();
    g_resultRows.clear();
}
