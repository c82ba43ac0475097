#include "batch/SlurmJob.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <iostream>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fs/Files.h"
#include "fs/Paths.h"
#include "fs/Process.h"
#include "fs/Streams.h"
#include "report/RunFiles.h"

namespace {

const std::string kOptScript = std::string(kSlurmFilePrefix) + "_opt.sh";
const std::string kMergeScript = std::string(kSlurmFilePrefix) + "_merge.sh";

std::string joined(const std::vector<std::string>& words)
{
    std::string line;
    for (const std::string& word : words) {
        if (!line.empty())
            line += ' ';
        line += shellWord(word);
    }
    return line;
}

// The job's requests inside its script too, so that a task submitted again by hand
// (`sbatch --array=3 sol_slurm_opt.sh`) asks for the same. The user's own sbatch arguments
// go there only when each is a whole long option (`--account=lab`, `--hold`): a value given
// as a word of its own cannot be told from a flag. sbatch reads a value in double quotes as
// one word.
std::string directives(std::vector<std::string> arguments, const SlurmRequest& request)
{
    arguments.pop_back();  // the script
    const auto& user = request.sbatchArguments;
    if (!std::all_of(user.begin(), user.end(), [](const std::string& word) { return word.starts_with("--"); }))
        arguments.resize(arguments.size() - user.size());
    std::string lines;
    for (const std::string& argument : arguments) {
        if (argument == "--parsable" || argument.starts_with("--array=") || argument.starts_with("--dependency=")
            || !argument.starts_with("-") || argument.find('"') != std::string::npos)
            continue;
        const std::size_t equals = argument.find('=');
        const bool plain = argument.find_first_of(" \t") == std::string::npos || equals == std::string::npos;
        lines += "#SBATCH " + (plain ? argument : argument.substr(0, equals + 1) + '"' + argument.substr(equals + 1) + '"')
            + "\n";
    }
    return lines;
}

std::string optScript(const SlurmRequest& request)
{
    std::vector<std::string> command = {request.lumbrix, "opt", request.modelFolder, request.outputFolder};
    command.insert(command.end(), request.optOptions.begin(), request.optOptions.end());
    return "#!/bin/sh\n" + directives(arrayJobArguments(request), request)
        + "# A task of a Lumbrix run: shard SLURM_ARRAY_TASK_ID + 1 of " + std::to_string(request.tasks)
        + ", resumed where an earlier attempt of the task stopped.\n"
          "exec "
        + joined(command) + " --shard \"$((SLURM_ARRAY_TASK_ID + 1))/" + std::to_string(request.tasks)
        + "\" --resume\n";
}

std::string mergeScript(const SlurmRequest& request)
{
    return "#!/bin/sh\n" + directives(mergeJobArguments(request, {}), request)
        + "# The end of a Lumbrix run: the shards' rows joined in listing order.\n"
          "exec "
        + joined({request.lumbrix, "merge", request.outputFolder}) + "\n";
}

bool writeScript(const std::string& folder, const std::string& name, const std::string& text)
{
    const std::string path = pathInFolder(folder, name);
    int error = replaceFile(path, pathInFolder(folder, "." + name + ".tmp"), text);
    if (error == 0 && chmod(path.c_str(), 0755) != 0)
        error = errno;
    if (error != 0)
        printError("Erro ao gravar " + path + ": " + std::strerror(error) + "\n");
    return error == 0;
}

// Runs sbatch with its standard output captured; its standard error stays ours. The job id
// it prints with --parsable ("id" or "id;cluster"), or "" after a failure, told.
std::string sbatch(const std::vector<std::string>& arguments)
{
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        printError(std::string("Erro ao executar sbatch: ") + std::strerror(errno) + "\n");
        return {};
    }
    std::vector<std::string> words = {"sbatch"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    pid_t pid = -1;
    const int spawnError = posix_spawnp(&pid, "sbatch", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawnError != 0) {
        close(out[0]);
        printError(std::string("Erro ao executar sbatch: ") + std::strerror(spawnError) + "\n");
        return {};
    }
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(out[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    close(out[0]);
    const int status = waitForChild(pid).value_or(-1);
    const std::string id = text.substr(0, text.find_first_of(";\r\n"));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || id.empty()) {
        printError("Erro: sbatch falhou" + (WIFEXITED(status) ? " com o código " + std::to_string(WEXITSTATUS(status)) : std::string()) + "\n");
        return {};
    }
    return id;
}

void addCommon(std::vector<std::string>& arguments, const SlurmRequest& request)
{
    if (!request.partition.empty())
        arguments.push_back("--partition=" + request.partition);
    arguments.insert(arguments.end(), request.sbatchArguments.begin(), request.sbatchArguments.end());
}

// SLURM reads --output as a pattern (%j, %A, %a, ...), in which "%%" is a '%': the output
// folder's own '%' are written so, and `pattern` (a file name with SLURM's fields) after it.
std::string outputOption(const SlurmRequest& request, const std::string& pattern)
{
    std::string folder;
    for (const char c : request.outputFolder) {
        folder += c;
        if (c == '%')
            folder += '%';
    }
    return "--output=" + pathInFolder(folder, pattern);
}

// The merge job's dependency on the array job that the printed command before it submits.
std::string dependsOnShellJob(std::string line)
{
    const std::string placeholder = "--dependency=afterany:ID";
    line.replace(line.find(placeholder), placeholder.size(), "--dependency=afterany:\"${job%%;*}\"");
    return line;
}

}  // namespace

namespace {

constexpr double kLongestTaskSeconds = 60.0 * 0xfffffffe;

}  // namespace

std::optional<long long> taskSeconds(std::optional<double> timeLimit, std::size_t models, int jobs)
{
    if (!timeLimit)
        return std::nullopt;
    const std::size_t perJob = jobs > 1 ? (models + static_cast<std::size_t>(jobs) - 1) / static_cast<std::size_t>(jobs) : models;
    const double seconds = std::ceil(static_cast<double>(perJob) * (11 * *timeLimit / 10 + 15) + 300);
    // Beyond SLURM's own "unlimited" (about 8,000 years) a limit asks for nothing.
    if (!(seconds < kLongestTaskSeconds))
        return std::nullopt;
    return static_cast<long long>(seconds);
}

std::string slurmTime(long long seconds)
{
    char text[64];
    std::snprintf(text, sizeof text, "%lld-%02lld:%02lld:%02lld", seconds / 86400, seconds / 3600 % 24,
                  seconds / 60 % 60, seconds % 60);
    return text;
}

std::string shellWord(const std::string& word)
{
    const bool safe = !word.empty() && word.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                                              "0123456789_/.,:=%+@-")
        == std::string::npos;
    if (safe)
        return word;
    std::string quoted = "'";
    for (const char c : word) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

std::vector<std::string> arrayJobArguments(const SlurmRequest& request)
{
    std::vector<std::string> arguments = {
        "--parsable",
        "--job-name=lumbrix",
        "--array=0-" + std::to_string(request.tasks - 1),
        outputOption(request, std::string(kSlurmFilePrefix) + "_opt-%A_%a.out"),
        "--cpus-per-task=" + std::to_string(request.jobs),
    };
    if (const auto seconds = taskSeconds(request.timeLimit, request.mostModels, request.jobs))
        arguments.push_back("--time=" + slurmTime(*seconds));
    if (request.memoryLimitMb)
        arguments.push_back("--mem="
                            + std::to_string(static_cast<long long>(std::ceil(*request.memoryLimitMb * request.jobs)))
                            + "M");
    addCommon(arguments, request);
    arguments.push_back(pathInFolder(request.outputFolder, kOptScript));
    return arguments;
}

std::vector<std::string> mergeJobArguments(const SlurmRequest& request, const std::string& arrayJob)
{
    std::vector<std::string> arguments = {
        "--parsable",
        "--job-name=lumbrix-merge",
        "--dependency=afterany:" + arrayJob,
        outputOption(request, std::string(kSlurmFilePrefix) + "_merge-%j.out"),
    };
    addCommon(arguments, request);
    arguments.push_back(pathInFolder(request.outputFolder, kMergeScript));
    return arguments;
}

int submitSlurmRun(const SlurmRequest& request)
{
    if (!writeScript(request.outputFolder, kOptScript, optScript(request))
        || !writeScript(request.outputFolder, kMergeScript, mergeScript(request)))
        return 1;
    if (request.dryRun) {
        std::cout << "job=$(sbatch " << joined(arrayJobArguments(request)) << ")\n"
                  << "sbatch " << dependsOnShellJob(joined(mergeJobArguments(request, "ID"))) << "\n"
                  << std::flush;
        return 0;
    }
    const std::string arrayJob = sbatch(arrayJobArguments(request));
    if (arrayJob.empty())
        return 1;
    std::cout << arrayJob << "\n" << std::flush;
    const std::string mergeJob = sbatch(mergeJobArguments(request, arrayJob));
    if (mergeJob.empty())
        return 1;
    std::cout << mergeJob << "\n" << std::flush;
    return 0;
}
