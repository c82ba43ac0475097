#include "backends/SolverSettings.h"

std::optional<std::string> refuseAnySettings(const SolverSettings& settings)
{
    if (!settings.file.empty())
        return "parâmetros não aceitos: " + settings.file;
    if (!settings.values.empty())
        return "parâmetro desconhecido: " + settings.values.front().name;
    return std::nullopt;
}
