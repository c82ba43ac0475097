// `lumbrix compare` end to end: what it prints, the files it writes, its exit status.
#include <gtest/gtest.h>

#include "FaultSupport.h"
#include "HandMadeRuns.h"
#include "Process.h"
#include "TempDir.h"

namespace {

ProcessResult lumbrix(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), lumbrixBinary());
    return runProcess(arguments);
}

// Folders named rapido and lento holding the hand-made runs, as opt leaves them.
void writeHandMadeRuns(const TempDir& dir)
{
    dir.write("rapido/sol_detalhes.csv", fastRun());
    dir.write("lento/sol_detalhes.csv", slowRun());
}

TEST(CompareCommand, HandMadeRunsDisagreeAndSayWhere)
{
    TempDir dir;
    writeHandMadeRuns(dir);
    const ProcessResult run = lumbrix({"compare", dir.file("rapido"), dir.file("lento"), "--html",
                                       dir.file("pagina.html"), "--csv", dir.file("juntos.csv")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(run.out.starts_with(kHandMadeTable)) << run.out;
    EXPECT_NE(run.out.find("Divergências: 3\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Respostas erradas: 1\n  b.lp em lento: check wrong\n"), std::string::npos) << run.out;

    const std::string page = readFile(dir.file("pagina.html"));
    EXPECT_TRUE(page.starts_with("<!DOCTYPE html>\n")) << page.substr(0, 100);
    EXPECT_TRUE(page.ends_with("</html>\n"));
    const std::string merged = readFile(dir.file("juntos.csv"));
    EXPECT_TRUE(merged.starts_with("model,rapido.status,rapido.objective,")) << merged;
    EXPECT_NE(merged.find("\nb.lp,optimal,20,20,10,ok,,optimal,21,21,30,wrong,,true\n"), std::string::npos) << merged;
    EXPECT_FALSE(fileExists(dir.file(".pagina.html.tmp")));

    // Details files named directly, with labels of one's own and another shift: the same
    // verdicts, other means (shift 0 makes a 0 s time rule the geometric mean).
    const ProcessResult labelled = lumbrix({"compare", dir.file("rapido/sol_detalhes.csv"), dir.file("lento"),
                                            "--label", "R", "--label", "L", "--shift", "0,5"});
    EXPECT_EQ(labelled.exitCode, 1);
    EXPECT_NE(labelled.out.find("\nR  "), std::string::npos) << labelled.out;
    EXPECT_NE(labelled.out.find("(deslocamento de 0.5 s)"), std::string::npos) << labelled.out;
    EXPECT_NE(labelled.out.find("  b.lp: ótimos diferentes: R 20, L 21\n"), std::string::npos) << labelled.out;
}

TEST(CompareCommand, RunsOfOptThatAgreeEndWithZeroAndAWrongCheckWithOne)
{
    TempDir dir;
    const std::string first = dir.folder("primeiro");
    const std::string second = dir.folder("segundo");
    ASSERT_EQ(lumbrix({"opt", examplesFolder(), first, "--quiet"}).exitCode, 0);
    ASSERT_EQ(lumbrix({"opt", examplesFolder(), second, "--quiet", "--time-limit", "60"}).exitCode, 0);
    const ProcessResult agree = lumbrix({"compare", first, second});
    EXPECT_EQ(agree.exitCode, 0) << agree.out << agree.err;
    EXPECT_NE(agree.out.find("\nprimeiro        3           3       0       0        0  "), std::string::npos) << agree.out;
    EXPECT_NE(agree.out.find("Sem limite de tempo (primeiro): "), std::string::npos) << agree.out;
    EXPECT_NE(agree.out.find("\nDivergências: nenhuma\nRespostas erradas: nenhuma\n"), std::string::npos) << agree.out;

    // The knapsack's optimum is 42: a .solu file that says 41 makes the run's check wrong.
    const std::string solu = dir.write("errado.solu", "=opt= mochila 41\n");
    const std::string third = dir.folder("terceiro");
    EXPECT_EQ(lumbrix({"opt", examplesFolder(), third, "--quiet", "--solu", solu}).exitCode, 1);
    const ProcessResult wrong = lumbrix({"compare", first, third});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_NE(wrong.out.find("\nDivergências: nenhuma\nRespostas erradas: 1\n  mochila.lp em terceiro: check wrong\n"),
              std::string::npos)
        << wrong.out;
}

// A refused comparison: status 2, the reason alone on standard error, nothing printed or written.
void expectRefused(const TempDir& dir, std::vector<std::string> arguments, const std::string& message)
{
    arguments.insert(arguments.end(), {"--html", dir.file("p.html"), "--csv", dir.file("t.csv")});
    const ProcessResult run = lumbrix(arguments);
    EXPECT_EQ(run.exitCode, 2) << message;
    EXPECT_EQ(run.out, "") << message;
    if (!message.empty()) {
        EXPECT_EQ(run.err, message);
    } else {
        EXPECT_NE(run.err, "");
    }
    EXPECT_FALSE(fileExists(dir.file("p.html"))) << message;
    EXPECT_FALSE(fileExists(dir.file("t.csv"))) << message;
}

TEST(CompareCommand, RunsThatCannotBeUsedAreRefusedWithTheReason)
{
    TempDir dir;
    writeHandMadeRuns(dir);
    const std::string fast = dir.file("rapido");
    const std::string missing = dir.file("nada");
    expectRefused(dir, {"compare", fast, missing}, "Erro: " + missing + " não é uma pasta de saída do opt nem um arquivo\n");

    const std::string empty = dir.folder("vazia");
    expectRefused(dir, {"compare", fast, empty}, "Erro: " + empty + " não tem sol_detalhes.csv\n");

    const std::string shards = dir.folder("partes");
    dir.write("partes/sol_detalhes.shard-1-of-2.csv", fastRun());
    expectRefused(dir, {"compare", shards, fast},
                  "Erro: " + shards + " tem só arquivos de parte (sol_detalhes.shard-K-of-N.csv), sem sol_detalhes.csv: "
                  "junte-os antes com lumbrix merge " + shards + "\n");

    const std::string broken = dir.write("quebrado/sol_detalhes.csv", "model,solve_seconds\na.lp,1\n");
    expectRefused(dir, {"compare", fast, dir.file("quebrado")},
                  "Erro ao ler " + broken + ": linha 1: falta a coluna 'status'\n");

    expectRefused(dir, {"compare", fast, dir.file("lento"), "--label", "R"},
                  "Erro: são 2 runs e 1 --label: dê um rótulo por run, na ordem dos runs\n");
    dir.write("outro/rapido/sol_detalhes.csv", slowRun());
    expectRefused(dir, {"compare", fast, dir.file("outro/rapido")},
                  "Erro: dois runs com o rótulo 'rapido': dê rótulos com --label\n");
    expectRefused(dir, {"compare", fast, "--shift", "-1"}, "");
    expectRefused(dir, {"compare"}, "");
}

TEST(CompareCommand, OutputsThatWouldOverwriteARunOrCannotBeWrittenAreRefused)
{
    TempDir dir;
    writeHandMadeRuns(dir);
    const std::string input = dir.file("lento/sol_detalhes.csv");
    const ProcessResult over = lumbrix({"compare", dir.file("rapido"), dir.file("lento"), "--csv", input});
    EXPECT_EQ(over.exitCode, 2);
    EXPECT_EQ(over.err, "Erro: " + input + " é o arquivo do run lento\n");
    EXPECT_EQ(readFile(input), slowRun());

    const std::string nowhere = dir.file("sem-pasta/p.html");
    const ProcessResult unwritable = lumbrix({"compare", dir.file("rapido"), "--html", nowhere});
    EXPECT_EQ(unwritable.exitCode, 2);
    EXPECT_EQ(unwritable.out, "");
    EXPECT_EQ(unwritable.err, "Erro ao gravar " + nowhere + ": No such file or directory\n");
}

}  // namespace
