#include "backends/scip/ScipSettings.h"

#include <strings.h>

namespace {

// The parameters the program sets from its own options.
const std::vector<OwnParameter> kOwnParameters = {
    {"limits/time", "--time-limit"},
    {"limits/memory", "--memory-limit"},
};

// SCIP's Boolean words, in any case.
std::optional<SCIP_Bool> boolText(const std::string& text)
{
    if (strcasecmp(text.c_str(), "true") == 0)
        return TRUE;
    if (strcasecmp(text.c_str(), "false") == 0)
        return FALSE;
    return std::nullopt;
}

// Checks a value for the parameter's type and range and, when `apply`, sets it; false when
// SCIP would refuse it.
bool takeValue(SCIP* scip, SCIP_PARAM* parameter, const SolverSetting& setting, bool apply)
{
    const char* name = setting.name.c_str();
    const std::string& text = setting.value;
    switch (SCIPparamGetType(parameter)) {
    case SCIP_PARAMTYPE_BOOL: {
        const auto value = boolText(text);
        return value && SCIPisBoolParamValid(scip, parameter, *value)
            && (!apply || SCIPsetBoolParam(scip, name, *value) == SCIP_OKAY);
    }
    case SCIP_PARAMTYPE_INT: {
        const auto value = settingNumber<int>(text);
        return value && SCIPisIntParamValid(scip, parameter, *value)
            && (!apply || SCIPsetIntParam(scip, name, *value) == SCIP_OKAY);
    }
    case SCIP_PARAMTYPE_LONGINT: {
        const auto value = settingNumber<long long>(text);
        return value && SCIPisLongintParamValid(scip, parameter, *value)
            && (!apply || SCIPsetLongintParam(scip, name, *value) == SCIP_OKAY);
    }
    case SCIP_PARAMTYPE_REAL: {
        const auto value = settingNumber<double>(text);
        return value && SCIPisRealParamValid(scip, parameter, *value)
            && (!apply || SCIPsetRealParam(scip, name, *value) == SCIP_OKAY);
    }
    case SCIP_PARAMTYPE_CHAR:
        return text.size() == 1 && SCIPisCharParamValid(scip, parameter, text[0])
            && (!apply || SCIPsetCharParam(scip, name, text[0]) == SCIP_OKAY);
    case SCIP_PARAMTYPE_STRING:
        return SCIPisStringParamValid(scip, parameter, text.c_str())
            && (!apply || SCIPsetStringParam(scip, name, text.c_str()) == SCIP_OKAY);
    }
    return false;
}

std::optional<std::string> refusedValue(SCIP* scip, const SolverSetting& setting, bool apply)
{
    SCIP_PARAM* parameter = SCIPgetParam(scip, setting.name.c_str());
    if (parameter == nullptr)
        return "parâmetro desconhecido: " + setting.name;
    if (!takeValue(scip, parameter, setting, apply))
        return "valor inválido para o parâmetro " + setting.name + ": " + setting.value;
    return std::nullopt;
}

}  // namespace

std::optional<std::string> refusedScipSetting(SCIP* scip, const SolverSettings& settings)
{
    if (auto own = refuseOwnParameters(settings, kOwnParameters, false))
        return own;
    if (!settings.file.empty())
        for (const std::string& name : settingsFileNames(settings.file).value_or(std::vector<std::string>{}))
            if (SCIPgetParam(scip, name.c_str()) == nullptr)
                return "parâmetro desconhecido: " + name + " (em " + settings.file + ")";
    for (const SolverSetting& setting : settings.values)
        if (auto refused = refusedValue(scip, setting, false))
            return refused;
    return std::nullopt;
}

std::optional<std::string> applyScipSettings(SCIP* scip, const SolverSettings& settings)
{
    if (!settings.file.empty() && SCIPreadParams(scip, settings.file.c_str()) != SCIP_OKAY)
        return "parâmetros não aceitos: " + settings.file;
    for (const SolverSetting& setting : settings.values)
        if (auto refused = refusedValue(scip, setting, true))
            return refused;
    return std::nullopt;
}
