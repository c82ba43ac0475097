// Every report under its own number and every row under its own name: the console with the
// solver's log on, limits beyond any run, a solver process stopped from outside with models
// handed ahead, and one Ctrl-C for one model.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <map>
#include <set>

#include <unistd.h>

#include "FaultSupport.h"
#include "RunningProcess.h"
#include "TempDir.h"

namespace {

std::string nameOf(int i)
{
    return "m" + std::to_string(1000 + i) + ".lp";
}

// Entry i of the folder: an LP, a MIP, or a file that is no model.
void writeMixedFolder(TempDir& models, int count)
{
    for (int i = 0; i < count; ++i) {
        if (i % 4 == 3)
            models.write("m" + std::to_string(1000 + i) + ".txt", "nada\n");
        else
            models.write(nameOf(i), i % 2 ? mipWithOptimum(i) : lpWithOptimum(i));
    }
}

// The console cut at its rules: block n must be entry n's, its banner first, then whatever the
// solver wrote, then its report, all before the next rule.
::testing::AssertionResult blocksInOrder(const std::string& console, int count, bool listingOrder)
{
    std::vector<std::string> blocks;
    for (std::size_t at = console.find(kRule); at != std::string::npos;) {
        const std::size_t next = console.find(kRule, at + kRule.size());
        blocks.push_back(console.substr(at + kRule.size(), next == std::string::npos ? std::string::npos : next - at - kRule.size()));
        at = next;
    }
    if (blocks.size() != static_cast<std::size_t>(count))
        return ::testing::AssertionFailure() << blocks.size() << " blocks in\n" << console;
    std::set<int> seen;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const std::string& block = blocks[b];
        const std::size_t space = block.find(' ', 7);
        if (!block.starts_with("MODELO ") || space == std::string::npos)
            return ::testing::AssertionFailure() << "block without its banner:\n" << block;
        const int number = std::stoi(block.substr(7, space - 7));
        if (listingOrder && number != static_cast<int>(b))
            return ::testing::AssertionFailure() << "block " << b << " is entry " << number;
        seen.insert(number);
        const bool isModel = number % 4 != 3;
        const std::string report = "NOME: " + nameOf(number) + "\n";
        if (isModel && (block.find(report) == std::string::npos || !block.ends_with("STATUS: SOL OTIMA\n")))
            return ::testing::AssertionFailure() << "entry " << number << " without its own report:\n" << block;
        if (!isModel && block.find("NOME:") != std::string::npos)
            return ::testing::AssertionFailure() << "entry " << number << " with a report:\n" << block;
    }
    if (seen.size() != blocks.size())
        return ::testing::AssertionFailure() << "an entry shown twice";
    return ::testing::AssertionSuccess();
}

TEST(ConsoleWithTheLogOn, EveryReportSitsUnderItsOwnBanner)
{
    constexpr int kEntries = 8;
    TempDir models;
    writeMixedFolder(models, kEntries);
    for (const char* jobs : {"1", "2"}) {
        SCOPED_TRACE(std::string("jobs ") + jobs);
        TempDir fromShell, fromCommandLine;
        const ProcessResult shell
            = runLumbrix("jobs\n" + std::string(jobs) + "\nopt\n" + models.path() + "\n" + fromShell.path() + "\nexit\n");
        const std::size_t start = shell.out.find(kRule);
        ASSERT_NE(start, std::string::npos) << shell.out;
        const std::string console = shell.out.substr(start, shell.out.rfind(kPrompt) - start);
        EXPECT_TRUE(blocksInOrder(console, kEntries, std::string(jobs) == "1"));
        // The solver's own lines are there, with their model.
        EXPECT_NE(console.find(kLpReadLog), std::string::npos) << console;

        const ProcessResult line
            = runProcess({lumbrixBinary(), "opt", models.path(), fromCommandLine.path(), "--jobs", jobs});
        EXPECT_EQ(line.exitCode, 0) << line.err;
        EXPECT_TRUE(blocksInOrder(line.out, kEntries, std::string(jobs) == "1"));
    }
}

// The hard limit of a huge time limit lies beyond the clock's range: no hard stop, and every
// model is solved and recorded under its own name.
TEST(HugeTimeLimit, EveryModelIsSolvedUnderItsOwnName)
{
    TempDir models;
    std::vector<ExpectedRow> rows;
    for (int i = 0; i < 6; ++i) {
        models.write(nameOf(i), lpWithOptimum(i));
        rows.push_back({nameOf(i), kOptimal, std::to_string(i) + ",000000"});
    }
    for (const char* limit : {"1e12", "1e300"}) {
        for (const bool quiet : {true, false}) {
            SCOPED_TRACE(std::string(limit) + (quiet ? " quiet" : " log"));
            TempDir output;
            std::vector<std::string> arguments{lumbrixBinary(), "opt", models.path(), output.path(), "--time-limit", limit};
            if (quiet)
                arguments.push_back("--quiet");
            const ProcessResult run = runProcess(arguments);
            EXPECT_EQ(run.exitCode, 0) << run.err;
            EXPECT_TRUE(holdsRows(readFile(output.file("sol_stat.csv")), rows));
        }
    }
    TempDir output;
    const ProcessResult shell = runLumbrix("time_limit\n1e12\n" + quietOpt(models.path(), output.path()) + "exit\n");
    EXPECT_TRUE(holdsRows(readFile(output.file("sol_stat.csv")), rows)) << shell.out;
}

std::vector<pid_t> childrenOf(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
    std::vector<pid_t> children;
    for (pid_t child = 0; file >> child;)
        children.push_back(child);
    return children;
}

// Rows by model name, with how often each name came.
std::map<std::string, std::vector<std::string>> statusesByName(const std::string& resultsText)
{
    std::vector<CsvRecord> records;
    std::string problem;
    EXPECT_TRUE(parseResultsFile(resultsText, records, problem)) << problem;
    std::map<std::string, std::vector<std::string>> byName;
    for (std::size_t r = 1; r < records.size(); ++r)
        byName[records[r].at(1)].push_back(records[r].at(3));
    return byName;
}

// A solver process that stops answering with quick models handed ahead is stopped at the hard
// limit; the model it was on gets the time-limit row, the models it had finished are solved
// again, and no model has two rows or none.
TEST(HardLimit, AStoppedSolverProcessCostsTheModelItWasOnAndNoOther)
{
    constexpr int kModels = 3000;
    TempDir models, output;
    for (int i = 0; i < kModels; ++i)
        models.write(nameOf(i), lpWithOptimum(i % 7));
    RunningProcess run({lumbrixBinary(), "opt", models.path(), output.path(), "--quiet", "--time-limit", "0.1"});
    run.readUntil([](const std::string& out) { return completeReports(out) >= 50; }, 60);
    const std::vector<pid_t> solvers = childrenOf(run.pid());
    ASSERT_EQ(solvers.size(), 1u);
    ASSERT_EQ(kill(solvers[0], SIGSTOP), 0);
    const ProcessResult result = run.finish(240);
    kill(solvers[0], SIGCONT);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const auto byName = statusesByName(readFile(output.file("sol_stat.csv")));
    EXPECT_EQ(byName.size(), static_cast<std::size_t>(kModels));
    std::size_t stopped = 0;
    for (const auto& [name, statuses] : byName) {
        EXPECT_EQ(statuses.size(), 1u) << name;
        stopped += statuses.front() == kTimeLimit;
    }
    EXPECT_EQ(stopped, 1u);
    std::vector<CsvRecord> details;
    std::string problem;
    ASSERT_TRUE(parseDetailsFile(readFile(output.file("sol_detalhes.csv")), details, problem)) << problem;
    EXPECT_EQ(details.size(), static_cast<std::size_t>(kModels) + 1);
}

// A Ctrl-C sent to the program's whole process group (a terminal does the same) reaches the
// model being solved once: that model is interrupted, the next ones are solved to their limit.
TEST(CtrlC, OneInterruptStopsOneModel)
{
    TempDir models;
    for (const char* name : {"a.lp", "b.lp", "c.lp", "d.lp"})
        models.write(name, hardModel());
    // The second interrupt of old came a moment later, so that it missed the next model as often
    // as not: a few tries make it show.
    for (const bool quiet : {true, true, true, false}) {
        SCOPED_TRACE(quiet ? "quiet" : "log");
        TempDir output;
        ProcessOptions options;
        options.ownProcessGroup = true;
        std::vector<std::string> arguments{lumbrixBinary(), "opt", models.path(), output.path(), "--time-limit", "1"};
        if (quiet)
            arguments.push_back("--quiet");
        RunningProcess run(arguments, options);
        // The first model is being solved a moment after its solver has read it (with the log
        // on, its reading line shows that).
        if (!quiet) {
            ASSERT_TRUE(run.readUntilOutputHas(kHardReadLog));
        }
        run.readFor(0.5);
        run.killGroup(SIGINT);
        const ProcessResult result = run.finish(60);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        const auto byName = statusesByName(readFile(output.file("sol_stat.csv")));
        std::map<std::string, std::size_t> counts;
        for (const auto& [name, statuses] : byName)
            for (const std::string& status : statuses)
                ++counts[status];
        EXPECT_EQ(counts, (std::map<std::string, std::size_t>{{"PROCESSO INTERROMPIDO - USUARIO", 1}, {kTimeLimit, 3}}));
        EXPECT_EQ(byName.at("a.lp"), std::vector<std::string>{"PROCESSO INTERROMPIDO - USUARIO"});
    }
}

}  // namespace
