// Model folders that cannot be read, entries that are no plain model files, and models
// that change while a run goes on: each is reported, none stops or hangs the run.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include <sys/stat.h>
#include <unistd.h>

#include "FaultSupport.h"
#include "Process.h"
#include "RunningProcess.h"
#include "TempDir.h"
#include "shell/Settings.h"

namespace {

namespace fs = std::filesystem;

// The codes of the engine calls that the back end names as failed on standard error.
std::vector<std::string> failedCalls(const std::string& err)
{
    static const std::regex failed("\\[ScipBackend\\.cpp:[0-9]+\\] ERROR: Error <(-?[0-9]+)> in function call\n");
    std::vector<std::string> codes;
    for (std::sregex_iterator it(err.begin(), err.end(), failed), end; it != end; ++it)
        codes.push_back((*it)[1]);
    return codes;
}

TEST(UnreadableModels, FoldersAndFilesTheUserMayNotRead)
{
    TempDir top, output;
    chmod(top.path().c_str(), 0755);
    chmod(output.path().c_str(), 0777);

    // The folder may be passed through but not listed.
    const std::string unlisted = top.folder("sem-leitura");
    top.write("sem-leitura/a.lp", lpWithOptimum(1));
    chmod(unlisted.c_str(), 0311);
    ProcessResult run = runAsNobody(quietOpt(unlisted, output.path()));
    if (run.exitCode == 125)
        GTEST_SKIP() << "cannot drop privileges here";
    EXPECT_EQ(run.err, "Erro ao acessar a pasta: directory_iterator::directory_iterator: Permission denied: \"" + unlisted
                           + "\"\n");
    EXPECT_EQ(run.out, quietStart() + kPrompt + kBye);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(readFile(output.file("sol_stat.csv")), kHeader);

    // Without even passage nothing in it can be looked for, old results included: the
    // listing reports the folder and the run goes on.
    const std::string closed = top.folder("fechada");
    top.write("fechada/a.lp", lpWithOptimum(1));
    chmod(closed.c_str(), 0);
    run = runAsNobody(quietOpt(closed, output.path()));
    EXPECT_EQ(run.err, "Erro ao acessar a pasta: directory_iterator::directory_iterator: Permission denied: \"" + closed
                           + "\"\n");
    EXPECT_EQ(run.out, quietStart() + kPrompt + kBye);
    EXPECT_EQ(run.exitCode, 0);

    // A shared read-only folder is solved into another one; its old results file stays.
    const std::string kept = top.folder("protegida");
    top.write("protegida/sol_stat.csv", "old\r\n");
    top.write("protegida/a.lp", lpWithOptimum(1));
    chmod(kept.c_str(), 0555);
    run = runAsNobody(quietOpt(kept, output.path()));
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(withoutTimes(run.out), quietStart() + solvedBlock(0, "a.lp", kOptimal, kLpReadLog) + kPrompt + kBye);
    EXPECT_EQ(readFile(kept + "/sol_stat.csv"), "old\r\n");
    EXPECT_TRUE(holdsRows(readFile(output.file("sol_stat.csv")), {{"a.lp", kOptimal, "1,000000"}}));

    // A model file that may not be read is a read failure; the run goes on.
    const std::string models = top.folder("modelos");
    top.write("modelos/a-fechado.lp", lpWithOptimum(1));
    top.write("modelos/b.lp", lpWithOptimum(2));
    chmod((models + "/a-fechado.lp").c_str(), 0);
    run = runAsNobody(quietOpt(models, output.path()));
    EXPECT_EQ(withoutTimes(run.out), quietStart() + unreadBlock(0, "a-fechado.lp")
                                         + solvedBlock(1, "b.lp", kOptimal, kLpReadLog) + kPrompt + kBye);
    EXPECT_EQ(failedCalls(run.err), std::vector<std::string>{"-4"}) << run.err;
    EXPECT_TRUE(holdsRows(readFile(output.file("sol_stat.csv")),
                          {{"a-fechado.lp", kReadError, "-"}, {"b.lp", kOptimal, "2,000000"}}));
    EXPECT_EQ(run.exitCode, 0);
}

TEST(ModelFolderEntries, LinksPipesAndLoops)
{
    TempDir models, output, elsewhere;
    models.write("a.lp", lpWithOptimum(1));
    const std::string outside = elsewhere.write("modelo.txt", mipWithOptimum(2));
    models.folder("pasta");
    ASSERT_EQ(symlink("a.lp", models.file("b-link.lp").c_str()), 0);
    ASSERT_EQ(symlink(outside.c_str(), models.file("c-fora.lp").c_str()), 0);
    ASSERT_EQ(symlink("b-link.lp", models.file("d-corrente.lp").c_str()), 0);
    ASSERT_EQ(symlink("pasta", models.file("e-pasta.lp").c_str()), 0);
    ASSERT_EQ(symlink("nada.lp", models.file("f-perdido.lp").c_str()), 0);
    ASSERT_EQ(symlink("g-laco.lp", models.file("g-laco.lp").c_str()), 0);
    ASSERT_EQ(symlink("h2.lp", models.file("h1.lp").c_str()), 0);
    ASSERT_EQ(symlink("h1.lp", models.file("h2.lp").c_str()), 0);
    // Reading a pipe nobody writes to would wait for ever, /dev/zero never ends, and the
    // program's own input would lose the session's next commands.
    ASSERT_EQ(mkfifo(models.file("i-fifo.lp").c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", models.file("j-zero.lp").c_str()), 0);
    ASSERT_EQ(symlink("/dev/stdin", models.file("k-stdin.lp").c_str()), 0);
    ASSERT_EQ(symlink("pasta", models.file("l-pasta").c_str()), 0);

    const ProcessResult run = runLumbrix(quietOpt(models.path(), output.path()));
    EXPECT_EQ(withoutTimes(run.out),
              quietStart() + solvedBlock(0, "a.lp", kOptimal, kLpReadLog)
                  + solvedBlock(1, "b-link.lp", kOptimal, kLpReadLog)
                  + solvedBlock(2, "c-fora.lp", kOptimal, kMipReadLog)
                  + solvedBlock(3, "d-corrente.lp", kOptimal, kLpReadLog) + unreadBlock(4, "e-pasta.lp")
                  + unreadBlock(5, "f-perdido.lp") + unreadBlock(6, "g-laco.lp") + unreadBlock(7, "h1.lp")
                  + unreadBlock(8, "h2.lp") + unreadBlock(9, "i-fifo.lp") + unreadBlock(10, "j-zero.lp")
                  + unreadBlock(11, "k-stdin.lp") + bannerOf(12) + bannerOf(13) + kPrompt + kBye);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(holdsRows(readFile(output.file("sol_stat.csv")),
                          {{"a.lp", kOptimal, "1,000000"},
                           {"b-link.lp", kOptimal, "1,000000"},
                           {"c-fora.lp", kOptimal, "2,000000"},
                           {"d-corrente.lp", kOptimal, "1,000000"},
                           {"e-pasta.lp", kReadError, "-"},
                           {"f-perdido.lp", kReadError, "-"},
                           {"g-laco.lp", kReadError, "-"},
                           {"h1.lp", kReadError, "-"},
                           {"h2.lp", kReadError, "-"},
                           {"i-fifo.lp", kReadError, "-"},
                           {"j-zero.lp", kReadError, "-"},
                           {"k-stdin.lp", kReadError, "-"}}));
}

TEST(ModelFolderEntries, FoldersGivenThroughLinks)
{
    TempDir top;
    const std::string models = top.folder("modelos");
    top.write("modelos/a.lp", lpWithOptimum(1));
    top.folder("saida");
    ASSERT_EQ(symlink("modelos", top.file("link-modelos").c_str()), 0);
    ASSERT_EQ(symlink("saida", top.file("link-saida").c_str()), 0);
    ASSERT_EQ(symlink("laco", top.file("laco").c_str()), 0);
    ASSERT_EQ(symlink("nada", top.file("perdido").c_str()), 0);

    // Links to folders serve as the folders; the entries keep the path as typed.
    ProcessResult run = runLumbrix(quietOpt(top.file("link-modelos"), top.file("link-saida")));
    EXPECT_EQ(withoutTimes(run.out),
              quietStart() + solvedBlock(0, "a.lp", kOptimal, kLpReadLog) + kPrompt + kBye);
    EXPECT_TRUE(holdsRows(readFile(top.file("saida/sol_stat.csv")), {{"a.lp", kOptimal, "1,000000"}}));

    // A link loop or a dangling link is no folder.
    for (const std::string bad : {"laco", "perdido"}) {
        run = runLumbrix(quietOpt(top.file(bad), top.file("saida")));
        // The output folder's answer then reaches the shell as a command.
        EXPECT_EQ(run.out, aboutText() + kPrompt + kAskVerbose + kPrompt + kAskModels + kBadModels + kPrompt + kPrompt
                               + kBye)
            << bad;
        EXPECT_EQ(run.err, kUnknownCommand) << bad;
        run = runLumbrix(quietOpt(models, top.file(bad)));
        EXPECT_EQ(run.out, quietStart() + kBadOutput + kPrompt + kBye) << bad;
        EXPECT_EQ(run.err, "") << bad;
    }
}

// Model 1 is stopped by a 1 s time limit; meanwhile the test changes the models after it.
TEST(ModelsChangedDuringRun, EachIsReadWhenItsTurnComes)
{
    TempDir models, output;
    models.write("0.lp", lpWithOptimum(1));
    models.write("1-dificil.lp", hardModel());
    models.write("2-apagado.lp", lpWithOptimum(3));
    models.write("3-virou-pasta.lp", lpWithOptimum(4));
    models.write("4-virou-fifo.lp", lpWithOptimum(5));
    models.write("5-virou-link-perdido.lp", lpWithOptimum(6));
    models.write("6-reescrito.lp", lpWithOptimum(7));
    models.write("7-quebrado.lp", lpWithOptimum(8));
    models.write("8.lp", lpWithOptimum(9));

    ProcessOptions options;
    options.input = quietOpt(models.path(), output.path(), "1");
    RunningProcess running({lumbrixBinary()}, options);
    ASSERT_TRUE(running.readUntil([](const std::string& out) { return completeReports(out) >= 1; }));
    ASSERT_TRUE(fs::remove(models.file("2-apagado.lp")));
    ASSERT_TRUE(fs::remove(models.file("3-virou-pasta.lp")));
    models.folder("3-virou-pasta.lp");
    ASSERT_TRUE(fs::remove(models.file("4-virou-fifo.lp")));
    ASSERT_EQ(mkfifo(models.file("4-virou-fifo.lp").c_str(), 0644), 0);
    ASSERT_TRUE(fs::remove(models.file("5-virou-link-perdido.lp")));
    ASSERT_EQ(symlink("nada.lp", models.file("5-virou-link-perdido.lp").c_str()), 0);
    models.write("6-reescrito.lp", mipWithOptimum(70));
    models.write("7-quebrado.lp", brokenModel());
    const ProcessResult run = running.finish();

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(withoutTimes(run.out),
              quietStart(true) + solvedBlock(0, "0.lp", kOptimal, kLpReadLog)
                  + solvedBlock(1, "1-dificil.lp", kTimeLimit, kHardReadLog) + unreadBlock(2, "2-apagado.lp")
                  + unreadBlock(3, "3-virou-pasta.lp") + unreadBlock(4, "4-virou-fifo.lp")
                  + unreadBlock(5, "5-virou-link-perdido.lp") + solvedBlock(6, "6-reescrito.lp", kOptimal, kMipReadLog)
                  + unreadBlock(7, "7-quebrado.lp") + solvedBlock(8, "8.lp", kOptimal, kLpReadLog) + kPrompt + kBye);
    // Only the broken model reaches the reader, which names the failure.
    EXPECT_EQ(failedCalls(run.err), std::vector<std::string>{"-2"}) << run.err;
    EXPECT_TRUE(holdsRows(readFile(output.file("sol_stat.csv")), {{"0.lp", kOptimal, "1,000000"},
                                                                  {"1-dificil.lp", kTimeLimit, kAnyNumber},
                                                                  {"2-apagado.lp", kReadError, "-"},
                                                                  {"3-virou-pasta.lp", kReadError, "-"},
                                                                  {"4-virou-fifo.lp", kReadError, "-"},
                                                                  {"5-virou-link-perdido.lp", kReadError, "-"},
                                                                  {"6-reescrito.lp", kOptimal, "70,000000"},
                                                                  {"7-quebrado.lp", kReadError, "-"},
                                                                  {"8.lp", kOptimal, "9,000000"}}));
}

}  // namespace
