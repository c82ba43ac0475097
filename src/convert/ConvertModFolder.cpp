#include "convert/ConvertModFolder.h"

#include <iostream>

#include "convert/ConvertModFile.h"
#include "fs/Paths.h"

ConversionSummary convertModels(const std::vector<std::string>& entries, bool stopOnInterrupt)
{
    ConversionSummary summary;
    // Until the run ends, Ctrl-C stops one model's conversion, not the program.
    const ConversionRun run;
    // Every entry is numbered, model or not, before its conversion is tried.
    int counter = 0;
    for (const std::string& entry : entries) {
        if (summary.interrupted) {
            if (hasSuffix(entry, "mod"))
                summary.notConverted.push_back(fileName(entry));
            continue;
        }
        std::cout << "------------------------------------------------------------\n";
        std::cout << "Modelo " << counter << " gerado\n";
        const ModFileResult result = convertModFile(entry);
        if (result.isModel && !result.converted)
            summary.notConverted.push_back(fileName(entry));
        summary.interrupted = stopOnInterrupt && result.interrupted;
        ++counter;
    }
    std::cout << "\n\n" << std::flush;
    return summary;
}
