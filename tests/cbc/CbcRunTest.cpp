// `opt --solver cbc` end to end: what it writes, Ctrl-C, and the memory limit.
#include <csignal>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Models.h"
#include "Process.h"
#include "RunningProcess.h"
#include "TempDir.h"

namespace {

const std::string kInterrupted = "PROCESSO INTERROMPIDO - USUARIO";
const std::string kTimeLimit = "PROCESSO INTERROMPIDO - LIMITE DE TEMPO";

// sol_stat.csv as name -> status, every row checked to be CBC's.
std::map<std::string, std::string> statusesByName(const std::string& results)
{
    std::map<std::string, std::string> statuses;
    std::istringstream lines(results);
    std::string line;
    std::getline(lines, line);  // the header
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ';');)
            fields.push_back(cell);
        EXPECT_EQ(fields.size(), 6u) << line;
        EXPECT_EQ(fields.front(), "CBC") << line;
        if (fields.size() > 3)
            statuses[fields[1]] = fields[3];
    }
    return statuses;
}

ProcessResult opt(const std::vector<std::string>& options, const std::string& models, const std::string& output)
{
    std::vector<std::string> argv{lumbrixBinary(), "opt", "--solver", "cbc"};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.insert(argv.end(), {models, output});
    return runProcess(argv);
}

TEST(CbcRun, WritesCbcsRowsAndItsLogOnlyWhenAsked)
{
    for (const bool quiet : {true, false}) {
        TempDir output;
        const ProcessResult run = opt(quiet ? std::vector<std::string>{"--quiet"} : std::vector<std::string>{},
                                      examplesFolder(), output.path());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out.find("Welcome to the CBC MILP Solver") == std::string::npos, quiet) << run.out;
        EXPECT_EQ(run.out.find("Cbc0") == std::string::npos, quiet);
        EXPECT_EQ(statusesByName(readFile(output.file("sol_stat.csv"))),
                  (std::map<std::string, std::string>{
                      {"inviavel.lp", "PROBLEMA INFACTIVEL"}, {"mochila.lp", "SOL OTIMA"}, {"producao.lp", "SOL OTIMA"}}));
        EXPECT_NE(readFile(output.file("sol_detalhes.csv")).find("\nmochila.lp,CBC,CBC 2.10.8,optimal,42,42,0,"),
                  std::string::npos);
    }
}

// One Ctrl-C to the program's process group stops the model CBC is solving; the rest are
// solved to their limit.
TEST(CbcRun, OneInterruptStopsOneModel)
{
    TempDir models;
    for (const char* name : {"a.lp", "b.lp", "c.lp"})
        models.write(name, hardModel());
    for (const bool quiet : {true, false}) {
        SCOPED_TRACE(quiet ? "quiet" : "log");
        TempDir output;
        ProcessOptions options;
        options.ownProcessGroup = true;
        std::vector<std::string> arguments{lumbrixBinary(), "opt", "--solver", "cbc", "--time-limit", "1"};
        if (quiet)
            arguments.push_back("--quiet");
        arguments.insert(arguments.end(), {models.path(), output.path()});
        RunningProcess run(arguments, options);
        // With the log on, CBC's heuristics' lines show it is solving.
        if (!quiet) {
            ASSERT_TRUE(run.readUntilOutputHas("Cbc0038I"));
        }
        run.readFor(0.5);
        run.killGroup(SIGINT);
        const ProcessResult result = run.finish(60);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(statusesByName(readFile(output.file("sol_stat.csv"))),
                  (std::map<std::string, std::string>{{"a.lp", kInterrupted}, {"b.lp", kTimeLimit}, {"c.lp", kTimeLimit}}));
    }
}

// A model larger than the memory limit: CBC's allocation fails, the model is out of memory,
// and the next model is solved in the same run.
TEST(CbcRun, MemoryLimitStopsTheModelAndTheRunGoesOn)
{
    TempDir models;
    std::string big = "Maximize\n obj:";
    for (int j = 0; j < 4000; ++j)
        big += " + " + std::to_string(1 + j % 97) + " x" + std::to_string(j);
    big += "\nSubject To\n";
    for (int i = 0; i < 400; ++i) {
        big += " c" + std::to_string(i) + ":";
        for (int k = 0; k < 400; ++k)
            big += " + " + std::to_string(1 + (i * 7 + k) % 89) + " x" + std::to_string((i * 13 + k * 10) % 4000);
        big += " <= " + std::to_string(1000 + i) + "\n";
    }
    big += "Binaries\n";
    for (int j = 0; j < 4000; ++j)
        big += " x" + std::to_string(j);
    models.write("a-big.lp", big + "\nEnd\n");
    models.write("b-small.lp", readFile(examplesFolder() + "/mochila.lp"));
    TempDir output;
    const ProcessResult run = opt({"--quiet", "--memory-limit", "80", "--time-limit", "20"}, models.path(), output.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(statusesByName(readFile(output.file("sol_stat.csv"))),
              (std::map<std::string, std::string>{{"a-big.lp", "SEM MEMORIA"}, {"b-small.lp", "SOL OTIMA"}}));
    EXPECT_NE(run.err.find("CBC ran out of memory\n"), std::string::npos) << run.err;
}

}  // namespace
