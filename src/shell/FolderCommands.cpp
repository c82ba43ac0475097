#include "shell/FolderCommands.h"

#include <iostream>

#include "batch/OptimizeRun.h"
#include "convert/ConvertModFolder.h"
#include "fs/Files.h"
#include "fs/Paths.h"
#include "fs/Streams.h"
#include "shell/Console.h"

namespace {

// Whether the answer names a folder; otherwise the command ends with `rejection`, or with the
// error of a check that failed for another reason than a missing path.
bool acceptFolder(const std::string& path, const char* rejection)
{
    const FolderCheck check = checkFolder(path);
    if (check.error)
        printError("Erro: " + check.error->describe() + "\n");
    else if (!check.isFolder)
        std::cout << rejection;
    return check.isFolder;
}

std::vector<std::string> listEntries(const std::string& folder)
{
    Listing listing = listFolder(folder);
    if (listing.error)
        printError("Erro ao acessar a pasta: " + *listing.error + "\n");
    return std::move(listing.entries);
}

// Every .solu file of the model folder, later names taking precedence; one that cannot be
// read is named on standard error and left out, and its warnings go there too.
std::optional<KnownResults> knownResultsIn(const std::vector<std::string>& entries)
{
    std::optional<KnownResults> known;
    for (const std::string& path : entries) {
        if (!hasSuffix(path, ".solu") || !isRegularFile(path))
            continue;
        std::string problem;
        std::optional<KnownResults> file = readSoluFile(path, problem);
        if (!file) {
            printError("Erro ao ler " + path + ": " + problem + "\n");
            continue;
        }
        for (const std::string& warning : file->warnings)
            printError("Aviso ao ler " + path + ": " + warning + "\n");
        if (!known)
            known.emplace();
        for (auto& [name, result] : file->byName)
            known->byName.insert_or_assign(name, result);
    }
    return known;
}

}  // namespace

void optimizeFolder(RunSettings& settings)
{
    OptimizeRequest request;
    request.modelFolder = askLine("Digite o caminho da pasta de arquivos .lp> ", Completion::Path);
    if (!acceptFolder(request.modelFolder, "Pasta de .lps inexistente ou inválida...\n"))
        return;
    request.entries = listEntries(request.modelFolder);

    request.outputFolder = askLine("Digite o caminho da pasta para gerar o output> ", Completion::Path);
    if (!acceptFolder(request.outputFolder, "Pasta de output inexistente ou inválida...\n"))
        return;
    request.settings = settings;
    request.options.knownResults = knownResultsIn(request.entries);
    runOptimization(request);
}

void convertModFolder(RunSettings&)
{
    const std::string folder = askLine("Digite o caminho da pasta de arquivos .mod> ", Completion::Path);
    if (!acceptFolder(folder, "Pasta de .mods inexistente ou inválida...\n"))
        return;
    std::cout << "Pasta de .mod encontrada\n";
    // The shell's run goes on after a Ctrl-C, and says nothing more than each model's error.
    static_cast<void>(convertModels(listEntries(folder), false));
}
