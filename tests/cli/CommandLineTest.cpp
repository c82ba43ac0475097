// The command line end to end: usage errors, the same report as the shell, the exit status,
// the summary, and checks against a .solu file.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include <unistd.h>

#include "FaultSupport.h"
#include "Process.h"
#include "TempDir.h"
#include "backends/scip/ScipEngine.h"
#include "shell/Settings.h"

namespace {

ProcessResult lumbrix(std::vector<std::string> arguments, ProcessOptions options = {})
{
    arguments.insert(arguments.begin(), lumbrixBinary());
    return runProcess(arguments, options);
}

std::string afterPrompts(const std::string& shellOut, bool withTimeLimit)
{
    const std::string start = quietStart(withTimeLimit);
    const std::string end = kPrompt + kBye;
    EXPECT_TRUE(shellOut.starts_with(start)) << shellOut;
    EXPECT_TRUE(shellOut.ends_with(end)) << shellOut;
    if (!shellOut.starts_with(start) || !shellOut.ends_with(end))
        return {};
    return shellOut.substr(start.size(), shellOut.size() - start.size() - end.size());
}

// A model folder with every kind of entry: an LP, a MIP, one the reader refuses, a folder,
// a file that is no model.
void fillModels(const TempDir& models)
{
    models.write("a.lp", lpWithOptimum(3));
    models.write("b.lp", mipWithOptimum(4));
    models.write("c.lp", brokenModel());
    models.folder("d-pasta");
    models.write("e.txt", "nada\n");
    models.write("f.lp", lpWithOptimum(7));
}

TEST(CommandLine, UsageErrorsWriteNothingAndExitWithTwo)
{
    TempDir models, output, other;
    models.write("a.lp", lpWithOptimum(3));
    const std::string solu = other.write("bad.solu", "=opt= a 3\n=opt= b\n");
    const std::string m = models.path(), o = output.path();
    const std::string tooMany = std::to_string(4 * sysconf(_SC_NPROCESSORS_ONLN) + 1);
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"opt"}, "MODELS is required"},
        {{"opt", m}, "OUTPUT is required"},
        {{"opt", m, o, "extra"}, "extra"},
        {{"otimizar", m, o}, ""},
        {{"opt", m, o, "--verbose"}, "--verbose"},
        {{"opt", m, o, "--time-limit", "abc"}, "--time-limit: esperava um número de segundos, 0 ou mais, recebeu 'abc'"},
        {{"opt", m, o, "--time-limit", "-1"}, "recebeu '-1'"},
        {{"opt", m, o, "--time-limit", "1,5.2"}, "recebeu '1,5.2'"},
        {{"opt", m, o, "--time-limit", "1e999"}, "recebeu '1e999'"},
        {{"opt", m, o, "--time-limit", "nan"}, "recebeu 'nan'"},
        {{"opt", m, o, "--memory-limit", "-0,5"}, "--memory-limit: esperava um número de MB, 0 ou mais, recebeu '-0,5'"},
        {{"opt", m, o, "--memory-limit", "inf"}, "recebeu 'inf'"},
        {{"opt", m, o, "--jobs", "0"}, "--jobs: esperava um número inteiro de 1 a "},
        {{"opt", m, o, "--jobs", "1.5"}, "recebeu '1.5'"},
        {{"opt", m, o, "--jobs", tooMany}, "recebeu '" + tooMany + "'"},
        {{"opt", m, o, "--solver", "cplex"}, "--solver"},
        {{"opt", m, o, "--solu", other.file("nenhum.solu")},
         "Erro ao ler " + other.file("nenhum.solu") + ": No such file or directory\n"},
        {{"opt", m, o, "--solu", solu}, "Erro ao ler " + solu + ": linha 2: esperava 3 palavras, há 2\n"},
        {{"opt", other.file("nenhuma"), o}, kBadModels},
        {{"opt", models.file("a.lp"), o}, kBadModels},
        {{"opt", m, other.file("nenhuma")}, kBadOutput},
        {{"mod_lp"}, "FOLDER is required"},
        {{"mod_lp", other.file("nenhuma")}, "Pasta de .mods inexistente ou inválida...\n"},
    };
    for (const auto& [arguments, message] : cases) {
        std::string shown;
        for (const std::string& argument : arguments)
            shown += argument + " ";
        SCOPED_TRACE(shown);
        const ProcessResult run = lumbrix(arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err, "");
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_EQ(folderEntries(output.path()), std::vector<std::string>{});
    }
}

TEST(CommandLine, GurobiWithoutItsLibraryIsAUsageError)
{
    TempDir models, output;
    models.write("a.lp", lpWithOptimum(3));
    ProcessOptions options;
    options.unsetEnvironment = {"LD_LIBRARY_PATH"};
    const ProcessResult run = lumbrix({"opt", models.path(), output.path(), "--solver", "GUROBI"}, options);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Bilioteca 'libgurobi120.so' não encontrada\n");
    EXPECT_EQ(folderEntries(output.path()), std::vector<std::string>{});
}

TEST(CommandLine, VersionAndHelp)
{
    const ProcessResult version = lumbrix({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "Lumbrix v3.0, " + scipEngineName() + "\n");
    EXPECT_EQ(version.err, "");

    // Only alone: anything with it is a usage error, so that a slip is not taken for a run.
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--version", "extra"}, {"opt", "--version"}, {"extra", "--version"}}) {
        const ProcessResult withMore = lumbrix(arguments);
        EXPECT_EQ(withMore.exitCode, 2) << arguments[0];
        EXPECT_EQ(withMore.out, "") << arguments[0];
        EXPECT_NE(withMore.err, "") << arguments[0];
    }
    EXPECT_EQ(lumbrix({"--version", "extra"}).err, "--version: não esperava outros argumentos, recebeu 'extra'\n");

    const ProcessResult help = lumbrix({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.err, "");
    for (const char* word : {"Usage: lumbrix", "opt", "mod_lp", "--version"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word << " in:\n" << help.out;

    const ProcessResult optHelp = lumbrix({"opt", "--help"});
    EXPECT_EQ(optHelp.exitCode, 0);
    for (const char* option : {"MODELS", "OUTPUT", "--solver", "--time-limit", "--memory-limit", "--jobs", "--quiet", "--solu"})
        EXPECT_NE(optHelp.out.find(option), std::string::npos) << option << " in:\n" << optHelp.out;
}

// The same run at the shell and on the command line: the same report, the same rows.
TEST(CommandLine, TheReportIsTheShells)
{
    TempDir models, fromShell, fromCommandLine;
    fillModels(models);
    for (const bool quiet : {true, false}) {
        SCOPED_TRACE(quiet ? "quiet" : "with the log");
        const std::string settings = quiet ? "verbose\nn\n" : "";
        const ProcessResult shell =
            runLumbrix(settings + "time_limit\n2,5\nopt\n" + models.path() + "\n" + fromShell.path() + "\nexit\n");
        std::vector<std::string> arguments = {"opt", models.path(), fromCommandLine.path(), "--time-limit", "2,5"};
        if (quiet)
            arguments.push_back("--quiet");
        const ProcessResult commandLine = lumbrix(arguments);

        std::string expected = withoutTimes(shell.out);
        if (quiet) {
            expected = afterPrompts(expected, true);
        } else {
            const std::string start = aboutText() + kPrompt + kAskTimeLimit + kPrompt + kAskModels + kAskOutput;
            ASSERT_TRUE(expected.starts_with(start));
            expected = expected.substr(start.size(), expected.size() - start.size() - (kPrompt + kBye).size());
        }
        EXPECT_EQ(withoutTimes(commandLine.out), expected);
        // A model the reader refuses makes the run a failure.
        EXPECT_EQ(commandLine.exitCode, 1);
        EXPECT_EQ(shell.exitCode, 0);

        std::vector<CsvRecord> shellRows, commandLineRows;
        std::string problem;
        ASSERT_TRUE(parseResultsFile(readFile(fromShell.file("sol_stat.csv")), shellRows, problem)) << problem;
        ASSERT_TRUE(parseResultsFile(readFile(fromCommandLine.file("sol_stat.csv")), commandLineRows, problem)) << problem;
        ASSERT_EQ(shellRows.size(), 5u);
        ASSERT_EQ(commandLineRows.size(), 5u);
        for (std::size_t i = 0; i < shellRows.size(); ++i) {
            EXPECT_EQ(commandLineRows[i][1], shellRows[i][1]);
            EXPECT_EQ(commandLineRows[i][3], shellRows[i][3]);
            EXPECT_EQ(commandLineRows[i][4], shellRows[i][4]);
        }
        // The command line also leaves the list of models, for a merge; the shell does not.
        EXPECT_EQ(folderEntries(fromCommandLine.path()),
                  (std::vector<std::string>{"sol_detalhes.csv", "sol_modelos.txt", "sol_stat.csv"}));
        EXPECT_EQ(folderEntries(fromShell.path()), (std::vector<std::string>{"sol_detalhes.csv", "sol_stat.csv"}));
    }
}

TEST(CommandLine, SummaryOnStandardErrorAndExitZeroWhenAllIsWell)
{
    TempDir models, output;
    models.write("a.lp", lpWithOptimum(3));
    models.write("b.lp", mipWithOptimum(4));
    models.write("c.lp", "Minimize\n obj: x\nSubject To\n c1: x >= 5\n c2: x <= 3\nEnd\n");
    const ProcessResult run = lumbrix({"opt", models.path(), output.path(), "--quiet", "--time-limit", "1.5"});
    EXPECT_EQ(run.exitCode, 0);
    const std::string start = "Resumo: 3 modelos em ";
    ASSERT_TRUE(run.err.starts_with(start)) << run.err;
    const std::size_t lineEnd = run.err.find('\n');
    EXPECT_TRUE(run.err.substr(0, lineEnd).ends_with(" s (relógio)")) << run.err;
    const std::string rest = run.err.substr(lineEnd + 1);
    EXPECT_TRUE(rest.starts_with("  status: optimal 2, infeasible 1\n"
                                 "  verificação das soluções: feasible 2, infeasible 0, no_solution 1, not_checked 0\n"
                                 "  média geométrica deslocada dos tempos de solução (deslocamento de 1 s, 3 modelos): "))
        << rest;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 4);
}

TEST(CommandLine, ModLpConvertsAsTheShellDoes)
{
    TempDir models;
    models.write("a.mod", "var x >= 0;\nminimize z: x;\ns.t. c: x >= 2;\nend;\n");
    models.write("b.txt", "x\n");
    const ProcessResult shell = runLumbrix("mod_lp\n" + models.path() + "\nexit\n");
    const std::string lp = readFile(models.file("a.lp"));
    ASSERT_TRUE(std::remove(models.file("a.lp").c_str()) == 0);
    const ProcessResult commandLine = lumbrix({"mod_lp", models.path()});
    EXPECT_EQ(commandLine.exitCode, 0);
    EXPECT_EQ(readFile(models.file("a.lp")), lp);
    const std::string start = aboutText() + kPrompt + "Digite o caminho da pasta de arquivos .mod> ";
    ASSERT_TRUE(shell.out.starts_with(start)) << shell.out;
    EXPECT_EQ(commandLine.out, shell.out.substr(start.size(), shell.out.size() - start.size() - (kPrompt + kBye).size()));
    EXPECT_EQ(commandLine.err, shell.err);
}

// A .solu line that looks like a slip is taken as written, with a warning naming the file
// and the line, at the shell too.
TEST(CommandLine, SoluLinesThatLookLikeSlipsAreWarnedOf)
{
    TempDir models, output, elsewhere;
    models.write("a.lp", lpWithOptimum(3));
    const std::string text = "=opt= a 4\n=opt= a 4\n=opt= a 3\n=opt= b.mps.gz 1\n";
    const std::string solu = elsewhere.write("conhecidos.solu", text);
    const ProcessResult run = lumbrix({"opt", models.path(), output.path(), "--quiet", "--solu", solu});
    EXPECT_EQ(run.exitCode, 0);
    const std::string warnings =
        "Aviso ao ler " + solu + ": linha 3: 'a' já tinha outro resultado na linha 2; vale o desta linha\n"
        "Aviso ao ler " + solu + ": linha 4: 'b.mps.gz' tem a extensão de um arquivo de modelo; o nome vai sem ela: 'b'\n";
    EXPECT_TRUE(run.err.starts_with(warnings + "Resumo: ")) << run.err;
    EXPECT_NE(run.err.find("verificação (.solu): ok 1, wrong 0"), std::string::npos) << run.err;

    const std::string inFolder = models.write("conhecidos.solu", text);
    const ProcessResult shell = runLumbrix(quietOpt(models.path(), output.path()));
    EXPECT_EQ(shell.err, "Aviso ao ler " + inFolder + ": linha 3: 'a' já tinha outro resultado na linha 2; vale o desta linha\n"
                         "Aviso ao ler " + inFolder
                             + ": linha 4: 'b.mps.gz' tem a extensão de um arquivo de modelo; o nome vai sem ela: 'b'\n");
}

// Every kind of entry of a .solu file, against models whose answers are known: the LPs
// minimise, the MIPs maximise.
TEST(CommandLine, ChecksAgainstASoluFile)
{
    TempDir models, output, elsewhere;
    models.write("ok-opt.lp", lpWithOptimum(3));
    models.write("wrong-opt.lp", lpWithOptimum(5));
    models.write("better.lp", mipWithOptimum(4));
    models.write("worse-best.lp", mipWithOptimum(2));
    models.write("inviavel.lp", "Minimize\n obj: x\nSubject To\n c1: x >= 5\n c2: x <= 3\nEnd\n");
    models.write("fora.lp", lpWithOptimum(1));
    models.write("quebrado.lp", brokenModel());
    const std::string text = "=opt= ok-opt 3\n=opt= wrong-opt 6\n=best= better 3.5\n=best= worse-best 2.5\n"
                             "=inf= inviavel\n=opt= quebrado 1\n=unkn= nenhum\n";
    const std::string solu = elsewhere.write("conhecidos.solu", text);

    const ProcessResult run = lumbrix({"opt", models.path(), output.path(), "--quiet", "--solu", solu});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("\n  status: optimal 5, infeasible 1, read_error 1\n"
                           "  verificação (.solu): ok 2, wrong 2, better 1, unknown 2\n"),
              std::string::npos)
        << run.err;
    std::vector<CsvRecord> records;
    std::string problem;
    ASSERT_TRUE(parseDetailsFile(readFile(output.file("sol_detalhes.csv")), records, problem)) << problem;
    std::map<std::string, std::string> checks;
    for (std::size_t i = 1; i < records.size(); ++i)
        checks[records[i][0]] = records[i][19];
    // A maximised MIP solved to 2 is worse than a known 2.5: optimal cannot be.
    EXPECT_EQ(checks, (std::map<std::string, std::string>{{"better.lp", "better"},
                                                          {"fora.lp", "unknown"},
                                                          {"inviavel.lp", "ok"},
                                                          {"ok-opt.lp", "ok"},
                                                          {"quebrado.lp", "unknown"},
                                                          {"worse-best.lp", "wrong"},
                                                          {"wrong-opt.lp", "wrong"}}));

    // At the shell the .solu file in the model folder is taken, and the console is as ever.
    TempDir atShell;
    models.write("conhecidos.solu", text);
    const ProcessResult shell = runLumbrix(quietOpt(models.path(), atShell.path()));
    EXPECT_EQ(shell.err.find("Erro ao ler"), std::string::npos) << shell.err;
    EXPECT_EQ(shell.out.find("Resumo"), std::string::npos);
    ASSERT_TRUE(parseDetailsFile(readFile(atShell.file("sol_detalhes.csv")), records, problem)) << problem;
    std::map<std::string, std::string> shellChecks;
    for (std::size_t i = 1; i < records.size(); ++i)
        shellChecks[records[i][0]] = records[i][19];
    EXPECT_EQ(shellChecks, checks);

    // Without a wrong answer the run succeeds.
    TempDir good, goodOutput;
    good.write("ok-opt.lp", lpWithOptimum(3));
    good.write("better.lp", mipWithOptimum(4));
    const ProcessResult clean = lumbrix({"opt", good.path(), goodOutput.path(), "--quiet", "--solu", solu});
    EXPECT_EQ(clean.exitCode, 0) << clean.err;
    EXPECT_NE(clean.err.find("  verificação (.solu): ok 1, wrong 0, better 1, unknown 0\n"), std::string::npos)
        << clean.err;
}

}  // namespace
