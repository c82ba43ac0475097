#include "shell/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <climits>
#include <cstdlib>
#include <iostream>
#include <string_view>

#include <unistd.h>

#include <CLI/CLI.hpp>

#include "backends/Solver.h"
#include "batch/CompareRun.h"
#include "batch/MergeRun.h"
#include "batch/OptimizeRun.h"
#include "batch/RunRequest.h"
#include "batch/SlurmJob.h"
#include "convert/ConvertModFolder.h"
#include "fs/Files.h"
#include "fs/Streams.h"

namespace {

constexpr int kUsageError = 2;

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

CLI::Validator jobCount(int maxJobs)
{
    return CLI::Validator(
        [maxJobs](std::string& text) -> std::string {
            int value = 0;
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
            if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > maxJobs)
                return "esperava um número inteiro de 1 a " + std::to_string(maxJobs) + ", recebeu '" + text + "'";
            return {};
        },
        "");
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

CLI::Validator settingText()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (!parseSetting(text))
                return "esperava NOME=VALOR, recebeu '" + text + "'";
            return {};
        },
        "");
}

// `opt` alone: a part of the models, and the rows of an earlier run kept.
struct OptPart {
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

// The options that `opt` and `slurm` share, from one table; only the bound of --jobs differs.
void addRunOptions(CLI::App* command, RunArguments& opt, int maxJobs)
{
    command->add_option("MODELS", opt.models, "Pasta dos modelos (.lp, .mps; também .gz, .bz2)")->required()->type_name("PASTA");
    command->add_option("OUTPUT", opt.output, "Pasta dos arquivos de resultados")->required()->type_name("PASTA");
    opt.solver = defaultSolver().word;
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
        ->check(jobCount(maxJobs));
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
    command->add_option("--set", opt.set, "Parâmetro do solver, com o nome do solver (repetível)")
        ->type_name("NOME=VALOR")
        ->expected(1)
        ->take_all()
        ->allow_extra_args(false)
        ->check(settingText());
    command->add_option("--settings", opt.settingsFile, "Arquivo de parâmetros no formato do solver (.set, .prm)")
        ->type_name("ARQUIVO");
}

int runOpt(const RunArguments& arguments, const OptPart& part)
{
    // Every part of a run would write the same file.
    if (!part.writeSolu.empty() && !part.shard.empty()) {
        printError("Erro: --write-solu não se combina com --shard\n");
        return kUsageError;
    }
    std::optional<OptimizeRequest> request = buildRequest(arguments, RunsOn::ThisMachine);
    if (!request)
        return kUsageError;
    if (!part.shard.empty())
        request->shard = parseShard(part.shard);
    request->resume = part.resume;
    request->keepModelList = true;
    request->options.explainUncheckedSolutions = true;
    const RunTotals totals = runOptimization(*request);
    if (totals.started)
        printError(summaryText(totals));
    if (totals.started && !part.writeSolu.empty() && !writeVerifiedSolu(part.writeSolu, totals))
        return 1;
    return totals.exitStatus();
}

std::string thisProgram()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string("lumbrix");
}

int runSlurm(const RunArguments& opt, const SlurmArguments& arguments)
{
    const std::optional<OptimizeRequest> run = buildRequest(opt, RunsOn::Cluster);
    if (!run)
        return kUsageError;
    SlurmRequest request;
    request.lumbrix = thisProgram();
    request.modelFolder = absolutePath(opt.models);
    request.outputFolder = absolutePath(opt.output);
    request.tasks = std::stoul(arguments.tasks);
    request.timeLimit = run->settings.timeLimit;
    request.memoryLimitMb = run->settings.memoryLimitMb;
    request.jobs = run->settings.jobs;
    request.partition = arguments.partition;
    request.sbatchArguments = arguments.sbatchArguments;
    request.dryRun = arguments.dryRun;

    std::vector<std::size_t> perShard(request.tasks);
    for (const ListedModel& model : listedModels(run->entries, run->modelFiles))
        ++perShard[model.number % request.tasks];
    for (const std::size_t models : perShard)
        request.mostModels = std::max(request.mostModels, models);
    request.optOptions = optArguments(opt);
    return submitSlurmRun(request);
}

int runModLp(const std::string& folder)
{
    if (!acceptFolder(folder, kBadModFolder, Voice::CommandLine))
        return kUsageError;
    const std::optional<std::vector<std::string>> entries = listEntries(folder, Voice::CommandLine);
    if (!entries)
        return kUsageError;
    std::cout << "Pasta de .mod encontrada\n";
    const ConversionSummary summary = convertModels(*entries, true);
    std::cout << std::flush;
    for (const std::string& name : summary.notConverted)
        printError("Modelo não convertido: " + name + "\n");
    if (summary.interrupted)
        printError("Conversão interrompida pelo usuário\n");
    return summary.notConverted.empty() && !summary.interrupted ? 0 : 1;
}

}  // namespace

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

    RunArguments opt;
    OptPart part;
    CLI::App* optCommand = app.add_subcommand(
        "opt", "Resolve todo modelo de MODELS (.lp, .mps; também .gz, .bz2), com o relatório na saída padrão e sol_stat.csv e "
               "sol_detalhes.csv em OUTPUT");
    addRunOptions(optCommand, opt, localJobLimit());
    optCommand->add_option("--shard", part.shard, "Só os modelos de número i com i mod N = K-1, em arquivos da parte")
        ->type_name("K/N")
        ->check(shardText());
    optCommand->add_flag("--resume", part.resume, "Mantém as linhas já gravadas em OUTPUT e resolve só os outros modelos");
    optCommand->add_option("--write-solu", part.writeSolu, "Grava, depois da execução, um .solu dos resultados verificados")
        ->type_name("ARQUIVO");

    std::string mergeFolder;
    CLI::App* mergeCommand = app.add_subcommand(
        "merge", "Junta as partes de OUTPUT em sol_stat.csv e sol_detalhes.csv, na ordem da listagem");
    mergeCommand->add_option("OUTPUT", mergeFolder, "Pasta dos arquivos de resultados")->required()->type_name("PASTA");

    CompareRequest compare;
    std::string shift;
    CLI::App* compareCommand = app.add_subcommand(
        "compare", "Compara runs do opt modelo a modelo: tabela na saída padrão, página HTML e tabela CSV");
    compareCommand->add_option("RUN", compare.runs, "Pasta de saída do opt, ou um sol_detalhes.csv")
        ->required()
        ->type_name("RUN");
    compareCommand->add_option("--label", compare.labels, "Nome de um run, na ordem dos runs (repetível)")
        ->type_name("NOME")
        ->expected(1)
        ->take_all()
        ->allow_extra_args(false);
    compareCommand->add_option("--shift", shift, "Deslocamento da média geométrica em segundos (padrão 10)")
        ->type_name("SEGUNDOS")
        ->check(numberAtLeast(0, "um número de segundos, 0 ou mais"));
    compareCommand->add_option("--html", compare.htmlPath, "Grava a comparação numa página HTML")->type_name("ARQUIVO");
    compareCommand->add_option("--csv", compare.csvPath, "Grava a tabela por modelo, de todos os runs")
        ->type_name("ARQUIVO");

    RunArguments slurmOpt;
    SlurmArguments slurm;
    CLI::App* slurmCommand = app.add_subcommand(
        "slurm", "Submete ao SLURM um job array de N tarefas (uma parte cada, com --resume) e um job que junta as partes");
    addRunOptions(slurmCommand, slurmOpt, kClusterJobLimit);
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
    } catch (const CLI::CallForVersion& version) {
        // The version stands alone, so that a mistyped command is never taken for it.
        if (argc != 2 || std::string_view(argv[1]) != "--version") {
            std::string others;
            bool versionSeen = false;
            for (int i = 1; i < argc; ++i) {
                if (!versionSeen && std::string_view(argv[i]) == "--version")
                    versionSeen = true;
                else
                    others += (others.empty() ? "" : " ") + std::string(argv[i]);
            }
            printError("--version: não esperava outros argumentos, recebeu '" + others + "'\n");
            return kUsageError;
        }
        app.exit(version);
        std::cout << std::flush;
        return 0;
    } catch (const CLI::ParseError& error) {
        // --help ends here too, with status 0.
        const int status = app.exit(error);
        std::cout << std::flush;
        return status == 0 ? 0 : kUsageError;
    }
    if (optCommand->parsed())
        return runOpt(opt, part);
    if (mergeCommand->parsed()) {
        if (!acceptFolder(mergeFolder, kBadOutputFolder, Voice::CommandLine))
            return kUsageError;
        return mergeShards(mergeFolder);
    }
    if (compareCommand->parsed()) {
        if (!shift.empty())
            compare.shift = *parseArgumentNumber(shift);
        return runCompare(compare);
    }
    if (slurmCommand->parsed())
        return runSlurm(slurmOpt, slurm);
    return runModLp(modFolder);
}
