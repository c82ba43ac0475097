#include "report/ModelReport.h"

#include <iostream>

#include "batch/Folders.h"
#include "report/Formats.h"
#include "report/ResultRows.h"

namespace {
std::pmr::unsynchronized_pool_resource g_rowMemory;
}  // namespace

std::pmr::vector<std::pmr::string> g_resultRows{&g_rowMemory};
double g_readTime = 0;

namespace {

std::string quotedIfNeeded(const std::string& field)
{
    if (field.find_first_of(";\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace

std::string modelName(const std::string& path)
{
    // The last piece of splitPath(path), without building the others.
    return path.substr(path.rfind(kPathSeparator) + 1);
}

std::string makeResultRow(const std::string& name, const std::string& solvingTime, const std::string& status,
                          const std::string& objective)
{
    return quotedIfNeeded(name) + ';' + solvingTime + ';' + status + ';' + objective + ';' + rowNumber(g_readTime);
}

void reportFailedSolve(const std::string& path, std::optional<double> solvingTime)
{
    const std::string name = modelName(path);
    std::cout << "NOME: " << name << "\nTEMPO: " << (solvingTime ? consoleNumber(*solvingTime) : "-")
              << "\nSTATUS: " << kStatusSolverError << '\n';
    g_resultRows.emplace_back(makeResultRow(name, solvingTime ? rowNumber(*solvingTime) : "-", kStatusSolverError, "-"));
}

void reportUnsolved(const std::string& path, const char* status)
{
    const std::string name = modelName(path);
    std::cout << "NOME: " << name << "\nSTATUS: " << status << '\n';
    g_resultRows.emplace_back(makeResultRow(name, "-", status, "-"));
}
