#include "shell/FolderCommands.h"

#include <iostream>

#include "batch/OptimizeRun.h"
#include "batch/RunRequest.h"
#include "convert/ConvertModFolder.h"
#include "shell/Console.h"

void optimizeFolder(RunSettings& settings)
{
    OptimizeRequest request;
    request.modelFolder = askLine("Digite o caminho da pasta de arquivos .lp> ", Completion::Path);
    if (!acceptFolder(request.modelFolder, kBadModelFolder, Voice::Shell))
        return;
    request.entries = *listEntries(request.modelFolder, Voice::Shell);

    request.outputFolder = askLine("Digite o caminho da pasta para gerar o output> ", Completion::Path);
    if (!acceptFolder(request.outputFolder, kBadOutputFolder, Voice::Shell))
        return;
    request.settings = settings;
    request.options.knownResults = knownResultsIn(request.entries);
    runOptimization(request);
}

void convertModFolder(RunSettings&)
{
    const std::string folder = askLine("Digite o caminho da pasta de arquivos .mod> ", Completion::Path);
    if (!acceptFolder(folder, kBadModFolder, Voice::Shell))
        return;
    std::cout << "Pasta de .mod encontrada\n";
    // The shell's run goes on after a Ctrl-C, and says nothing more than each model's error.
    static_cast<void>(convertModels(*listEntries(folder, Voice::Shell), false));
}
