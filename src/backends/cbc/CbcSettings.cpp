#include "backends/cbc/CbcSettings.h"

#include <fstream>

#include <CbcOrClpParam.hpp>

namespace {

std::string trimmed(const std::string& text)
{
    const char* blanks = " \t\r";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// One line of a settings file; false when it holds something that is not a setting.
bool parseLine(std::string line, std::optional<SolverSetting>& setting)
{
    line = trimmed(line.substr(0, line.find('#')));
    setting.reset();
    if (line.empty())
        return true;
    const std::size_t split = line.find_first_of(" \t=");
    if (split == std::string::npos)
        return false;
    SolverSetting parsed{line.substr(0, split), trimmed(line.substr(split + 1))};
    if (line[split] != '=' && !parsed.value.empty() && parsed.value.front() == '=')
        parsed.value = trimmed(parsed.value.substr(1));
    if (parsed.value.empty() || parsed.value.find_first_of(" \t") != std::string::npos)
        return false;
    setting = std::move(parsed);
    return true;
}

bool readSettingsFile(const std::string& path, std::vector<SolverSetting>& settings, std::string& problem)
{
    std::ifstream file(path);
    if (!file) {
        problem = "arquivo de parâmetros não pode ser lido: " + path;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        std::optional<SolverSetting> setting;
        if (!parseLine(line, setting)) {
            problem = "linha " + std::to_string(number) + " de " + path + " não é um parâmetro: " + trimmed(line);
            return false;
        }
        if (setting)
            settings.push_back(std::move(*setting));
    }
    if (file.bad()) {
        problem = "arquivo de parâmetros não pode ser lido: " + path;
        return false;
    }
    return true;
}

// CBC's parameter table, as its command line starts with it.
const std::vector<CbcOrClpParam>& parameterTable()
{
    static const std::vector<CbcOrClpParam> table = [] {
        std::vector<CbcOrClpParam> parameters;
        establishParams(parameters);
        return parameters;
    }();
    return table;
}

// The parameter CBC's command line takes the name for (any case, or a long enough
// beginning of it); null for none.
const CbcOrClpParam* parameterNamed(const std::string& name)
{
    for (const CbcOrClpParam& parameter : parameterTable())
        if (parameter.matches(name) == 1)
            return &parameter;
    return nullptr;
}

// Ranges of parameter codes in CBC's table (see CbcOrClpParameterType).
constexpr int kLastDouble = 100;
constexpr int kLastInteger = 200;
constexpr int kLastKeyword = 400;

bool takesValue(const CbcOrClpParam& parameter, const std::string& value)
{
    const int code = static_cast<int>(parameter.type());
    if (code >= 1 && code <= kLastDouble) {
        const std::optional<double> number = settingNumber<double>(value);
        return number && *number >= parameter.lowerDoubleValue() && *number <= parameter.upperDoubleValue();
    }
    if (code > kLastDouble && code <= kLastInteger) {
        const std::optional<int> number = settingNumber<int>(value);
        return number && *number >= parameter.lowerIntValue() && *number <= parameter.upperIntValue();
    }
    if (code > kLastInteger && code <= kLastKeyword)
        return parameter.parameterOption(value) >= 0;
    return false;  // an action, not a setting
}

std::optional<std::string> refused(const SolverSetting& setting)
{
    const CbcOrClpParam* parameter = parameterNamed(setting.name);
    const int code = parameter ? static_cast<int>(parameter->type()) : 0;
    if (!parameter || code < 1 || code > kLastKeyword)
        return "parâmetro desconhecido: " + setting.name;
    if (!takesValue(*parameter, setting.value))
        return "valor inválido para o parâmetro " + setting.name + ": " + setting.value;
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<SolverSetting>> cbcSettingsInOrder(const SolverSettings& settings, std::string& problem)
{
    std::vector<SolverSetting> ordered;
    if (!settings.file.empty() && !readSettingsFile(settings.file, ordered, problem))
        return std::nullopt;
    ordered.insert(ordered.end(), settings.values.begin(), settings.values.end());
    return ordered;
}

std::optional<std::string> refuseCbcSettings(const SolverSettings& settings)
{
    std::string problem;
    const std::optional<std::vector<SolverSetting>> ordered = cbcSettingsInOrder(settings, problem);
    if (!ordered)
        return problem;
    for (const SolverSetting& setting : *ordered)
        if (std::optional<std::string> message = refused(setting))
            return message;
    return std::nullopt;
}

std::vector<std::string> cbcArguments(const std::vector<SolverSetting>& settings)
{
    std::vector<std::string> arguments;
    for (const SolverSetting& setting : settings) {
        arguments.push_back("-" + setting.name);
        arguments.push_back(setting.value);
    }
    return arguments;
}
