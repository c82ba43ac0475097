#include "shell/Settings.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iostream>

#include "backends/gurobi/GurobiLibrary.h"
#include "backends/scip/ScipEngine.h"
#include "shell/Console.h"

void chooseSolver(RunSettings& settings)
{
    const std::string answer = askLine("Digite o solver que deseja usar (GUROBI/SCIP)> ");
    if (answer == "SCIP") {
        settings.solver = Solver::Scip;
    } else if (answer == "GUROBI") {
        if (isGurobiLibraryAvailable())
            settings.solver = Solver::Gurobi;
        else
            std::cout << "Bilioteca '" << kGurobiLibraryName << "' não encontrada\n";
    } else {
        std::cout << "Opção inexistente, favor selecionar um solver dentre os disponibilizados.\n";
    }
}

std::optional<double> parseTimeLimit(const std::string& answer)
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
    if (const auto seconds = parseTimeLimit(answer))
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

std::string aboutText()
{
    return "\nLumbrix v3.0, resolvedor de modelos .lp em lote, e gerador de arquivos .lp a partir de "
           "arquivos .mod. Criado por Equipe Lumbrix (equipe@lumbrix.org)."
           "Existem 2 solvers que podem ser utilizados: o "
        + scipEngineName()
        + " (https://www.scipopt.org/doc/html/modules.php), e o GUROBI 12.1 (https://www.gurobi.com).  \n"
          "O transformador de formatos é o GLPK (https://www.gnu.org/software/glpk/).  \n"
          "Para acessar as funcionalidades digite 'help'. \n\n";
}
