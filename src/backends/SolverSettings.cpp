#include "backends/SolverSettings.h"

#include <algorithm>
#include <cctype>

#include "fs/Files.h"
#include "fs/Paths.h"

std::optional<std::string> refuseAnySettings(const SolverSettings& settings)
{
    if (!settings.file.empty())
        return "parâmetros não aceitos: " + settings.file;
    if (!settings.values.empty())
        return "parâmetro desconhecido: " + settings.values.front().name;
    return std::nullopt;
}

namespace {

std::string escaped(const std::string& text)
{
    std::string result;
    for (const char c : text) {
        if (c == '\\' || c == ';' || c == '=')
            result += '\\';
        result += c;
    }
    return result;
}

bool sameName(const std::string& a, const std::string& b, bool ignoreCase)
{
    if (!ignoreCase)
        return a == b;
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

}  // namespace

std::string settingsText(const SolverSettings& settings)
{
    std::string text;
    if (!settings.file.empty())
        text = "@" + escaped(fileName(settings.file));
    for (const SolverSetting& setting : settings.values)
        text += (text.empty() ? "" : ";") + escaped(setting.name) + "=" + escaped(setting.value);
    return text;
}

std::optional<std::vector<std::string>> settingsFileNames(const std::string& path)
{
    const std::optional<std::string> text = readWholeFile(path);
    if (!text)
        return std::nullopt;
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < text->size()) {
        std::size_t end = text->find('\n', start);
        if (end == std::string::npos)
            end = text->size();
        const std::string line = text->substr(start, std::min(end, text->find('#', start)) - start);
        start = end + 1;
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first != std::string::npos)
            names.push_back(line.substr(first, line.find_first_of(" \t\r=", first) - first));
    }
    return names;
}

std::optional<std::string> refuseOwnParameters(const SolverSettings& settings, const std::vector<OwnParameter>& own,
                                               bool ignoreCase)
{
    std::vector<std::string> names;
    if (!settings.file.empty()) {
        const auto inFile = settingsFileNames(settings.file);
        if (!inFile)
            return "arquivo de parâmetros ilegível: " + settings.file;
        names = *inFile;
    }
    for (const SolverSetting& setting : settings.values)
        names.push_back(setting.name);
    for (const std::string& name : names)
        for (const OwnParameter& parameter : own)
            if (sameName(name, parameter.name, ignoreCase))
                return "parâmetro definido pelo programa: " + name + " (use " + parameter.option + ")";
    return std::nullopt;
}
