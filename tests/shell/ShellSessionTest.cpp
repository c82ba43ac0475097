// The shell as a user or a script meets it: exact bytes on each stream.
#include <gtest/gtest.h>

#include <regex>

#include <sys/stat.h>

#include "Process.h"
#include "TempDir.h"
#include "shell/Settings.h"
#include "shell/Commands.h"

namespace {

const std::string kPrompt = "Lumbrix> ";
const std::string kUnknown = "Comando não reconhecido. Para ver os comandos digite 'help'\n";
const std::string kBye = "Saindo do shell...\n";

ProcessOptions withoutGurobi()
{
    ProcessOptions options;
    options.unsetEnvironment = {"LD_LIBRARY_PATH"};
    return options;
}

TEST(ShellSession, BannerPromptAndExit)
{
    const ProcessResult run = runLumbrix("exit\n");
    EXPECT_EQ(run.out, aboutText() + kPrompt + kBye);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.exitCode, 0);
}

TEST(ShellSession, BannerHasItsFixedWords)
{
    const std::string banner = aboutText();
    const std::regex shape(
        "\nLumbrix v3\\.0, resolvedor de modelos \\.lp em lote, e gerador de arquivos \\.lp a partir de arquivos "
        "\\.mod\\. Criado por [^\n]+ \\([^\n]+@[^\n]+\\)\\.Existem 2 solvers que podem ser utilizados: o ([^\n]+) "
        "\\([^\n]+\\), e o GUROBI 12\\.1 \\([^\n]+\\)\\.  \n"
        "O transformador de formatos é o GLPK \\([^\n]+\\)\\.  \n"
        "Para acessar as funcionalidades digite 'help'\\. \n\n");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(banner, match, shape)) << banner;
#ifdef LUMBRIX_SCIP_COMPAT
    EXPECT_NE(match[1].str().find("GLPK 5."), std::string::npos) << match[1];
#else
    EXPECT_TRUE(std::regex_match(match[1].str(), std::regex("SCIP [0-9]+\\.[0-9]+\\.[0-9]+"))) << match[1];
#endif
}

TEST(ShellSession, EndOfInputEndsLikeExit)
{
    for (const std::string input : {"", "help"}) {
        const ProcessResult run = runLumbrix(input);
        EXPECT_EQ(run.exitCode, 0) << input;
        EXPECT_TRUE(run.out.ends_with(kPrompt + kBye)) << run.out;
        EXPECT_EQ(run.err, "");
    }
    // An unterminated last line is still a command.
    EXPECT_NE(runLumbrix("help").out.find(helpText()), std::string::npos);
}

TEST(ShellSession, HelpTextAndItsColumns)
{
    const ProcessResult run = runLumbrix("help\nexit\n");
    EXPECT_EQ(run.out, aboutText() + kPrompt + helpText() + kPrompt + kBye);
    const std::string& help = helpText();
    EXPECT_TRUE(help.starts_with("\n opt            otimizar arquivos de uma determinada pasta (a pasta deve conter "
                                 "somente arquivos .lp)\n solver         altera o solver padrão (SCIP), opções - "
                                 "SCIP/GUROBI\n"));
    EXPECT_NE(help.find(" time_limit     adicionar um tempo máximo (em segundos) para a execução dos modelos\n"
                        " verbose        imprime log da otimização (s/n)\n"
                        " mod_lp         converter arquivos do formato mod para lp. Se os dados do modelo forem lidos "
                        "de tabelas\n                o programa só funciona se o executável estiver na mesma pasta "
                        "dos modelos.\n about          informações sobre o Lumbrix\n exit           finalizar "
                        "Lumbrix\n memory_limit   adicionar um limite de memória (em MB) para cada modelo; 0 remove o "
                        "limite\n jobs           número de modelos resolvidos ao mesmo tempo (padrão 1)\n\n"),
              std::string::npos);
    EXPECT_EQ(help.find(" help "), std::string::npos);
}

TEST(ShellSession, MemoryLimitTakesMegabytesWithADecimalComma)
{
    const std::string ask = "Digite o limite de memória por modelo (MB)> ";
    const std::string invalid = "Valor inválido, o limite de memória não foi alterado.\n";
    for (const char* answer : {"", "muito", "-1", "inf", "1e999"}) {
        const ProcessResult run = runLumbrix("memory_limit\n" + std::string(answer) + "\nexit\n");
        EXPECT_TRUE(run.out.ends_with(kPrompt + ask + invalid + kPrompt + kBye)) << answer;
    }
    for (const char* answer : {"0", "512", "1,5", " 300 MB"}) {
        const ProcessResult run = runLumbrix("memory_limit\n" + std::string(answer) + "\nexit\n");
        EXPECT_TRUE(run.out.ends_with(kPrompt + ask + kPrompt + kBye)) << answer;
        EXPECT_EQ(run.err, "");
    }
}

TEST(ShellSession, UnrecognisedCommandsGoToStandardError)
{
    const ProcessResult run = runLumbrix("\nHELP\n help\nhelp \nexit now\nopt x\nexit\n");
    std::string prompts, messages;
    for (int i = 0; i < 6; ++i) {
        prompts += kPrompt;
        messages += kUnknown;
    }
    EXPECT_EQ(run.out, aboutText() + prompts + kPrompt + kBye);
    EXPECT_EQ(run.err, messages);
}

TEST(ShellSession, AboutRepeatsTheBanner)
{
    const ProcessResult run = runLumbrix("about\nexit\n");
    EXPECT_EQ(run.out, aboutText() + kPrompt + aboutText() + kPrompt + kBye);
}

TEST(ShellSession, SolverAnswers)
{
    const std::string question = "Digite o solver que deseja usar (GUROBI/SCIP)> ";
    const ProcessResult run = runLumbrix("solver\nscip\nsolver\nSCIP \nsolver\nSCIP\nsolver\nGUROBI\nexit\n",
                                         withoutGurobi());
    const std::string invalid = "Opção inexistente, favor selecionar um solver dentre os disponibilizados.\n";
    EXPECT_EQ(run.out, aboutText() + kPrompt + question + invalid + kPrompt + question + invalid + kPrompt
                           + question + kPrompt + question + "Bilioteca 'libgurobi120.so' não encontrada\n" + kPrompt
                           + kBye);
    EXPECT_EQ(run.err, "");
}

TEST(ShellSession, TimeLimitAnswers)
{
    const std::string question = "Digite o tempo máximo para resolução dos modelos (seg)> ";
    const std::string invalid = "Valor inválido, o tempo máximo não foi alterado.\n";
    const ProcessResult run = runLumbrix(
        "time_limit\n1,5\ntime_limit\nabc\ntime_limit\n\ntime_limit\n   \ntime_limit\nnan\ntime_limit\n1e999\n"
        "time_limit\n  30 segundos\ntime_limit\n-5\nexit\n");
    EXPECT_EQ(run.out, aboutText() + kPrompt + question + kPrompt + question + invalid + kPrompt + question + invalid
                           + kPrompt + question + invalid + kPrompt + question + invalid + kPrompt + question
                           + invalid + kPrompt + question + kPrompt + question + kPrompt + kBye);
    EXPECT_EQ(run.err, "");
}

TEST(ShellSession, VerboseAnswers)
{
    const std::string question = "Imprimir log do solver? (s/n)> ";
    const std::string invalid = "Opção inexistente, favor selecionar uma opção válida.\n";
    const ProcessResult run = runLumbrix("verbose\nS\nverbose\nsim\nverbose\n\nverbose\nn\nverbose\ns\nexit\n");
    EXPECT_EQ(run.out, aboutText() + kPrompt + question + invalid + kPrompt + question + invalid + kPrompt + question
                           + invalid + kPrompt + question + kPrompt + question + kPrompt + kBye);
}

TEST(ShellSession, EndOfInputInsideAQuestionIsAnEmptyAnswer)
{
    const ProcessResult run = runLumbrix("verbose\n");
    EXPECT_EQ(run.out, aboutText() + kPrompt + "Imprimir log do solver? (s/n)> "
                           + "Opção inexistente, favor selecionar uma opção válida.\n" + kPrompt + kBye);
    EXPECT_EQ(run.exitCode, 0);
}

TEST(ShellSession, FileSystemErrorEndsTheCommandNotTheSession)
{
    TempDir closed;
    chmod(closed.path().c_str(), 0);  // nobody but root may look inside
    const std::string hidden = closed.file("modelos");
    ProcessOptions options;
    options.unprivileged = true;
    options.input = "opt\n" + hidden + "\nhelp\nexit\n";
    const ProcessResult run = runProcess({publicLumbrixBinary()}, options);
    if (run.exitCode == 125)
        GTEST_SKIP() << "cannot drop privileges here";
    EXPECT_EQ(run.err, "Erro: exists: Permission denied: \"" + hidden + "\"\n");
    EXPECT_EQ(run.out, aboutText() + kPrompt + "Digite o caminho da pasta de arquivos .lp> " + kPrompt + helpText()
                           + kPrompt + kBye);
    EXPECT_EQ(run.exitCode, 0);
}

}  // namespace
