// Models that break the solver process: a crash, a hang past the time limit, memory without
// end. Each costs its own row; the run goes on with the next model in a new process.
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "GurobiTestSupport.h"

namespace {

struct BrokenRun {
    TempDir dir;
    std::string models = dir.folder("models");
    std::string output = dir.folder("out");
    ProcessResult result;

    void add(const std::string& name, const std::string& contents) { dir.write("models/" + name, contents); }
    void opt(const std::string& settings)
    {
        // The crashes must be the solver's own, not a sanitizer's report of them.
        result = runWithDouble(dir, "verbose\nn\n" + settings + optCommands(models, output),
                               {{"ASAN_OPTIONS", "handle_segv=0:handle_abort=0:detect_leaks=0"}});
        ASSERT_FALSE(result.timedOut);
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }
    std::string rows() const { return readFile(output + "/sol_stat.csv"); }
};

// A model's section without the double's own line about its new environment.
std::string section(const ProcessResult& result, int index)
{
    static const std::regex ready("^Gurobi test double: environment env[0-9]+ ready\n");
    return std::regex_replace(modelSection(result.out, index), ready, "");
}

std::string solvedSection(const std::string& name)
{
    return "Optimal objective: 42\nTime: <T>\nNOME: " + name + "\nTEMPO: <T>\nSTATUS: SOL OTIMA\n";
}

TEST(SolverProcess, ACrashCostsOneRowAndTheRunGoesOn)
{
    BrokenRun run;
    run.add("a.lp", kOptimalLp);
    run.add("b.lp", optimalWith("optimize=segv"));
    run.add("c.lp", optimalWith("optimize=abort"));
    run.add("d.lp", optimalWith("optimize=exit"));
    run.add("e.lp", kOptimalLp);
    run.opt("");

    EXPECT_EQ(run.result.err, "O solver terminou com o sinal 11 (Segmentation fault) no modelo b.lp\n"
                              "O solver terminou com o sinal 6 (Aborted) no modelo c.lp\n"
                              "O solver terminou com o código 3 no modelo d.lp\n");
    EXPECT_TRUE(matchesPattern(section(run.result, 0), solvedSection("a.lp")));
    for (const auto& [index, name] : {std::pair{1, "b.lp"}, {2, "c.lp"}, {3, "d.lp"}})
        EXPECT_TRUE(matchesPattern(section(run.result, index),
                                   std::string("NOME: ") + name + "\nTEMPO: <T>\nSTATUS: ERRO DO SOLVER\n"))
            << section(run.result, index);
    EXPECT_TRUE(matchesPattern(section(run.result, 4), solvedSection("e.lp")));
    EXPECT_TRUE(matchesPattern(run.rows(), "SOLVER;NOME;TEMPO;STATUS;Z;TEMPO LEITUR\r\n"
                                           "GUROBI;a.lp;<R>;SOL OTIMA;42,000000;<R>\r\n"
                                           "GUROBI;b.lp;<R>;ERRO DO SOLVER;-;<R>\r\n"
                                           "GUROBI;c.lp;<R>;ERRO DO SOLVER;-;<R>\r\n"
                                           "GUROBI;d.lp;<R>;ERRO DO SOLVER;-;<R>\r\n"
                                           "GUROBI;e.lp;<R>;SOL OTIMA;42,000000;<R>\r\n"))
        << run.rows();
    // The details file tells a crash from a failure the solver reported.
    const std::string details = readFile(run.output + "/sol_detalhes.csv");
    for (const char* name : {"b.lp,", "c.lp,", "d.lp,"})
        EXPECT_NE(details.find(std::string("\n") + name + "GUROBI,12.0.1,crashed,"), std::string::npos) << details;
}

TEST(SolverProcess, ASolverPastItsTimeLimitIsStoppedFromOutside)
{
    BrokenRun run;
    run.add("a.lp", optimalWith("optimize=hang"));
    run.add("b.lp", kOptimalLp);
    run.opt("time_limit\n0,1\n");

    EXPECT_EQ(run.result.err, "");
    EXPECT_TRUE(matchesPattern(section(run.result, 0),
                               "NOME: a.lp\nTEMPO: <T>\nSTATUS: PROCESSO INTERROMPIDO - LIMITE DE TEMPO\n"))
        << section(run.result, 0);
    std::smatch row;
    const std::string rows = run.rows();
    ASSERT_TRUE(std::regex_search(rows, row, std::regex("GUROBI;a\\.lp;([0-9]+),[0-9]{6};PROCESSO INTERROMPIDO - "
                                                        "LIMITE DE TEMPO;-;[0-9]+,[0-9]{6}\r\n")))
        << rows;
    // 1.1 times the limit and ten seconds more.
    EXPECT_EQ(std::stoi(row[1]), 10);
    EXPECT_NE(rows.find("GUROBI;b.lp;"), std::string::npos);
}

TEST(SolverProcess, AModelWithoutEndToItsMemoryIsOutOfMemoryAlone)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer cannot run under an address-space limit";
#endif
    BrokenRun run;
    run.add("a.lp", optimalWith("optimize=eat"));
    run.add("b.lp", kOptimalLp);
    run.opt("memory_limit\n200\n");

    EXPECT_EQ(run.result.err, "");
    EXPECT_EQ(section(run.result, 0), "NOME: a.lp\nSTATUS: SEM MEMORIA\n");
    EXPECT_TRUE(matchesPattern(run.rows(), "SOLVER;NOME;TEMPO;STATUS;Z;TEMPO LEITUR\r\n"
                                           "GUROBI;a.lp;-;SEM MEMORIA;-;<R>\r\n"
                                           "GUROBI;b.lp;<R>;SOL OTIMA;42,000000;<R>\r\n"))
        << run.rows();
    // The solver is told of the limit too, a little below it and in its own unit.
    EXPECT_NE(doubleLog(run.dir).find(" MemLimit 0.15625"), std::string::npos) << doubleLog(run.dir);
}

}  // namespace
