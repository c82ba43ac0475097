// The memory limit end to end with SCIP's engine: where memory runs out (reading, the search
// with or without a solution found) decides the status, with the solver's log on and off. And
// the peak memory each model is given.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "FaultSupport.h"
#include "Process.h"
#include "TempDir.h"

namespace {

// A market split over 70 binaries, 3 rows of random weights summed to half their total:
// branch and bound's open nodes grow without end. With slack columns in the objective a
// solution is found at once; without them the search finds none.
std::string marketSplit(bool slacks)
{
    std::string lp = slacks ? "Minimize\n obj: p0 + m0 + p1 + m1 + p2 + m2\nSubject To\n" : "Minimize\n obj: x0\nSubject To\n";
    unsigned seed = 12345;
    for (int i = 0; i < 3; ++i) {
        long sum = 0;
        lp += " r" + std::to_string(i) + ":";
        for (int j = 0; j < 70; ++j) {
            seed = seed * 1103515245u + 12345u;
            const int a = static_cast<int>((seed >> 16) % 1000);
            sum += a;
            lp += " + " + std::to_string(a) + " x" + std::to_string(j);
        }
        if (slacks)
            lp += " + p" + std::to_string(i) + " - m" + std::to_string(i);
        lp += " = " + std::to_string(sum / 2) + "\n";
    }
    lp += "Binaries\n";
    for (int j = 0; j < 70; ++j)
        lp += " x" + std::to_string(j);
    return lp + "\nEnd\n";
}

// An LP of 200,000 columns in 1,000 rows: some 4 MB of text; reading it takes more than 40 MB
// beyond the program's own, handing it to GLPK more than 70.
std::string wideLp()
{
    std::string lp = "Minimize\n obj: x0\nSubject To\n";
    for (int i = 0; i < 1000; ++i) {
        lp += " c" + std::to_string(i) + ":";
        for (int j = i * 200; j < (i + 1) * 200; ++j)
            lp += " + x" + std::to_string(j);
        lp += " >= 1\n";
    }
    return lp + "End\n";
}

struct Row {
    std::string status;
    std::string objective;
};

std::vector<CsvRecord> detailsOf(const TempDir& output)
{
    std::vector<CsvRecord> records;
    std::string problem;
    EXPECT_TRUE(parseDetailsFile(readFile(output.file("sol_detalhes.csv")), records, problem)) << problem;
    return records;
}

Row rowOf(const TempDir& output)
{
    const std::vector<CsvRecord> records = detailsOf(output);
    if (records.size() != 2)
        return {};
    return {records[1][3], records[1][4]};
}

// Runs the one model of `models` under `megabytes` and returns the console.
std::string runAtLimit(const TempDir& models, const TempDir& output, const std::string& megabytes, bool log)
{
    std::vector<std::string> argv = {lumbrixBinary(), "opt", models.path(), output.path(), "--memory-limit", megabytes};
    if (!log)
        argv.push_back("--quiet");
    const ProcessResult run = runProcess(argv);
    EXPECT_EQ(run.signal, 0);
    return run.out;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST(MemoryLimit, DecidesTheStatusByWhereMemoryRanOut)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer cannot run under an address-space limit";
#endif
    struct Case {
        const char* what;
        std::string model;
        const char* megabytes;
        const char* report;  // the console's lines for the model
        bool objective;
    };
    const Case cases[] = {
        {"search with a solution", marketSplit(true), "12", "\nTEMPO: ", true},
        {"search without one", marketSplit(false), "12", "NOME: m.lp\nSTATUS: SEM MEMORIA\n", false},
        {"GLPK loading the model", wideLp(), "70", "NOME: m.lp\nSTATUS: SEM MEMORIA\n", false},
        {"reading the model", wideLp(), "40", "NOME: m.lp\nSTATUS: SEM MEMORIA\n", false},
    };
    for (const Case& test : cases) {
        TempDir models;
        models.write("m.lp", test.model);
        for (const bool log : {true, false}) {
            SCOPED_TRACE(std::string(test.what) + (log ? ", log on" : ", log off"));
            TempDir output;
            const std::string console = runAtLimit(models, output, test.megabytes, log);
            EXPECT_TRUE(contains(console, test.report)) << console;
            const Row row = rowOf(output);
            EXPECT_EQ(row.status, "memory_limit");
            if (test.objective) {
                EXPECT_TRUE(contains(console, "\nSTATUS: PROCESSO INTERROMPIDO - LIMITE DE MEMORIA\n")) << console;
                EXPECT_FALSE(row.objective.empty());
            } else {
                EXPECT_EQ(row.objective, "");
            }
            EXPECT_FALSE(contains(console, "STATUS: ERRO")) << console;
        }
    }
}

// Runs the models and gives each row's peak_memory_mb by model name.
std::map<std::string, double> peaksOfRun(const TempDir& models, const char* solver, bool log)
{
    TempDir output;
    std::vector<std::string> argv{lumbrixBinary(), "opt", "--solver", solver, models.path(), output.path()};
    if (!log)
        argv.push_back("--quiet");
    const ProcessResult run = runProcess(argv);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::vector<CsvRecord> records = detailsOf(output);
    std::map<std::string, double> peaks;
    if (records.empty())
        return peaks;
    const auto column = static_cast<std::size_t>(
        std::find(records[0].begin(), records[0].end(), "peak_memory_mb") - records[0].begin());
    for (std::size_t i = 1; i < records.size(); ++i)
        if (column < records[i].size())
            peaks[records[i][0]] = std::stod(records[i][column]);
    return peaks;
}

// A tiny model solved after a wide one is given about the peak it has alone: what the wide
// one freed is not counted again.
TEST(PeakMemory, IsEachModelsOwn)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's allocator holds freed memory back on purpose";
#endif
    const std::string tiny = "Maximize\n obj: x + y\nSubject To\n c: x + y <= 1\nEnd\n";
    TempDir alone;
    alone.write("b.lp", tiny);
    TempDir both;
    both.write("a.lp", wideLp());
    both.write("b.lp", tiny);
    for (const char* solver : {"scip", "cbc"}) {
        for (const bool log : {true, false}) {
            SCOPED_TRACE(std::string(solver) + (log ? ", log on" : ", log off"));
            std::map<std::string, double> tinyAlone = peaksOfRun(alone, solver, log);
            std::map<std::string, double> afterWide = peaksOfRun(both, solver, log);
            ASSERT_EQ(tinyAlone.size(), 1u);
            ASSERT_EQ(afterWide.size(), 2u);
            EXPECT_GT(afterWide["a.lp"], tinyAlone["b.lp"] + 40);
            EXPECT_LT(afterWide["b.lp"], tinyAlone["b.lp"] + 20);
        }
    }
}

}  // namespace
