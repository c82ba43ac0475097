#include <algorithm>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "ConvertSession.h"
#include "TempDir.h"

namespace {

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// Which data reaches the LP file shows in its objective coefficient.
TEST(ConvertModel, DataFileReplacesTheModelsOwnDataWhenReadable)
{
    TempDir dir;
    dir.write("own.mod", tinyModel("3"));
    dir.write("sep.mod", tinyModel(""));
    dir.write("sep.dat", "param c := 5;\nend;\n");
    dir.write("both.mod", tinyModel("3"));
    dir.write("both.dat", "data;\nparam c := 7;\nend;\n");
    dir.write("dirdat.mod", tinyModel("3"));
    dir.folder("dirdat.dat");
    dir.write("fifodat.mod", tinyModel("3"));
    makeFifo(dir.file("fifodat.dat"));
    dir.write("nodotmod", tinyModel(""));
    dir.write("nodotdat", "param c := 4;\n");

    const ProcessResult result = runModLp(dir.path());
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(contains(readFile(dir.file("own.lp")), tinyObjective(3)));
    EXPECT_TRUE(contains(readFile(dir.file("sep.lp")), tinyObjective(5)));
    EXPECT_TRUE(contains(readFile(dir.file("both.lp")), tinyObjective(7)));
    EXPECT_TRUE(contains(readFile(dir.file("dirdat.lp")), tinyObjective(3)));
    EXPECT_TRUE(contains(readFile(dir.file("fifodat.lp")), tinyObjective(3)));
    EXPECT_TRUE(contains(readFile(dir.file("nodotlp")), tinyObjective(4)));
    EXPECT_FALSE(fileExists(dir.file("nodot.lp")));
}

// Run as an unprivileged user, so that the lack of rights holds even for root.
TEST(ConvertModel, UnreadableDataFileCountsAsNone)
{
    TempDir dir;
    ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
    dir.write("locked.mod", tinyModel("3"));
    const std::string data = dir.write("locked.dat", "param c := 7;\n");
    ASSERT_EQ(chmod(data.c_str(), 0), 0);
    ProcessOptions options;
    options.input = "mod_lp\n" + dir.path() + "\nexit\n";
    options.unprivileged = true;
    const ProcessResult result = runProcess({publicLumbrixBinary()}, options);
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(contains(readFile(dir.file("locked.lp")), tinyObjective(3)));
}

// Every failure has its own message on standard error, right after GLPK's diagnostics and
// before the next entry; the run goes on to the end.
TEST(ConvertModel, FailuresAreReportedInOrderAndTheRunGoesOn)
{
    TempDir dir;
    dir.write("a_gen.mod", tinyModel(""));
    dir.write("b_syn.mod", "var x\nminimize z: x;\nend;\n");
    dir.write("b_syn.dat", "param c := 1;\n");
    dir.write("c_syn.mod", "var x >= 0;\nminimize z: x +;\nend;\n");
    dir.write("d_dat.mod", tinyModel(""));
    dir.write("d_dat.dat", "param undeclared := 5;\n");
    dir.write("e_write.mod", tinyModel("3"));
    dir.folder("e_write.lp");
    makeFifo(dir.file("f_fifo.mod"));
    dir.folder("g_sub.mod");
    dir.write("h_ok.mod", tinyModel("3"));

    const ProcessResult result = runModLp(dir.path());
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.err,
              "Erro ao gerar modelo\n"
              "Erro ao tranformar modelo\n"
              "Erro ao tranformar modelo\n"
              "Erro ao tranformar modelo\n"
              "Erro ao escrever arquivo .lp\n"
              "Erro ao tranformar modelo\n"
              "Erro ao tranformar modelo\n");
    for (const char* name : {"a_gen.lp", "b_syn.lp", "c_syn.lp", "d_dat.lp", "f_fifo.lp", "g_sub.lp"})
        EXPECT_FALSE(fileExists(dir.file(name))) << name;
    EXPECT_TRUE(contains(readFile(dir.file("h_ok.lp")), tinyObjective(3)));
    // A faulty model is not followed by its data file.
    EXPECT_FALSE(contains(result.out, "b_syn.dat"));

    // Same listing again, so that the numbers below hold.
    ASSERT_EQ(std::remove(dir.file("h_ok.lp").c_str()), 0);
    const ProcessResult merged = runModLpMerged(dir.path());
    const auto entryEnds = [&](int number, const std::string& glpkLine, const std::string& message) {
        const std::string entry = entrySection(merged.out, number);
        EXPECT_TRUE(contains(entry, glpkLine)) << entry;
        EXPECT_LT(entry.find(glpkLine), entry.find(message)) << entry;
        EXPECT_EQ(entry.substr(entry.size() - std::min(entry.size(), message.size())), message) << entry;
    };
    // Listing order: a_gen.mod, b_syn.dat, b_syn.mod, c_syn.mod, d_dat.dat, d_dat.mod,
    // e_write.lp, e_write.mod, f_fifo.mod, g_sub.mod, h_ok.mod.
    entryEnds(0, "Reading model section from " + dir.file("a_gen.mod"), "Erro ao gerar modelo\n");
    entryEnds(2, "Reading model section from " + dir.file("b_syn.mod"), "Erro ao tranformar modelo\n");
    entryEnds(3, "Reading model section from " + dir.file("c_syn.mod"), "Erro ao tranformar modelo\n");
    entryEnds(5, "Reading data section from " + dir.file("d_dat.dat"), "Erro ao tranformar modelo\n");
    entryEnds(7, "Writing problem data to '" + dir.file("e_write.lp") + "'", "Erro ao escrever arquivo .lp\n");
    EXPECT_EQ(entrySection(merged.out, 8), "Modelo 8 gerado\nErro ao tranformar modelo\n");
    entryEnds(9, "Reading model section from " + dir.file("g_sub.mod"), "Erro ao tranformar modelo\n");
    EXPECT_TRUE(contains(entrySection(merged.out, 10), "Model has been successfully generated"));
    EXPECT_TRUE(runSection(merged.out).ends_with("\n\n"));
}

// GLPK aborts on running out of memory; that ends the one model, not the program.
TEST(ConvertModel, GlpkFatalErrorEndsOnlyThatModel)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer cannot run under an address-space limit";
#endif
    TempDir dir;
    dir.write("a_huge.mod", "var x{1..100000000} >= 0;\nminimize z: sum{i in 1..100000000} x[i];\nend;\n");
    dir.write("b_ok.mod", tinyModel("3"));
    const ProcessResult result = runModLpMerged(dir.path(), "ulimit -v 400000 &&");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(entrySection(result.out, 0).ends_with("\nErro ao tranformar modelo\n")) << result.out;
    EXPECT_TRUE(contains(readFile(dir.file("b_ok.lp")), tinyObjective(3)));
    EXPECT_FALSE(fileExists(dir.file("a_huge.lp")));
}

}  // namespace
