#include "shell/Shell.h"

#include <iostream>
#include <string_view>

#include "batch/FileSystemError.h"
#include "batch/OptimizeFolder.h"
#include "convert/ConvertModFolder.h"
#include "shell/Console.h"
#include "shell/Settings.h"

namespace {

struct Command {
    std::string_view word;
    void (*handler)();
};

void showHelp()
{
    std::cout << helpText();
}

constexpr Command kCommands[] = {
    {"opt", optimizeFolder},  {"solver", chooseSolver}, {"time_limit", askTimeLimit},
    {"verbose", askVerbose},  {"mod_lp", convertModFolder}, {"help", showHelp},
    {"about", showAbout},
};

void runCommand(void (*handler)())
{
    // A file-system failure ends the command, not the session.
    try {
        handler();
    } catch (const FileSystemError& error) {
        printError(std::string("Erro: ") + error.what() + "\n");
    }
}

}  // namespace

const std::string& helpText()
{
    static const std::string text =
        "\n"
        " opt            otimizar arquivos de uma determinada pasta (a pasta deve conter somente arquivos .lp)\n"
        " solver         altera o solver padrão (SCIP), opções - SCIP/GUROBI\n"
        " time_limit     adicionar um tempo máximo (em segundos) para a execução dos modelos\n"
        " verbose        imprime log da otimização (s/n)\n"
        " mod_lp         converter arquivos do formato mod para lp. Se os dados do modelo forem lidos de tabelas\n"
        "                o programa só funciona se o executável estiver na mesma pasta dos modelos.\n"
        " about          informações sobre o Lumbrix\n"
        " exit           finalizar Lumbrix\n"
        "\n";
    return text;
}

void runShell()
{
    g_timeLimit = 0;
    showAbout();

    std::string line;
    for (;;) {
        // The end of input ends the shell as `exit` does.
        if (!promptLine("Lumbrix> ", line, Completion::Command))
            line = "exit";
        if (line == "exit") {
            std::cout << "Saindo do shell...\n" << std::flush;
            return;
        }
        const Command* match = nullptr;
        for (const Command& command : kCommands)
            if (line == command.word)
                match = &command;
        if (match)
            runCommand(match->handler);
        else
            printError("Comando não reconhecido. Para ver os comandos digite 'help'\n");
    }
}
