#include "shell/Settings.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cctype>
#include <cstdlib>
#include <iostream>

#include <unistd.h>

#include "batch/RunRequest.h"
#include "shell/Console.h"

void chooseSolver(RunSettings& settings)
{
    const std::string answer = askLine("Digite o solver que deseja usar (GUROBI/SCIP)> ");
    const Solver* solver = solverByShellWord(answer);
    if (!solver)
        std::cout << "Opção inexistente, favor selecionar um solver dentre os disponibilizados.\n";
    else if (const auto why = solver->unavailable())
        std::cout << *why << "\n";
    else
        settings.solver = solver;
}

std::optional<double> parseNumber(const std::string& answer)
{
    // With a decimal comma a point cannot continue a number, and the comma plays the
    // point's part; the C library then reads the rest in its own locale.
    std::string text = answer.substr(0, answer.find('.'));
    std::replace(text.begin(), text.end(), ',', '.');
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(begin, &end);
    if (end == begin || errno == ERANGE || !std::isfinite(value))
        return std::nullopt;
    return value;
}

void askTimeLimit(RunSettings& settings)
{
    const std::string answer = askLine("Digite o tempo máximo para resolução dos modelos (seg)> ");
    // 0 switches the limit off; any other number, negative ones included, is handed to the solver.
    if (const auto seconds = parseNumber(answer))
        settings.timeLimit = *seconds != 0 ? seconds : std::nullopt;
    else
        std::cout << "Valor inválido, o tempo máximo não foi alterado.\n";
}

void askVerbose(RunSettings& settings)
{
    const std::string answer = askLine("Imprimir log do solver? (s/n)> ");
    if (answer == "s" || answer == "n")
        settings.log = answer == "s";
    else
        std::cout << "Opção inexistente, favor selecionar uma opção válida.\n";
}

void askMemoryLimit(RunSettings& settings)
{
    const std::string answer = askLine("Digite o limite de memória por modelo (MB)> ");
    const auto megabytes = parseNumber(answer);
    if (megabytes && *megabytes >= 0)
        settings.memoryLimitMb = *megabytes != 0 ? megabytes : std::nullopt;
    else
        std::cout << "Valor inválido, o limite de memória não foi alterado.\n";
}

std::optional<int> parseJobs(const std::string& answer)
{
    const long most = localJobLimit();
    const char* begin = answer.c_str();
    char* end = nullptr;
    errno = 0;
    const long jobs = std::strtol(begin, &end, 10);
    if (end == begin || errno == ERANGE || jobs < 1 || jobs > most || answer.find('\0') != std::string::npos)
        return std::nullopt;
    for (; *end != '\0'; ++end)
        if (!std::isspace(static_cast<unsigned char>(*end)))
            return std::nullopt;
    return static_cast<int>(jobs);
}

void askJobs(RunSettings& settings)
{
    const std::string answer = askLine("Digite o número de modelos resolvidos ao mesmo tempo> ");
    if (const auto jobs = parseJobs(answer))
        settings.jobs = *jobs;
    else
        std::cout << "Valor inválido, o número de modelos simultâneos não foi alterado.\n";
}

std::string aboutText()
{
    return "\nLumbrix v" LUMBRIX_VERSION ", resolvedor de modelos .lp em lote, e gerador de arquivos .lp a partir de "
           "arquivos .mod. Criado por Equipe Lumbrix (equipe@lumbrix.org)."
           "Existem 2 solvers que podem ser utilizados: o "
        + defaultSolver().version()
        + " (https://www.scipopt.org/doc/html/modules.php), e o GUROBI 12.1 (https://www.gurobi.com).  \n"
          "O transformador de formatos é o GLPK (https://www.gnu.org/software/glpk/).  \n"
          "Para acessar as funcionalidades digite 'help'. \n\n";
}
