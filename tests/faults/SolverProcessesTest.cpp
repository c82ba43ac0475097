// The run's solver processes seen from outside: several at once, Ctrl-C, and a run killed
// with the solver busy.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <set>

#include <unistd.h>

#include "FaultSupport.h"
#include "RunningProcess.h"
#include "TempDir.h"

namespace {

std::string nameOf(int i)
{
    return "m" + std::to_string(10 + i) + ".lp";
}

// Models with known optima, every fifth one unreadable.
void writeModels(TempDir& models, int count)
{
    for (int i = 0; i < count; ++i)
        models.write(nameOf(i), i % 5 == 4 ? brokenModel() : i % 2 ? mipWithOptimum(i) : lpWithOptimum(i));
}

std::string expectedBlock(int i)
{
    if (i % 5 == 4)
        return unreadBlock(static_cast<std::size_t>(i), nameOf(i));
    return solvedBlock(static_cast<std::size_t>(i), nameOf(i), kOptimal, i % 2 ? kMipReadLog : kLpReadLog);
}

std::vector<pid_t> childrenOf(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
    std::vector<pid_t> children;
    for (pid_t child = 0; file >> child;)
        children.push_back(child);
    return children;
}

// Gone, or a zombie waiting for whoever adopted it.
bool hasEnded(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string skip, state;
    return !(file >> skip >> skip >> state) || state == "Z";
}

TEST(SideBySide, EveryModelIsReportedOnceInOnePieceWithItsRow)
{
    constexpr int kModels = 15;
    TempDir models;
    writeModels(models, kModels);
    for (const char* jobs : {"2", "3"}) {
        SCOPED_TRACE(std::string("jobs ") + jobs);
        TempDir output;
        const ProcessResult run
            = runLumbrix("verbose\nn\njobs\n" + std::string(jobs) + "\n" + quietOpt(models.path(), output.path()));
        EXPECT_EQ(run.exitCode, 0);
        // Each unreadable model's messages, once.
        std::size_t refusals = 0;
        const std::string refusal = "[ScipBackend.cpp:";
        for (std::size_t at = run.err.find(refusal); at != std::string::npos; at = run.err.find(refusal, at + 1))
            ++refusals;
        EXPECT_EQ(refusals, 3u) << run.err;
        const std::string console = withoutTimes(run.out);
        std::size_t covered = 0;
        for (int i = 0; i < kModels; ++i) {
            const std::string block = expectedBlock(i);
            const std::size_t at = console.find(block);
            EXPECT_NE(at, std::string::npos) << "model " << i << " in\n" << console;
            EXPECT_EQ(console.find(block, at + 1), std::string::npos) << "model " << i << " twice";
            covered += block.size();
        }
        const std::size_t firstRule = console.find(kRule);
        EXPECT_EQ(console.size() - firstRule, covered + kPrompt.size() + kBye.size());

        std::vector<CsvRecord> records;
        std::string problem;
        ASSERT_TRUE(parseResultsFile(readFile(output.file("sol_stat.csv")), records, problem)) << problem;
        std::multiset<std::string> names;
        for (std::size_t r = 1; r < records.size(); ++r)
            names.insert(records[r].at(1));
        std::multiset<std::string> expected;
        for (int i = 0; i < kModels; ++i)
            expected.insert(nameOf(i));
        EXPECT_EQ(names, expected);
    }
}

TEST(SideBySide, ChoosingJobs)
{
    const std::string invalid = "Valor inválido, o número de modelos simultâneos não foi alterado.\n";
    const std::string ask = "Digite o número de modelos resolvidos ao mesmo tempo> ";
    for (const char* answer : {"0", "-1", "", "dois", "2.5", "2 jobs", "100000"}) {
        const ProcessResult run = runLumbrix("jobs\n" + std::string(answer) + "\nexit\n");
        EXPECT_TRUE(run.out.ends_with(kPrompt + ask + invalid + kPrompt + kBye)) << answer;
    }
    const ProcessResult run = runLumbrix("jobs\n 2 \nexit\n");
    EXPECT_TRUE(run.out.ends_with(kPrompt + ask + kPrompt + kBye));
    EXPECT_EQ(run.err, "");
}

// A Ctrl-C sent to the program alone (as a script or a test does) ends the solves at hand;
// the run goes on with the next models.
TEST(CtrlC, EndsTheModelsBeingSolvedAndTheRunGoesOn)
{
    for (const char* jobs : {"1", "2"}) {
        SCOPED_TRACE(std::string("jobs ") + jobs);
        TempDir models, output;
        models.write("a.lp", hardModel());
        models.write("b.lp", hardModel());
        models.write("c.lp", lpWithOptimum(3));
        ProcessOptions options;
        options.input = "verbose\nn\njobs\n" + std::string(jobs) + "\n" + quietOpt(models.path(), output.path());
        RunningProcess run({lumbrixBinary()}, options);
        ASSERT_TRUE(run.readUntilOutputHas(kAskOutput));
        for (int model = 0; model < 2; ++model) {
            // Solving has started when the process has been busy for a while.
            run.readFor(1.0);
            run.kill(SIGINT);
            if (std::string(jobs) == "2")
                break;
        }
        const ProcessResult result = run.finish(60);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        // Side by side, rows come in the order the models end.
        std::vector<CsvRecord> records;
        std::string problem;
        ASSERT_TRUE(parseResultsFile(readFile(output.file("sol_stat.csv")), records, problem)) << problem;
        std::set<std::string> rows;
        for (std::size_t r = 1; r < records.size(); ++r)
            rows.insert(records[r].at(1) + " " + records[r].at(3));
        EXPECT_EQ(rows, (std::set<std::string>{"a.lp PROCESSO INTERROMPIDO - USUARIO",
                                               "b.lp PROCESSO INTERROMPIDO - USUARIO", "c.lp SOL OTIMA"}));
    }
}

TEST(KilledProgram, NoSolverProcessOutlivesIt)
{
    TempDir models, output;
    models.write("a.lp", hardModel());
    ProcessOptions options;
    // With the log on, the solver's reading line shows when it is at work.
    options.input = "opt\n" + models.path() + "\n" + output.path() + "\nexit\n";
    RunningProcess run({lumbrixBinary()}, options);
    ASSERT_TRUE(run.readUntilOutputHas(kHardReadLog));
    const std::vector<pid_t> solvers = childrenOf(run.pid());
    ASSERT_EQ(solvers.size(), 1u);
    run.kill(SIGKILL);
    run.finish();
    bool ended = false;
    for (int wait = 0; wait < 100 && !ended; ++wait) {
        ended = hasEnded(solvers[0]);
        if (!ended)
            usleep(50 * 1000);
    }
    EXPECT_TRUE(ended) << "solver process " << solvers[0] << " is still there";
    EXPECT_EQ(readFile(output.file("sol_stat.csv")), kHeader);
}

}  // namespace
