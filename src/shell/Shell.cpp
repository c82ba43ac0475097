#include "shell/Shell.h"

#include <iostream>

#include "fs/Streams.h"
#include "shell/Commands.h"
#include "shell/Console.h"
#include "shell/FolderCommands.h"
#include "shell/Settings.h"

namespace {

void showHelp(RunSettings&)
{
    std::cout << helpText();
}

void showAbout(RunSettings&)
{
    std::cout << aboutText();
}

constexpr Command kCommands[] = {
    {"opt", "otimizar arquivos de uma determinada pasta (a pasta deve conter somente arquivos .lp)\n", optimizeFolder},
    {"solver", "altera o solver padrão (SCIP), opções - SCIP/GUROBI\n", chooseSolver},
    {"time_limit", "adicionar um tempo máximo (em segundos) para a execução dos modelos\n", askTimeLimit},
    {"verbose", "imprime log da otimização (s/n)\n", askVerbose},
    {"mod_lp",
     "converter arquivos do formato mod para lp. Se os dados do modelo forem lidos de tabelas\n"
     "                o programa só funciona se o executável estiver na mesma pasta dos modelos.\n",
     convertModFolder},
    {"about", "informações sobre o Lumbrix\n", showAbout},
    {"exit", "finalizar Lumbrix\n", nullptr},
    {"memory_limit", "adicionar um limite de memória (em MB) para cada modelo; 0 remove o limite\n", askMemoryLimit},
    {"jobs", "número de modelos resolvidos ao mesmo tempo (padrão 1)\n", askJobs},
    {"help", "", showHelp},
};

// The description starts in the 17th column.
constexpr std::size_t kHelpColumn = 16;

}  // namespace

std::span<const Command> shellCommands()
{
    return kCommands;
}

std::string helpText()
{
    std::string text = "\n";
    for (const Command& command : kCommands) {
        if (command.help.empty())
            continue;
        std::string line = " ";
        line += command.word;
        line.resize(kHelpColumn, ' ');
        text += line;
        text += command.help;
    }
    return text + "\n";
}

void runShell()
{
    RunSettings settings;
    std::cout << aboutText();

    std::string line;
    for (;;) {
        // The end of input ends the shell as `exit` does.
        if (!promptLine("Lumbrix> ", line, Completion::Command))
            line = "exit";
        const Command* match = nullptr;
        for (const Command& command : kCommands)
            if (line == command.word)
                match = &command;
        if (!match) {
            printError("Comando não reconhecido. Para ver os comandos digite 'help'\n");
        } else if (!match->handler) {
            std::cout << "Saindo do shell...\n" << std::flush;
            return;
        } else {
            match->handler(settings);
        }
    }
}
