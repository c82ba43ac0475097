// Answers no user means: lines of a megabyte, NUL bytes, nothing but blanks. Each gets the
// prompt's fixed message and the session goes on to a normal end.
#include <gtest/gtest.h>

#include "FaultSupport.h"
#include "Process.h"
#include "TempDir.h"
#include "shell/Settings.h"

namespace {

const std::string kAskSolver = "Digite o solver que deseja usar (GUROBI/SCIP)> ";
const std::string kAskModFolder = "Digite o caminho da pasta de arquivos .mod> ";
const std::string kBadSolver = "Opção inexistente, favor selecionar um solver dentre os disponibilizados.\n";
const std::string kBadTimeLimit = "Valor inválido, o tempo máximo não foi alterado.\n";
const std::string kBadVerbose = "Opção inexistente, favor selecionar uma opção válida.\n";
const std::string kBadModFolder = "Pasta de .mods inexistente ou inválida...\n";

const std::size_t kMegabyte = std::size_t{1} << 20;

void expectNormalEnd(const ProcessResult& run)
{
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.signal, 0);
    EXPECT_FALSE(run.timedOut);
}

TEST(LongLines, AMegabyteAtEveryPrompt)
{
    TempDir models, output;
    models.write("a.lp", lpWithOptimum(1));
    const std::string letters(kMegabyte, 'x');
    const std::string command = "exit" + std::string(kMegabyte, ' ');
    const std::string digits(kMegabyte, '9');
    const std::string slashes(kMegabyte, '/');
    const std::string underFolder = models.path() + "/" + letters;

    const std::string input = command + "\n" + letters + "\nsolver\n" + letters + "\nsolver\nSCIP" + letters
        + "\ntime_limit\n" + letters + "\ntime_limit\n" + digits + "\nverbose\n" + letters + "\nverbose\nn" + letters
        + "\nopt\n" + letters + "\nopt\n" + slashes + "\nopt\n" + underFolder + "\nopt\n" + models.path() + "\n"
        + letters + "\nopt\n" + models.path() + "\n" + slashes + "\nmod_lp\n" + letters + "\nmod_lp\n" + slashes
        + "\nexit\n";
    const ProcessResult run = runLumbrix(input);

    const std::string askedModels = kPrompt + kAskModels;
    EXPECT_EQ(run.out, aboutText() + kPrompt + kPrompt + kPrompt + kAskSolver + kBadSolver + kPrompt + kAskSolver
                           + kBadSolver + kPrompt + kAskTimeLimit + kBadTimeLimit + kPrompt + kAskTimeLimit
                           + kBadTimeLimit + kPrompt + kAskVerbose + kBadVerbose + kPrompt + kAskVerbose + kBadVerbose
                           + askedModels + kBadModels + askedModels + kBadModels + askedModels + kBadModels
                           + askedModels + kAskOutput + kBadOutput + askedModels + kAskOutput + kBadOutput + kPrompt
                           + kAskModFolder + kBadModFolder + kPrompt + kAskModFolder + kBadModFolder + kPrompt + kBye);
    EXPECT_EQ(run.err, kUnknownCommand + kUnknownCommand);
    expectNormalEnd(run);
    EXPECT_FALSE(fileExists(output.file("sol_stat.csv")));
}

TEST(NulBytes, ANulIsPartOfTheLine)
{
    using namespace std::string_literals;
    TempDir models, output, convert;
    models.write("a.lp", lpWithOptimum(1));
    // With the line cut at its NUL these would all be good answers.
    const std::string input = "exit\0\n"s + "opt\0\n"s + "solver\nSCIP\0\n"s + "verbose\nn\0\n"s + "time_limit\n\0"s
        + "5\n" + "opt\n" + models.path() + "\0/../nada\n"s + "opt\n" + models.path() + "\n" + output.path()
        + "\0/x\n"s + "mod_lp\n" + convert.path() + "\0\n"s + "\0exit\n"s + "exit\n";
    const ProcessResult run = runLumbrix(input);
    EXPECT_EQ(run.out, aboutText() + kPrompt + kPrompt + kPrompt + kAskSolver + kBadSolver + kPrompt + kAskVerbose
                           + kBadVerbose + kPrompt + kAskTimeLimit + kBadTimeLimit + kPrompt + kAskModels + kBadModels
                           + kPrompt + kAskModels + kAskOutput + kBadOutput + kPrompt + kAskModFolder + kBadModFolder
                           + kPrompt + kPrompt + kBye);
    EXPECT_EQ(run.err, kUnknownCommand + kUnknownCommand + kUnknownCommand);
    expectNormalEnd(run);
    EXPECT_FALSE(fileExists(output.file("sol_stat.csv")));
}

TEST(BlankAnswers, AreNotTrimmed)
{
    TempDir work;
    work.folder("   ");
    work.folder(" ");
    work.write("   /a.lp", lpWithOptimum(1));
    const std::string input = "solver\n  \ntime_limit\n   \nverbose\n \nopt\n  \nopt\n   \n    \nmod_lp\n  \n   \n"
                              "verbose\nn\nopt\n   \n \nexit\n";
    ProcessOptions options;
    options.workingDirectory = work.path();
    const ProcessResult run = runLumbrix(input, options);
    EXPECT_EQ(withoutTimes(run.out),
              aboutText() + kPrompt + kAskSolver + kBadSolver + kPrompt + kAskTimeLimit + kBadTimeLimit + kPrompt
                  + kAskVerbose + kBadVerbose + kPrompt + kAskModels + kBadModels + kPrompt + kAskModels + kAskOutput
                  + kBadOutput + kPrompt + kAskModFolder + kBadModFolder + kPrompt + kPrompt + kAskVerbose + kPrompt
                  + kAskModels + kAskOutput + solvedBlock(0, "a.lp", kOptimal, kLpReadLog) + kPrompt + kBye);
    EXPECT_EQ(run.err, kUnknownCommand);
    expectNormalEnd(run);
    // Folders named by blanks alone are folders like any other.
    EXPECT_TRUE(holdsRows(readFile(work.file(" /sol_stat.csv")), {{"a.lp", kOptimal, "1,000000"}}));
}

}  // namespace
