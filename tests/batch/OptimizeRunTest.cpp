// The `opt` run end to end with the SCIP engine: prompts, numbering, reports, results file.
#include <gtest/gtest.h>

#include <regex>

#include <sys/stat.h>
#include <unistd.h>

#include "Models.h"
#include "Process.h"
#include "TempDir.h"
#include "shell/Settings.h"

namespace {

const std::string kPrompt = "Lumbrix> ";
const std::string kAskModels = "Digite o caminho da pasta de arquivos .lp> ";
const std::string kAskOutput = "Digite o caminho da pasta para gerar o output> ";
const std::string kRule = std::string(70, '-') + "\n";
const std::string kBye = "Saindo do shell...\n";
const std::string kHeader = "SOLVER;NOME;TEMPO;STATUS;Z;TEMPO LEITUR\r\n";

const char* const kMinLp = "Minimize\n obj: 2 x + 3 y\nSubject To\n c1: x + y >= 4\n c2: x - y <= 1\nEnd\n";
const char* const kMaxMip = "Maximize\n v: 5 a + 4 b + 3 c\nSubject To\n w: 2 a + 3 b + c <= 5\n"
                            "Bounds\n a <= 1\n b <= 1\n c <= 1\nGenerals\n a b c\nEnd\n";
const char* const kInfeasible = "Minimize\n obj: x\nSubject To\n c1: x >= 5\n c2: x <= 3\nEnd\n";
const char* const kUnbounded = "Maximize\n obj: x + y\nSubject To\n c1: x - y <= 1\nEnd\n";
const char* const kBroken = "Minimize\n obj: x +\nSubject To\n c1: x >= ; 5\nEnd\n";

// What the engine says on reading each model, shown whatever the verbosity.
const std::string kMinLpRead = "original problem has 2 variables (0 bin, 0 int, 0 impl, 2 cont) and 2 constraints\n";
const std::string kMaxMipRead = "original problem has 3 variables (0 bin, 3 int, 0 impl, 0 cont) and 1 constraints\n";

// Console times and row times vary from run to run; everything else must not.
std::string withoutTimes(const std::string& text)
{
    static const std::regex consoleTime("TEMPO: [0-9.e+-]+\n");
    static const std::regex rowTimes(
        "^([^;\n]*;(?:\"(?:[^\"]|\"\")*\"|[^;\n]*);)[0-9]+,[0-9]{6};([^;\n]*;[^;\n]*;)[0-9]+,[0-9]{6}\r$",
        std::regex::multiline);
    static const std::regex readTime(";-;([^;\n]*);-;[0-9]+,[0-9]{6}\r$", std::regex::multiline);
    std::string result = std::regex_replace(text, consoleTime, "TEMPO: T\n");
    result = std::regex_replace(result, rowTimes, "$1T;$2R\r");
    return std::regex_replace(result, readTime, ";-;$1;-;R\r");
}

std::string modelBlock(int number, const std::string& name = "", const std::string& status = "",
                       const std::string& readLog = "")
{
    std::string block = kRule + "MODELO " + std::to_string(number) + " \n" + readLog;
    if (!name.empty())
        block += "NOME: " + name + "\nTEMPO: T\nSTATUS: " + status + "\n";
    return block;
}

std::string unreadBlock(int number, const std::string& name)
{
    return kRule + "MODELO " + std::to_string(number) + " \nNOME: " + name + "\nSTATUS: ERRO DE LEITURA\n";
}

ProcessResult opt(const std::string& models, const std::string& output, const std::string& settings = "verbose\nn\n")
{
    return runLumbrix(settings + "opt\n" + models + "\n" + output + "\nexit\n");
}

// The prompts a quiet run writes before its first model.
std::string quietStart()
{
    return aboutText() + kPrompt + "Imprimir log do solver? (s/n)> " + kPrompt + kAskModels + kAskOutput;
}

TEST(OptimizeRun, NumbersEveryEntryAndReportsTheModels)
{
    TempDir models, output;
    models.write("a-min.lp", kMinLp);
    models.folder("b-pasta");
    models.write("c-max.lp", kMaxMip);
    models.write("d.mod", "var x;\n");
    models.write("e.LP", kMinLp);
    const ProcessResult run = opt(models.path(), output.path());

    EXPECT_EQ(withoutTimes(run.out), quietStart() + modelBlock(0, "a-min.lp", "SOL OTIMA", kMinLpRead) + modelBlock(1)
                                         + modelBlock(2, "c-max.lp", "SOL OTIMA", kMaxMipRead) + modelBlock(3)
                                         + modelBlock(4)
                                         + kPrompt + kBye);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(withoutTimes(readFile(output.file("sol_stat.csv"))),
              kHeader + "SCIP;a-min.lp;T;SOL OTIMA;9,500000;R\r\nSCIP;c-max.lp;T;SOL OTIMA;9,000000;R\r\n");
}

TEST(OptimizeRun, StatusesAndTheirObjectiveValues)
{
    TempDir models;
    models.write("1-otimo.lp", kMinLp);
    models.write("2-inviavel.lp", kInfeasible);
    models.write("3-ilimitado.lp", kUnbounded);
    const ProcessResult run = opt(models.path(), models.path());
    const std::string file = withoutTimes(readFile(models.file("sol_stat.csv")));
    EXPECT_NE(file.find("SCIP;1-otimo.lp;T;SOL OTIMA;9,500000;R\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("SCIP;2-inviavel.lp;T;PROBLEMA INFACTIVEL;100000000000000000000,000000;R\r\n"),
              std::string::npos)
        << file;
#ifdef LUMBRIX_SCIP_COMPAT
    EXPECT_NE(file.find("SCIP;3-ilimitado.lp;T;PROBLEMA ILIMITADO;100000000000000000000,000000;R\r\n"),
              std::string::npos)
        << file;
#else
    EXPECT_TRUE(std::regex_search(file, std::regex("SCIP;3-ilimitado.lp;T;PROBLEMA ILIMITADO( OU INFACTIVEL)?;")))
        << file;
#endif
    EXPECT_EQ(run.err, "");
}

TEST(OptimizeRun, TheShippedExamples)
{
    TempDir output;
    const ProcessResult run = opt(examplesFolder(), output.path());
    EXPECT_EQ(withoutTimes(readFile(output.file("sol_stat.csv"))),
              kHeader + "SCIP;inviavel.lp;T;PROBLEMA INFACTIVEL;100000000000000000000,000000;R\r\n"
                        "SCIP;mochila.lp;T;SOL OTIMA;42,000000;R\r\n"
                        "SCIP;producao.lp;T;SOL OTIMA;21,000000;R\r\n");
}

TEST(OptimizeRun, ModelsThatCannotBeReadAreNotReportedAsSolved)
{
    TempDir models, output;
    models.write("a-quebrado.lp", kBroken);
    models.folder("b-pasta.lp");
    symlink(models.file("nada").c_str(), models.file("c-perdido.lp").c_str());
    models.write("d-help", kMinLp);  // ends in "lp" but has no extension a reader knows
    models.write("e-bom.lp", kMinLp);
    const ProcessResult run = opt(models.path(), output.path());

#ifndef LUMBRIX_SCIP_COMPAT
    // SCIP echoes the line it could not parse.
    const std::string out = std::regex_replace(run.out, std::regex("  input: [^\n]*\n\n *\\^\n"), "");
#else
    const std::string& out = run.out;
#endif
    EXPECT_EQ(withoutTimes(out), quietStart() + unreadBlock(0, "a-quebrado.lp") + unreadBlock(1, "b-pasta.lp")
                                         + unreadBlock(2, "c-perdido.lp") + unreadBlock(3, "d-help")
                                         + modelBlock(4, "e-bom.lp", "SOL OTIMA", kMinLpRead) + kPrompt + kBye);
    EXPECT_EQ(withoutTimes(readFile(output.file("sol_stat.csv"))),
              kHeader + "SCIP;a-quebrado.lp;-;ERRO DE LEITURA;-;R\r\nSCIP;b-pasta.lp;-;ERRO DE LEITURA;-;R\r\n"
                        "SCIP;c-perdido.lp;-;ERRO DE LEITURA;-;R\r\nSCIP;d-help;-;ERRO DE LEITURA;-;R\r\n"
                        "SCIP;e-bom.lp;T;SOL OTIMA;9,500000;R\r\n");
    // The engine's failed reads are named on standard error with the call that failed.
    const std::regex failedRead("\\[ScipBackend\\.cpp:[0-9]+\\] ERROR: Error <(-?[0-9]+)> in function call\n");
    std::vector<std::string> codes;
    for (std::sregex_iterator it(run.err.begin(), run.err.end(), failedRead), end; it != end; ++it)
        codes.push_back((*it)[1]);
    EXPECT_EQ(codes, (std::vector<std::string>{"-2", "-11"})) << run.err;
}

TEST(OptimizeRun, FilesWithoutAnObjectiveReadAsEmptyObjectives)
{
    TempDir models, output;
    models.write("a-vazio.lp", "");
    models.write("b-comentario.lp", "\\ nothing here yet\n\n");
    models.write("c-restricoes.lp", "Subject To\n c1: x + y >= 2\nEnd\n");
    const ProcessResult run = opt(models.path(), output.path());
    const std::string nothing = "original problem has 0 variables (0 bin, 0 int, 0 impl, 0 cont) and 0 constraints\n";
    EXPECT_EQ(withoutTimes(run.out),
              quietStart() + modelBlock(0, "a-vazio.lp", "SOL OTIMA", nothing)
                  + modelBlock(1, "b-comentario.lp", "SOL OTIMA", nothing)
                  + modelBlock(2, "c-restricoes.lp", "SOL OTIMA",
                               "original problem has 2 variables (0 bin, 0 int, 0 impl, 2 cont) and 1 constraints\n")
                  + kPrompt + kBye);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(withoutTimes(readFile(output.file("sol_stat.csv"))),
              kHeader + "SCIP;a-vazio.lp;T;SOL OTIMA;0,000000;R\r\nSCIP;b-comentario.lp;T;SOL OTIMA;0,000000;R\r\n"
                        "SCIP;c-restricoes.lp;T;SOL OTIMA;0,000000;R\r\n");
}

TEST(OptimizeRun, FolderChecks)
{
    TempDir models, output;
    models.write("sol_stat.csv", "old");
    models.write("a.lp", kMinLp);
    const std::string askedModels = aboutText() + kPrompt + "Imprimir log do solver? (s/n)> " + kPrompt + kAskModels;
    const std::string badModels = "Pasta de .lps inexistente ou inválida...\n";

    for (const std::string& wrong : {models.file("nao-existe"), models.file("a.lp"), std::string(), "\"" + models.path() + "\""}) {
        const ProcessResult run = runLumbrix("verbose\nn\nopt\n" + wrong + "\nexit\n");
        EXPECT_EQ(run.out, askedModels + badModels + kPrompt + kBye) << wrong;
        EXPECT_EQ(run.err, "");
    }
    EXPECT_TRUE(fileExists(models.file("sol_stat.csv")));

    // The old results file stays until a run starts.
    const ProcessResult run = opt(models.path(), output.file("nao-existe"));
    EXPECT_EQ(run.out, quietStart() + "Pasta de output inexistente ou inválida...\n" + kPrompt + kBye);
    EXPECT_EQ(readFile(models.file("sol_stat.csv")), "old");
    EXPECT_EQ(run.err, "");
}

TEST(OptimizeRun, SameFolderForModelsAndResults)
{
    TempDir models;
    models.write("a.lp", kMinLp);
    models.write("sol_stat.csv", "SOLVER;NOME\r\nSCIP;old.lp\r\n");
    const ProcessResult run = opt(models.path(), models.path());
    EXPECT_EQ(withoutTimes(run.out), quietStart() + modelBlock(0, "a.lp", "SOL OTIMA", kMinLpRead) + kPrompt + kBye);
    EXPECT_EQ(withoutTimes(readFile(models.file("sol_stat.csv"))), kHeader + "SCIP;a.lp;T;SOL OTIMA;9,500000;R\r\n");
}

TEST(OptimizeRun, ARunWithoutModelsLeavesAResultsFileOfItsOwn)
{
    TempDir models, output;
    models.write("x.mod", "");
    models.folder("sub");
    output.write("sol_stat.csv", "earlier run\r\n");
    const ProcessResult run = opt(models.path(), output.path());
    EXPECT_EQ(run.out, quietStart() + modelBlock(0) + modelBlock(1) + kPrompt + kBye);
    EXPECT_EQ(readFile(output.file("sol_stat.csv")), kHeader);

    TempDir empty;
    output.write("sol_stat.csv", "earlier run\r\n");
    EXPECT_EQ(opt(empty.path(), output.path()).out, quietStart() + kPrompt + kBye);
    EXPECT_EQ(readFile(output.file("sol_stat.csv")), kHeader);
}

TEST(OptimizeRun, TwoRunsInOneSessionKeepTheirRowsApart)
{
    TempDir first, second, output;
    first.write("um.lp", kMinLp);
    second.write("dois.lp", kMaxMip);
    const ProcessResult run = runLumbrix("verbose\nn\nopt\n" + first.path() + "\n" + output.path() + "\nopt\n"
                                         + second.path() + "\n" + output.path() + "\nexit\n");
    EXPECT_EQ(withoutTimes(readFile(output.file("sol_stat.csv"))), kHeader + "SCIP;dois.lp;T;SOL OTIMA;9,000000;R\r\n");
    EXPECT_EQ(run.exitCode, 0);
}

TEST(OptimizeRun, OddNamesKeepTheirBytesAndTheRowItsColumns)
{
    TempDir models, output;
    models.write("-a;b \"c\".lp", kMinLp);
    models.write("\xff\xfe inv\xe1lido.lp", kMinLp);
    models.write(std::string(251, 'n') + ".lp", kMinLp);
    const ProcessResult run = opt(models.path(), output.path());
    EXPECT_NE(run.out.find("NOME: -a;b \"c\".lp\n"), std::string::npos);
    EXPECT_NE(run.out.find("NOME: \xff\xfe inv\xe1lido.lp\n"), std::string::npos);
    EXPECT_NE(run.out.find("NOME: " + std::string(251, 'n') + ".lp\n"), std::string::npos);
    EXPECT_EQ(withoutTimes(readFile(output.file("sol_stat.csv"))),
              kHeader + "SCIP;\"-a;b \"\"c\"\".lp\";T;SOL OTIMA;9,500000;R\r\nSCIP;" + std::string(251, 'n')
                  + ".lp;T;SOL OTIMA;9,500000;R\r\nSCIP;\xff\xfe inv\xe1lido.lp;T;SOL OTIMA;9,500000;R\r\n");
}

TEST(OptimizeRun, VerbosityShowsOrSilencesTheSolverLog)
{
    TempDir models, output;
    models.write("a.lp", kMinLp);
    const ProcessResult loud = runLumbrix("opt\n" + models.path() + "\n" + output.path() + "\nexit\n");
    const auto start = loud.out.find("MODELO 0 \n") + 10;
    EXPECT_GT(loud.out.find("NOME: a.lp\n"), start) << "the solver's log belongs between the banner and the report";
    const ProcessResult quiet = opt(models.path(), output.path());
    EXPECT_NE(quiet.out.find("MODELO 0 \n" + kMinLpRead + "NOME: a.lp\n"), std::string::npos) << quiet.out;
    EXPECT_GT(loud.out.size(), quiet.out.size() + 100);
}

TEST(OptimizeRun, TheTimeLimitStopsAHardModel)
{
    TempDir models, output;
    models.write("dificil.lp", hardModel());
    const ProcessResult run = opt(models.path(), output.path(), "verbose\nn\ntime_limit\n1\n");
    EXPECT_NE(run.out.find("STATUS: PROCESSO INTERROMPIDO - LIMITE DE TEMPO\n"), std::string::npos) << run.out;
    const std::string file = readFile(output.file("sol_stat.csv"));
    std::smatch row;
    ASSERT_TRUE(std::regex_search(file, row,
                                  std::regex("SCIP;dificil.lp;([0-9]+),([0-9]{6});PROCESSO INTERROMPIDO - LIMITE DE "
                                             "TEMPO;-?[0-9]+,[0-9]{6};[0-9]+,[0-9]{6}\r\n")))
        << file;
    EXPECT_GE(std::stoi(row[1]), 0);
}

TEST(OptimizeRun, ARefusedTimeLimitIsReportedAndTheModelSolvedWithoutIt)
{
    TempDir models, output;
    models.write("a.lp", kMinLp);
    const ProcessResult run = opt(models.path(), output.path(), "verbose\nn\ntime_limit\n-5\n");
    EXPECT_TRUE(std::regex_search(run.err, std::regex("\\[ScipBackend\\.cpp:[0-9]+\\] ERROR: Error <-14> in function "
                                                      "call\n$")))
        << run.err;
    EXPECT_NE(withoutTimes(readFile(output.file("sol_stat.csv"))).find("SCIP;a.lp;T;SOL OTIMA;9,500000;R\r\n"),
              std::string::npos);
}

TEST(OptimizeRun, AnOldResultsFileThatCannotBeRemovedIsLeftAloneAndIsNoModel)
{
    TempDir models, output;
    models.write("sol_stat.csv/keep", "");
    models.write("a.lp", kMinLp);
    const ProcessResult run = opt(models.path(), output.path());
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(withoutTimes(run.out), quietStart() + modelBlock(0, "a.lp", "SOL OTIMA", kMinLpRead) + kPrompt + kBye);
    EXPECT_TRUE(fileExists(models.file("sol_stat.csv/keep")));
}

// Scripts written on Windows end every answer in CR LF.
TEST(OptimizeRun, AnswersEndingInCarriageReturnsAreTakenWithoutThem)
{
    TempDir models, output;
    models.write("a.lp", kMinLp);
    const ProcessResult run = runLumbrix("verbose\r\nn\r\nopt\r\n" + models.path() + "\r\n" + output.path()
                                         + "\r\nexit\r\n");
    EXPECT_EQ(withoutTimes(run.out), quietStart() + modelBlock(0, "a.lp", "SOL OTIMA", kMinLpRead) + kPrompt + kBye);
    EXPECT_EQ(run.err, "");
}

}  // namespace
