#include "shell/FolderCommands.h"

#include <iostream>

#include "batch/OptimizeRun.h"
#include "convert/ConvertModFolder.h"
#include "fs/Files.h"
#include "fs/Paths.h"
#include "fs/Streams.h"
#include "shell/Console.h"

namespace {

enum class Answer { Folder, NotFolder, Failed };

// A folder check that fails for another reason than a missing path ends the command.
Answer checkAnswer(const std::string& path)
{
    const FolderCheck check = checkFolder(path);
    if (check.error) {
        printError("Erro: " + check.error->describe() + "\n");
        return Answer::Failed;
    }
    return check.isFolder ? Answer::Folder : Answer::NotFolder;
}

std::vector<std::string> listEntries(const std::string& folder)
{
    Listing listing = listFolder(folder);
    if (listing.error)
        printError("Erro ao acessar a pasta: " + *listing.error + "\n");
    return std::move(listing.entries);
}

// Every .solu file of the model folder, later names taking precedence; one that cannot be
// read is named on standard error and left out.
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
    switch (checkAnswer(request.modelFolder)) {
    case Answer::Folder:
        break;
    case Answer::NotFolder:
        std::cout << "Pasta de .lps inexistente ou inválida...\n";
        return;
    case Answer::Failed:
        return;
    }
    request.entries = listEntries(request.modelFolder);

    request.outputFolder = askLine("Digite o caminho da pasta para gerar o output> ", Completion::Path);
    switch (checkAnswer(request.outputFolder)) {
    case Answer::Folder:
        break;
    case Answer::NotFolder:
        std::cout << "Pasta de output inexistente ou inválida...\n";
        return;
    case Answer::Failed:
        return;
    }
    request.settings = settings;
    request.options.knownResults = knownResultsIn(request.entries);
    runOptimization(request);
}

void convertModFolder(RunSettings&)
{
    const std::string folder = askLine("Digite o caminho da pasta de arquivos .mod> ", Completion::Path);
    switch (checkAnswer(folder)) {
    case Answer::Folder:
        break;
    case Answer::NotFolder:
        std::cout << "Pasta de .mods inexistente ou inválida...\n";
        return;
    case Answer::Failed:
        return;
    }
    std::cout << "Pasta de .mod encontrada\n";
    convertModels(listEntries(folder));
}
