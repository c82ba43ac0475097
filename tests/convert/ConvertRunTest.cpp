#include <string>

#include <gtest/gtest.h>

#include "ConvertSession.h"
#include "TempDir.h"

namespace {

const std::string kSeparator = "------------------------------------------------------------\n";

std::string numbered(int from, int to)
{
    std::string text;
    for (int i = from; i < to; ++i)
        text += kSeparator + "Modelo " + std::to_string(i) + " gerado\n";
    return text;
}

TEST(ConvertRun, EmptyFolderEndsWithTwoLineBreaks)
{
    TempDir dir;
    const ProcessResult result = runModLp(dir.path());
    EXPECT_EQ(runSection(result.out), "Pasta de .mod encontrada\n\n\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exitCode, 0);
}

TEST(ConvertRun, MissingFolderFileOrEmptyAnswerIsRejected)
{
    TempDir dir;
    const std::string file = dir.write("plain.mod", tinyModel("3"));
    const ProcessResult result
        = runLumbrix("mod_lp\n" + dir.file("missing") + "\nmod_lp\n" + file + "\nmod_lp\n\nexit\n");
    const std::string rejected
        = "Lumbrix> Digite o caminho da pasta de arquivos .mod> Pasta de .mods inexistente ou inválida...\n";
    const std::string expectedTail = rejected + rejected + rejected + "Lumbrix> Saindo do shell...\n";
    ASSERT_GE(result.out.size(), expectedTail.size());
    EXPECT_EQ(result.out.substr(result.out.size() - expectedTail.size()), expectedTail);
    EXPECT_EQ(result.err, "");
    EXPECT_FALSE(fileExists(dir.file("plain.lp")));
}

// Every entry is numbered from 0 with a 60-hyphen separator, and only names ending in
// "mod" are converted.
TEST(ConvertRun, EveryEntryIsNumberedAndNonModelsArePassedOver)
{
    TempDir dir;
    dir.write("a.txt", "text");
    dir.write("b.MOD", tinyModel("3"));
    dir.write("c.Mod", tinyModel("3"));
    dir.write("d.mod.txt", tinyModel("3"));
    dir.folder("sub");
    dir.write("x.lp", "old");
    const ProcessResult result = runModLp(dir.path());
    EXPECT_EQ(runSection(result.out), "Pasta de .mod encontrada\n" + numbered(0, 6) + "\n\n");
    EXPECT_EQ(result.err, "");
    EXPECT_FALSE(fileExists(dir.file("b.lp")));
    EXPECT_FALSE(fileExists(dir.file("c.lp")));
    EXPECT_FALSE(fileExists(dir.file("b.Mlp")));
    EXPECT_EQ(readFile(dir.file("x.lp")), "old");
}

TEST(ConvertRun, SecondRunNumbersTheLpFilesAndRewritesThem)
{
    TempDir dir;
    dir.write("m.mod", tinyModel("3"));
    const ProcessResult first = runModLp(dir.path());
    EXPECT_EQ(first.err, "");
    const std::string written = readFile(dir.file("m.lp"));
    EXPECT_NE(written.find(tinyObjective(3)), std::string::npos) << written;
    EXPECT_NE(runSection(first.out).find(numbered(0, 1)), std::string::npos);
    EXPECT_EQ(runSection(first.out).find("Modelo 1 "), std::string::npos);

    dir.write("m.lp", "stale");
    const ProcessResult second = runModLp(dir.path());
    EXPECT_EQ(second.err, "");
    // m.lp sorts before m.mod: it is entry 0 and the model entry 1.
    EXPECT_EQ(entrySection(second.out, 0), "Modelo 0 gerado\n");
    EXPECT_NE(entrySection(second.out, 1).find("Writing problem data to '" + dir.file("m.lp") + "'"), std::string::npos);
    EXPECT_EQ(readFile(dir.file("m.lp")), written);
}

// On the command line a run with failures ends with 1, each model without its LP file named
// after the run; the console and GLPK's lines are the shell's.
TEST(ConvertRun, TheCommandLineNamesEveryModelNotConvertedAndExitsWithOne)
{
    TempDir dir;
    dir.write("a_gen.mod", tinyModel(""));
    dir.write("b_ok.mod", tinyModel("3"));
    dir.write("c_syn.mod", "var x >= 0;\nminimize z: x +;\nend;\n");
    dir.write("d_write.mod", tinyModel("3"));
    dir.folder("d_write.lp");
    dir.write("e.txt", "x\n");
    const ProcessResult shell = runModLp(dir.path());
    ASSERT_EQ(std::remove(dir.file("b_ok.lp").c_str()), 0);

    const ProcessResult run = runProcess({lumbrixBinary(), "mod_lp", dir.path()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, shell.err + "Modelo não convertido: a_gen.mod\nModelo não convertido: c_syn.mod\n"
                                   "Modelo não convertido: d_write.mod\n");
    EXPECT_EQ(shell.err, "Erro ao gerar modelo\nErro ao tranformar modelo\nErro ao escrever arquivo .lp\n");
    EXPECT_EQ(run.out, runSection(shell.out));
    EXPECT_NE(readFile(dir.file("b_ok.lp")).find(tinyObjective(3)), std::string::npos);
}

}  // namespace
