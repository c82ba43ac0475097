#include "shell/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iostream>

#include <unistd.h>

#include <CLI/CLI.hpp>

#include "backends/gurobi/GurobiLibrary.h"
#include "backends/scip/ScipEngine.h"
#include "batch/OptimizeRun.h"
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

struct OptArguments {
    std::string models;
    std::string output;
    std::string solver = "scip";
    std::string timeLimit;
    std::string memoryLimit;
    std::string jobs;
    bool quiet = false;
    std::string solu;
};

int runOpt(const OptArguments& arguments)
{
    OptimizeRequest request;
    RunSettings& settings = request.settings;
    if (arguments.solver == "gurobi") {
        if (!isGurobiLibraryAvailable()) {
            printError(std::string("Bilioteca '") + kGurobiLibraryName + "' não encontrada\n");
            return kUsageError;
        }
        settings.solver = Solver::Gurobi;
    }
    // As at the shell: 0 switches a limit off.
    if (!arguments.timeLimit.empty())
        if (const double seconds = *parseArgumentNumber(arguments.timeLimit); seconds != 0)
            settings.timeLimit = seconds;
    if (!arguments.memoryLimit.empty())
        if (const double megabytes = *parseArgumentNumber(arguments.memoryLimit); megabytes != 0)
            settings.memoryLimitMb = megabytes;
    if (!arguments.jobs.empty())
        settings.jobs = std::stoi(arguments.jobs);
    settings.log = !arguments.quiet;

    if (!arguments.solu.empty()) {
        std::string problem;
        request.options.knownResults = readSoluFile(arguments.solu, problem);
        if (!request.options.knownResults) {
            printError("Erro ao ler " + arguments.solu + ": " + problem + "\n");
            return kUsageError;
        }
    }

    request.modelFolder = arguments.models;
    if (!usableFolder(request.modelFolder, "Pasta de .lps inexistente ou inválida...\n")
        || !listEntries(request.modelFolder, request.entries))
        return kUsageError;
    request.outputFolder = arguments.output;
    if (!usableFolder(request.outputFolder, "Pasta de output inexistente ou inválida...\n"))
        return kUsageError;

    const RunTotals totals = runOptimization(request);
    if (totals.started)
        printError(summaryText(totals));
    return totals.exitStatus();
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
    return std::string("Lumbrix v") + LUMBRIX_VERSION + ", " + scipEngineName();
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
    optCommand->add_option("MODELS", opt.models, "Pasta dos modelos .lp")->required()->type_name("PASTA");
    optCommand->add_option("OUTPUT", opt.output, "Pasta dos arquivos de resultados")->required()->type_name("PASTA");
    optCommand->add_option("--solver", opt.solver, "scip (padrão) ou gurobi")
        ->type_name("SOLVER")
        ->transform(CLI::IsMember({"scip", "gurobi"}, CLI::ignore_case));
    optCommand->add_option("--time-limit", opt.timeLimit, "Tempo máximo por modelo em segundos (0: sem limite)")
        ->type_name("SEGUNDOS")
        ->check(numberAtLeast(0, "um número de segundos, 0 ou mais"));
    optCommand->add_option("--memory-limit", opt.memoryLimit, "Limite de memória por modelo em MB (0: sem limite)")
        ->type_name("MB")
        ->check(numberAtLeast(0, "um número de MB, 0 ou mais"));
    optCommand->add_option("--jobs", opt.jobs, "Modelos resolvidos ao mesmo tempo (padrão 1)")
        ->type_name("N")
        ->check(jobCount());
    optCommand->add_flag("--quiet", opt.quiet, "Sem o log do solver");
    optCommand->add_option("--solu", opt.solu, "Arquivo .solu com os valores conhecidos, para a verificação")
        ->type_name("ARQUIVO");

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
    return runModLp(modFolder);
}
