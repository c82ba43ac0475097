#include "backends/gurobi/GurobiSettings.h"


#include "backends/gurobi/GRBException.h"

namespace {

// The parameters the program sets from its own options; the library's names ignore case.
const std::vector<OwnParameter> kOwnParameters = {
    {"TimeLimit", "--time-limit"},
    {"MemLimit", "--memory-limit"},
    {"OutputFlag", "--quiet"},
};

enum ParameterType { kInt = 1, kDouble = 2, kString = 3 };

// False when the value is not of the parameter's type or the library refuses it.
bool setValue(GurobiEnvironment& environment, int type, const SolverSetting& setting)
{
    const char* name = setting.name.c_str();
    try {
        if (type == kString) {
            environment.setNamedParam(name, setting.value.c_str());
        } else if (type == kInt) {
            const auto value = settingNumber<int>(setting.value);
            if (!value)
                return false;
            environment.setNamedParam(name, *value);
        } else {
            const auto value = settingNumber<double>(setting.value);
            if (!value)
                return false;
            environment.setNamedParam(name, *value);
        }
        return true;
    } catch (const GRBException&) {
        return false;
    }
}

std::optional<std::string> applyFile(GurobiEnvironment& environment, const std::string& path)
{
    for (const std::string& name : settingsFileNames(path).value_or(std::vector<std::string>{}))
        if (environment.parameterType(name.c_str()) < kInt)
            return "parâmetro desconhecido: " + name + " (em " + path + ")";
    try {
        environment.readParams(path.c_str());
    } catch (const GRBException& error) {
        return "parâmetros não aceitos: " + path + " (" + error.message() + ")";
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> applyGurobiSettings(GurobiEnvironment& environment, const SolverSettings& settings)
{
    if (auto own = refuseOwnParameters(settings, kOwnParameters, true))
        return own;
    if (!settings.file.empty())
        if (auto refused = applyFile(environment, settings.file))
            return refused;
    for (const SolverSetting& setting : settings.values) {
        const int type = environment.parameterType(setting.name.c_str());
        if (type < kInt || type > kString)
            return "parâmetro desconhecido: " + setting.name;
        if (!setValue(environment, type, setting))
            return "valor inválido para o parâmetro " + setting.name + ": " + setting.value;
    }
    return std::nullopt;
}
