#include "convert/ConvertModFolder.h"

#include <iostream>
#include <string>
#include <vector>

#include "batch/Folders.h"
#include "convert/ConvertModFile.h"
#include "shell/Console.h"

void convertModFolder()
{
    const std::string folder = askLine("Digite o caminho da pasta de arquivos .mod> ", Completion::Path);
    if (!isValidFolder(folder)) {
        std::cout << "Pasta de .mods inexistente ou inválida...\n";
        return;
    }
    std::cout << "Pasta de .mod encontrada\n";

    const std::vector<std::string> entries = listFolder(folder);
    // Every entry is numbered, model or not, before its conversion is tried.
    int counter = 0;
    for (const std::string& entry : entries) {
        std::cout << "------------------------------------------------------------\n";
        std::cout << "Modelo " << counter << " gerado\n";
        convertModFile(entry);
        ++counter;
    }
    std::cout << "\n\n" << std::flush;
}
