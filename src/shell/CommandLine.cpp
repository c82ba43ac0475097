#include "shell/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <climits>
#include <cstdlib>
#include <iostream>

#include <unistd.h>

#include <CLI/CLI.hpp>

#include "backends/Solver.h"
#include "batch/MergeRun.h"
#include "batch/OptimizeRun.h"
#include "batch/SlurmJob.h"
#include "convert/ConvertModFolder.h"
#include "fs/Files.h"
#include "fs/Streams.h"

namespace {

constexpr int kUsageError = 2;

int maxJobs()
{
    const long cores = sysconf(_SC_NPROCESSORS_ONLN);
    return 4 * static_cast<int>(cores > 0 ? cores : 1);
}

// Validators run by the parser, so that a bad number is a usage error like any other and
// --help shows what each option takes.
CLI::Validator numberAtLeast(double minimum, const std::string& what)
{
    return CLI::Validator(
        [minimum, what](std::string& text) -> std::string {
            const auto value = parseArgumentNumber(text);
            if (!value || *value < minimum)
                return "esperava " + what + ", recebeu '" + text + "'";
            return {};
        },
        "");
}

CLI::Validator jobCount()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            int value = 0;
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
            if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > maxJobs())
                return "esperava um número inteiro de 1 a " + std::to_string(maxJobs()) + ", recebeu '" + text + "'";
            return {};
        },
        "");
}

// A folder the run cannot use: the shell's own message, on standard error.
bool usableFolder(const std::string& path, const std::string& notFolderMessage)
{
    const FolderCheck check = checkFolder(path);
    if (check.error) {
        printError("Erro: " + check.error->describe() + "\n");
        return false;
    }
    if (!check.isFolder) {
        printError(notFolderMessage);
        return false;
    }
    return true;
}

bool listEntries(const std::string& folder, std::vector<std::string>& entries)
{
    Listing listing = listFolder(folder);
    if (listing.error) {
        printError("Erro ao acessar a pasta: " + *listing.error + "\n");
        return false;
    }
    entries = std::move(listing.entries);
    return true;
}

CLI::Validator shardText()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (!parseShard(text))
                return "esperava K/N com 1 <= K <= N, recebeu '" + text + "'";
            return {};
        },
        "");
}

CLI::Validator taskCount()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            std::size_t value = 0;
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
            if (error != std::errc() || end != text.data() + text.size() || value < 1)
                return "esperava um número inteiro de 1 ou mais, recebeu '" + text + "'";
            return {};
        },
        "");
}

struct OptArguments {
    std::string models;
    std::string output;
    std::string solver = "scip";
    std::string timeLimit;
    std::string memoryLimit;
    std::string jobs;
    bool quiet = false;
    std::string solu;
    std::string shard;
    bool resume = false;
    std::string feasibilityTolerance;
    std::string integralityTolerance;
    bool saveSolutions = false;
    std::string writeSolu;
};

struct SlurmArguments {
    std::string tasks;
    std::string partition;
    std::vector<std::string> sbatchArguments;
    bool dryRun = false;
};

std::vector<std::string> solverWords()
{
    std::vector<std::string> words;
    for (const Solver* solver : solvers())
        words.emplace_back(solver->word);
    return words;
}

// "scip (padrão) ou gurobi", from the registry.
std::string solverChoices()
{
    const std::vector<std::string> words = solverWords();
    std::string text = words.front() + " (padrão)";
    for (std::size_t i = 1; i < words.size(); ++i)
        text += (i + 1 == words.size() ? " ou " : ", ") + words[i];
    return text;
}

// The options that `opt` and `slurm` share, from one table.
void addRunOptions(CLI::App* command, OptArguments& opt)
{
    command->add_option("MODELS", opt.models, "Pasta dos modelos .lp")->required()->type_name("PASTA");
    command->add_option("OUTPUT", opt.output, "Pasta dos arquivos de resultados")->required()->type_name("PASTA");
    command->add_option("--solver", opt.solver, solverChoices())
        ->type_name("SOLVER")
        ->transform(CLI::IsMember(solverWords(), CLI::ignore_case));
    command->add_option("--time-limit", opt.timeLimit, "Tempo máximo por modelo em segundos (0: sem limite)")
        ->type_name("SEGUNDOS")
        ->check(numberAtLeast(0, "um número de segundos, 0 ou mais"));
    command->add_option("--memory-limit", opt.memoryLimit, "Limite de memória por modelo em MB (0: sem limite)")
        ->type_name("MB")
        ->check(numberAtLeast(0, "um número de MB, 0 ou mais"));
    command->add_option("--jobs", opt.jobs, "Modelos resolvidos ao mesmo tempo (padrão 1)")
        ->type_name("N")
        ->check(jobCount());
    command->add_flag("--quiet", opt.quiet, "Sem o log do solver");
    command->add_option("--solu", opt.solu, "Arquivo .solu com os valores conhecidos, para a verificação")
        ->type_name("ARQUIVO");
    command->add_option("--feasibility-tolerance", opt.feasibilityTolerance,
                        "Tolerância das linhas e limites na verificação das soluções (padrão 1e-6)")
        ->type_name("T")
        ->check(numberAtLeast(0, "uma tolerância, 0 ou mais"));
    command->add_option("--integrality-tolerance", opt.integralityTolerance,
                        "Tolerância de integralidade na verificação das soluções (padrão 1e-5)")
        ->type_name("T")
        ->check(numberAtLeast(0, "uma tolerância, 0 ou mais"));
    command->add_flag("--save-solutions", opt.saveSolutions, "Grava a solução de cada modelo em OUTPUT/solutions");
}

// As at the shell: 0 switches a limit off.
std::optional<double> limitValue(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    const double value = *parseArgumentNumber(text);
    return value != 0 ? std::optional<double>(value) : std::nullopt;
}

std::optional<KnownResults> readSolu(const std::string& path)
{
    std::string problem;
    auto known = readSoluFile(path, problem);
    if (!known)
        printError("Erro ao ler " + path + ": " + problem + "\n");
    return known;
}

int runOpt(const OptArguments& arguments)
{
    OptimizeRequest request;
    if (!arguments.shard.empty())
        request.shard = parseShard(arguments.shard);
    request.resume = arguments.resume;
    request.keepModelList = true;
    RunSettings& settings = request.settings;
    settings.solver = solverByWord(arguments.solver);
    if (const auto why = settings.solver->unavailable()) {
        printError(*why + "\n");
        return kUsageError;
    }
    settings.timeLimit = limitValue(arguments.timeLimit);
    settings.memoryLimitMb = limitValue(arguments.memoryLimit);
    if (!arguments.jobs.empty())
        settings.jobs = std::stoi(arguments.jobs);
    settings.log = !arguments.quiet;
    if (!arguments.feasibilityTolerance.empty())
        settings.feasibilityTolerance = *parseArgumentNumber(arguments.feasibilityTolerance);
    if (!arguments.integralityTolerance.empty())
        settings.integralityTolerance = *parseArgumentNumber(arguments.integralityTolerance);
    request.options.explainUncheckedSolutions = true;
    if (!arguments.writeSolu.empty() && request.shard) {
        printError("Erro: --write-solu não se combina com --shard\n");
        return kUsageError;
    }

    if (!arguments.solu.empty()) {
        request.options.knownResults = readSolu(arguments.solu);
        if (!request.options.knownResults)
            return kUsageError;
    }

    request.modelFolder = arguments.models;
    if (!usableFolder(request.modelFolder, "Pasta de .lps inexistente ou inválida...\n")
        || !listEntries(request.modelFolder, request.entries))
        return kUsageError;
    request.outputFolder = arguments.output;
    if (!usableFolder(request.outputFolder, "Pasta de output inexistente ou inválida...\n"))
        return kUsageError;
    if (arguments.saveSolutions && !makeSolutionsFolder(request.outputFolder, settings))
        return kUsageError;

    const RunTotals totals = runOptimization(request);
    if (totals.started)
        printError(summaryText(totals));
    if (totals.started && !arguments.writeSolu.empty() && !writeVerifiedSolu(arguments.writeSolu, totals))
        return 1;
    return totals.exitStatus();
}

std::string absolutePath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string thisProgram()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string("lumbrix");
}

int runSlurm(const OptArguments& opt, const SlurmArguments& arguments)
{
    SlurmRequest request;
    std::vector<std::string> entries;
    if (!usableFolder(opt.models, "Pasta de .lps inexistente ou inválida...\n") || !listEntries(opt.models, entries)
        || !usableFolder(opt.output, "Pasta de output inexistente ou inválida...\n"))
        return kUsageError;
    if (!opt.solu.empty() && !readSolu(opt.solu))
        return kUsageError;
    request.lumbrix = thisProgram();
    request.modelFolder = absolutePath(opt.models);
    request.outputFolder = absolutePath(opt.output);
    request.tasks = std::stoul(arguments.tasks);
    request.timeLimit = limitValue(opt.timeLimit);
    request.memoryLimitMb = limitValue(opt.memoryLimit);
    request.jobs = opt.jobs.empty() ? 1 : std::stoi(opt.jobs);
    request.partition = arguments.partition;
    request.sbatchArguments = arguments.sbatchArguments;
    request.dryRun = arguments.dryRun;

    std::vector<std::size_t> perShard(request.tasks);
    for (const ListedModel& model : listedModels(entries))
        ++perShard[model.number % request.tasks];
    for (const std::size_t models : perShard)
        request.mostModels = std::max(request.mostModels, models);

    std::vector<std::string>& options = request.optOptions;
    options = {"--solver", opt.solver};
    if (!opt.timeLimit.empty())
        options.insert(options.end(), {"--time-limit", opt.timeLimit});
    if (!opt.memoryLimit.empty())
        options.insert(options.end(), {"--memory-limit", opt.memoryLimit});
    if (!opt.jobs.empty())
        options.insert(options.end(), {"--jobs", opt.jobs});
    if (opt.quiet)
        options.push_back("--quiet");
    if (!opt.solu.empty())
        options.insert(options.end(), {"--solu", absolutePath(opt.solu)});
    if (!opt.feasibilityTolerance.empty())
        options.insert(options.end(), {"--feasibility-tolerance", opt.feasibilityTolerance});
    if (!opt.integralityTolerance.empty())
        options.insert(options.end(), {"--integrality-tolerance", opt.integralityTolerance});
    if (opt.saveSolutions)
        options.push_back("--save-solutions");
    return submitSlurmRun(request);
}

int runModLp(const std::string& folder)
{
    std::vector<std::string> entries;
    if (!usableFolder(folder, "Pasta de .mods inexistente ou inválida...\n") || !listEntries(folder, entries))
        return kUsageError;
    std::cout << "Pasta de .mod encontrada\n";
    convertModels(entries);
    std::cout << std::flush;
    return 0;
}

}  // namespace

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

std::string versionText()
{
    return std::string("Lumbrix v") + LUMBRIX_VERSION + ", " + defaultSolver().version();
}

int runCommandLine(int argc, char** argv)
{
    CLI::App app("Lumbrix: resolve em lote os modelos .lp de uma pasta (SCIP ou GUROBI) e converte modelos .mod "
                 "em .lp. Sem argumentos, abre o shell.",
                 "lumbrix");
    app.set_version_flag("--version", versionText(), "Mostra a versão e o motor SCIP ligado");
    app.set_help_flag("-h,--help", "Mostra esta ajuda");
    app.require_subcommand(1);

    OptArguments opt;
    CLI::App* optCommand = app.add_subcommand(
        "opt", "Resolve todo arquivo .lp de MODELS, com o relatório na saída padrão e sol_stat.csv e "
               "sol_detalhes.csv em OUTPUT");
    addRunOptions(optCommand, opt);
    optCommand->add_option("--shard", opt.shard, "Só os modelos de número i com i mod N = K-1, em arquivos da parte")
        ->type_name("K/N")
        ->check(shardText());
    optCommand->add_flag("--resume", opt.resume, "Mantém as linhas já gravadas em OUTPUT e resolve só os outros modelos");
    optCommand->add_option("--write-solu", opt.writeSolu, "Grava, depois da execução, um .solu dos resultados verificados")
        ->type_name("ARQUIVO");

    std::string mergeFolder;
    CLI::App* mergeCommand = app.add_subcommand(
        "merge", "Junta as partes de OUTPUT em sol_stat.csv e sol_detalhes.csv, na ordem da listagem");
    mergeCommand->add_option("OUTPUT", mergeFolder, "Pasta dos arquivos de resultados")->required()->type_name("PASTA");

    OptArguments slurmOpt;
    SlurmArguments slurm;
    CLI::App* slurmCommand = app.add_subcommand(
        "slurm", "Submete ao SLURM um job array de N tarefas (uma parte cada, com --resume) e um job que junta as partes");
    addRunOptions(slurmCommand, slurmOpt);
    slurmCommand->add_option("--tasks", slurm.tasks, "Número de tarefas do job array")
        ->required()
        ->type_name("N")
        ->check(taskCount());
    slurmCommand->add_option("--partition", slurm.partition, "Partição do SLURM")->type_name("P");
    slurmCommand->add_option("--sbatch-arg", slurm.sbatchArguments, "Argumento a mais para o sbatch (repetível)")
        ->type_name("ARG")
        ->expected(1)
        ->take_all()
        ->allow_extra_args(false);
    slurmCommand->add_flag("--dry-run", slurm.dryRun, "Só escreve os scripts e mostra os comandos sbatch");

    std::string modFolder;
    CLI::App* modLpCommand = app.add_subcommand("mod_lp", "Escreve um arquivo .lp ao lado de cada .mod de FOLDER");
    modLpCommand->add_option("FOLDER", modFolder, "Pasta dos modelos .mod")->required()->type_name("PASTA");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // --help and --version end here too, with status 0.
        const int status = app.exit(error);
        std::cout << std::flush;
        return status == 0 ? 0 : kUsageError;
    }
    if (optCommand->parsed())
        return runOpt(opt);
    if (mergeCommand->parsed()) {
        if (!usableFolder(mergeFolder, "Pasta de output inexistente ou inválida...\n"))
            return kUsageError;
        return mergeShards(mergeFolder);
    }
    if (slurmCommand->parsed())
        return runSlurm(slurmOpt, slurm);
    return runModLp(modFolder);
}
