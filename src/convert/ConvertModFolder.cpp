#include "convert/ConvertModFolder.h"

#include <iostream>

#include "convert/ConvertModFile.h"

void convertModels(const std::vector<std::string>& entries)
{
    // Until the run ends, Ctrl-C stops one model's conversion, not the program.
    const ConversionRun run;
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
