#include "batch/RunRequest.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include <unistd.h>

#include "fs/Files.h"
#include "fs/Paths.h"
#include "fs/Streams.h"

namespace {

// As at the shell: 0 switches a limit off.
std::optional<double> limitValue(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    const std::optional<double> value = parseArgumentNumber(text);
    return value && *value != 0 ? value : std::nullopt;
}

void tellWarnings(const std::string& path, const KnownResults& known)
{
    for (const std::string& warning : known.warnings)
        printError("Aviso ao ler " + path + ": " + warning + "\n");
}

// The settings as given, the file read once to know it can be; false, with the reason on
// standard error, when the file cannot be read or the solver refuses a setting. A solver
// this machine does not have is left to check them where it runs.
bool acceptSolverSettings(const RunArguments& arguments, RunsOn where, RunSettings& settings)
{
    for (const std::string& text : arguments.set)
        settings.solverSettings.values.push_back(*parseSetting(text));
    settings.solverSettings.file = arguments.settingsFile;
    if (!arguments.settingsFile.empty() && !readWholeFile(arguments.settingsFile)) {
        printError("Erro ao ler " + arguments.settingsFile + ": " + std::strerror(errno) + "\n");
        return false;
    }
    if (where == RunsOn::Cluster && settings.solver->unavailable())
        return true;
    if (const auto refused = settings.solver->refuseSettings(settings.solverSettings)) {
        printError("Erro: " + *refused + "\n");
        return false;
    }
    return true;
}

}  // namespace

bool acceptFolder(const std::string& path, const char* rejection, Voice voice)
{
    const FolderCheck check = checkFolder(path);
    if (check.error)
        printError("Erro: " + check.error->describe() + "\n");
    else if (!check.isFolder && voice == Voice::Shell)
        std::cout << rejection;
    else if (!check.isFolder)
        printError(rejection);
    return check.isFolder;
}

std::optional<std::vector<std::string>> listEntries(const std::string& folder, Voice voice)
{
    Listing listing = listFolder(folder);
    if (listing.error) {
        printError("Erro ao acessar a pasta: " + *listing.error + "\n");
        if (voice == Voice::CommandLine)
            return std::nullopt;
    }
    return std::move(listing.entries);
}

int localJobLimit()
{
    const long cores = sysconf(_SC_NPROCESSORS_ONLN);
    return 4 * static_cast<int>(cores > 0 ? cores : 1);
}

std::optional<KnownResults> loadSoluFile(const std::string& path)
{
    std::string problem;
    std::optional<KnownResults> known = readSoluFile(path, problem);
    if (!known)
        printError("Erro ao ler " + path + ": " + problem + "\n");
    else
        tellWarnings(path, *known);
    return known;
}

std::optional<KnownResults> knownResultsIn(const std::vector<std::string>& entries)
{
    std::optional<KnownResults> known;
    for (const std::string& path : entries) {
        if (!hasSuffix(path, ".solu") || !isRegularFile(path))
            continue;
        std::optional<KnownResults> file = loadSoluFile(path);
        if (!file)
            continue;
        if (!known)
            known.emplace();
        for (auto& [name, result] : file->byName)
            known->byName.insert_or_assign(name, result);
    }
    return known;
}

std::optional<OptimizeRequest> buildRequest(const RunArguments& arguments, RunsOn where)
{
    OptimizeRequest request;
    request.modelFiles = ModelFileRule::CommandLine;
    RunSettings& settings = request.settings;
    settings.solver = solverByWord(arguments.solver);
    if (!settings.solver) {
        printError("Solver desconhecido: " + arguments.solver + "\n");
        return std::nullopt;
    }
    if (const auto why = where == RunsOn::ThisMachine ? settings.solver->unavailable() : std::nullopt) {
        printError(*why + "\n");
        return std::nullopt;
    }
    settings.timeLimit = limitValue(arguments.timeLimit);
    settings.memoryLimitMb = limitValue(arguments.memoryLimit);
    if (!arguments.jobs.empty())
        settings.jobs = std::clamp(std::atoi(arguments.jobs.c_str()), 1, kClusterJobLimit);
    settings.log = !arguments.quiet;
    if (!acceptSolverSettings(arguments, where, settings))
        return std::nullopt;
    if (!arguments.feasibilityTolerance.empty())
        settings.feasibilityTolerance = *parseArgumentNumber(arguments.feasibilityTolerance);
    if (!arguments.integralityTolerance.empty())
        settings.integralityTolerance = *parseArgumentNumber(arguments.integralityTolerance);
    if (!arguments.solu.empty()) {
        request.options.knownResults = loadSoluFile(arguments.solu);
        if (!request.options.knownResults)
            return std::nullopt;
    }
    request.modelFolder = arguments.models;
    if (!acceptFolder(request.modelFolder, kBadModelFolder, Voice::CommandLine))
        return std::nullopt;
    std::optional<std::vector<std::string>> entries = listEntries(request.modelFolder, Voice::CommandLine);
    if (!entries)
        return std::nullopt;
    request.entries = std::move(*entries);
    request.outputFolder = arguments.output;
    if (!acceptFolder(request.outputFolder, kBadOutputFolder, Voice::CommandLine))
        return std::nullopt;
    // A job elsewhere makes the solutions' folder itself.
    if (arguments.saveSolutions && where == RunsOn::ThisMachine && !makeSolutionsFolder(request.outputFolder, settings))
        return std::nullopt;
    return request;
}

std::vector<std::string> optArguments(const RunArguments& arguments)
{
    std::vector<std::string> options{"--solver", arguments.solver};
    const auto add = [&options](const char* option, const std::string& value) {
        if (!value.empty())
            options.insert(options.end(), {option, value});
    };
    add("--time-limit", arguments.timeLimit);
    add("--memory-limit", arguments.memoryLimit);
    add("--jobs", arguments.jobs);
    if (arguments.quiet)
        options.push_back("--quiet");
    add("--solu", arguments.solu.empty() ? std::string() : absolutePath(arguments.solu));
    add("--feasibility-tolerance", arguments.feasibilityTolerance);
    add("--integrality-tolerance", arguments.integralityTolerance);
    if (arguments.saveSolutions)
        options.push_back("--save-solutions");
    for (const std::string& setting : arguments.set)
        add("--set", setting);
    add("--settings", arguments.settingsFile.empty() ? std::string() : absolutePath(arguments.settingsFile));
    return options;
}

std::string absolutePath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::optional<SolverSetting> parseSetting(const std::string& text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        return std::nullopt;
    return SolverSetting{text.substr(0, equals), text.substr(equals + 1)};
}

std::optional<double> parseArgumentNumber(const std::string& text)
{
    std::string number = text;
    if (number.find(',') != std::string::npos && number.find('.') != std::string::npos)
        return std::nullopt;
    std::replace(number.begin(), number.end(), ',', '.');
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || error != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}
