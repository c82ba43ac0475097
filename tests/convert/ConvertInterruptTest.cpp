// Ctrl-C while a large model's LP file is being written: that conversion stops, the old LP
// file (or none) stays as it was, nothing else is left behind and the run goes on.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include "ConvertSession.h"
#include "RunningProcess.h"
#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

// About a second to convert, a third of it writing some 23 MB of LP file.
const std::string kLargeModel = "param n := 400000;\nvar x{1..n} >= 0;\nminimize z: sum{i in 1..n} i * x[i];\n"
                                "s.t. c{i in 1..n}: x[i] + x[(i mod n) + 1] >= 1;\nend;\n";

// A file that was not in the folder before holds data: an LP file is being written.
bool newFileHasData(const std::string& folder, const std::vector<std::string>& before)
{
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (std::find(before.begin(), before.end(), name) == before.end() && entry.file_size(error) > 0 && !error)
            return true;
    }
    return false;
}

TEST(ConvertInterrupt, CtrlCWhileWritingStopsOnlyThatModel)
{
    if (access("/usr/bin/setsid", X_OK) != 0)
        GTEST_SKIP() << "setsid (util-linux) is not installed";
    const std::string oldLp = "\\* the LP file of an earlier run *\\\n\nMinimize\n z: + x\n\nEnd\n";
    // A terminal sends SIGINT to the whole foreground process group; kill sends it to one process.
    for (const bool wholeGroup : {false, true}) {
        SCOPED_TRACE(wholeGroup ? "SIGINT to the process group" : "SIGINT to the program alone");
        TempDir dir;
        dir.write("a_large.mod", kLargeModel);
        if (!wholeGroup)
            dir.write("a_large.lp", oldLp);
        dir.write("b_tiny.mod", tinyModel("3"));
        const std::vector<std::string> before = folderNames(dir.path());

        ProcessOptions options;
        options.input = "mod_lp\n" + dir.path() + "\nexit\n";
        // In a process group of its own, as a terminal's foreground job.
        RunningProcess run({"/usr/bin/setsid", lumbrixBinary()}, options);
        const std::string writing = "Writing problem data to '" + dir.file("a_large.lp") + "'...\n";
        ASSERT_TRUE(run.readUntil([&](const std::string& out) {
            return out.find(writing) != std::string::npos && newFileHasData(dir.path(), before);
        }));
        ASSERT_EQ(kill(wholeGroup ? -run.pid() : run.pid(), SIGINT), 0);
        const ProcessResult result = run.finish();

        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.err, "Erro ao tranformar modelo\n");
        if (wholeGroup)
            EXPECT_FALSE(fileExists(dir.file("a_large.lp")));
        else
            EXPECT_EQ(readFile(dir.file("a_large.lp")), oldLp);
        std::vector<std::string> expected = before;
        expected.push_back("b_tiny.lp");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(folderNames(dir.path()), expected);
        EXPECT_NE(readFile(dir.file("b_tiny.lp")).find(tinyObjective(3)), std::string::npos);

        const std::string stopped = entrySection(result.out, static_cast<int>(before.size()) - 2);
        EXPECT_TRUE(stopped.ends_with(writing)) << stopped;
        EXPECT_NE(entrySection(result.out, static_cast<int>(before.size()) - 1)
                      .find("Writing problem data to '" + dir.file("b_tiny.lp") + "'...\n"),
                  std::string::npos);
        EXPECT_TRUE(result.out.ends_with("\n\nLumbrix> Saindo do shell...\n")) << result.out;
    }
}

// Starts `argv` in a process group of its own, as a terminal's foreground job, and waits
// until GLPK is writing the large model's LP file.
void startWritingLargeModel(std::unique_ptr<RunningProcess>& run, const std::vector<std::string>& argv,
                            const ProcessOptions& options, const TempDir& dir, const std::vector<std::string>& before)
{
    std::vector<std::string> words = {"/usr/bin/setsid"};
    words.insert(words.end(), argv.begin(), argv.end());
    run = std::make_unique<RunningProcess>(words, options);
    const std::string writing = "Writing problem data to '" + dir.file("a_large.lp") + "'...\n";
    ASSERT_TRUE(run->readUntil([&](const std::string& out) {
        return out.find(writing) != std::string::npos && newFileHasData(dir.path(), before);
    }));
}

// On the command line Ctrl-C ends the run with the model being converted: the models after
// it are not converted, and each is named.
TEST(ConvertInterrupt, CtrlCOnTheCommandLineEndsTheRun)
{
    if (access("/usr/bin/setsid", X_OK) != 0)
        GTEST_SKIP() << "setsid (util-linux) is not installed";
    for (const bool wholeGroup : {false, true}) {
        SCOPED_TRACE(wholeGroup ? "SIGINT to the process group" : "SIGINT to the program alone");
        TempDir dir;
        dir.write("a_large.mod", kLargeModel);
        dir.write("b_tiny.mod", tinyModel("3"));
        dir.write("c.txt", "x\n");
        dir.write("d_tiny.mod", tinyModel("4"));
        const std::vector<std::string> before = folderNames(dir.path());
        std::unique_ptr<RunningProcess> run;
        startWritingLargeModel(run, {lumbrixBinary(), "mod_lp", dir.path()}, {}, dir, before);
        ASSERT_TRUE(run);
        ASSERT_EQ(kill(wholeGroup ? -run->pid() : run->pid(), SIGINT), 0);
        const ProcessResult result = run->finish();

        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, "Erro ao tranformar modelo\nModelo não convertido: a_large.mod\n"
                              "Modelo não convertido: b_tiny.mod\nModelo não convertido: d_tiny.mod\n"
                              "Conversão interrompida pelo usuário\n");
        EXPECT_EQ(folderNames(dir.path()), before);
        EXPECT_TRUE(result.out.ends_with("'...\n\n\n")) << result.out;
        EXPECT_EQ(result.out.find("Modelo 1 gerado"), std::string::npos) << result.out;
    }
}

// SIGTERM (or SIGHUP) while an LP file is written ends the program as before, without the
// hidden temporary file: at the shell and on the command line.
TEST(ConvertInterrupt, SigtermLeavesNoTemporaryFile)
{
    if (access("/usr/bin/setsid", X_OK) != 0)
        GTEST_SKIP() << "setsid (util-linux) is not installed";
    const std::string oldLp = "\\* the LP file of an earlier run *\\\n\nMinimize\n z: + x\n\nEnd\n";
    for (const int signal : {SIGTERM, SIGHUP}) {
        for (const bool atShell : {false, true}) {
            SCOPED_TRACE(std::string(atShell ? "at the shell, " : "on the command line, ") + strsignal(signal));
            TempDir dir;
            dir.write("a_large.mod", kLargeModel);
            dir.write("a_large.lp", oldLp);
            dir.write("b_tiny.mod", tinyModel("3"));
            const std::vector<std::string> before = folderNames(dir.path());
            ProcessOptions options;
            std::vector<std::string> argv = {lumbrixBinary()};
            if (atShell)
                options.input = "mod_lp\n" + dir.path() + "\nexit\n";
            else
                argv.insert(argv.end(), {"mod_lp", dir.path()});
            std::unique_ptr<RunningProcess> run;
            startWritingLargeModel(run, argv, options, dir, before);
            ASSERT_TRUE(run);
            ASSERT_EQ(kill(run->pid(), signal), 0);
            const ProcessResult result = run->finish();

            EXPECT_EQ(result.signal, signal);
            EXPECT_EQ(folderNames(dir.path()), before);
            EXPECT_EQ(readFile(dir.file("a_large.lp")), oldLp);
        }
    }
}

}  // namespace
