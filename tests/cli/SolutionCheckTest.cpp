// Every answer checked, end to end: a solver that returns a wrong solution is caught whatever
// it claims, solutions are kept and verified results written for the next run.
#include <gtest/gtest.h>

#include <algorithm>

#include <dirent.h>

#include "FaultSupport.h"
#include "Process.h"
#include "TempDir.h"

namespace {

enum Column { Model = 0, Status = 3, Objective = 4, CheckColumn = 19, Verdict, MaxViolation, Violated, Recomputed, Seconds };

ProcessResult gurobiRun(const TempDir& models, const TempDir& output, std::vector<std::string> extra = {})
{
    std::vector<std::string> arguments{lumbrixBinary(), "opt", models.path(), output.path(), "--quiet", "--solver", "gurobi"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    ProcessOptions options;
    options.environment.emplace_back("LD_LIBRARY_PATH", GUROBI_DOUBLE_DIR);
    return runProcess(arguments, options);
}

std::vector<CsvRecord> detailsRows(const TempDir& output)
{
    std::vector<CsvRecord> records;
    std::string problem;
    EXPECT_TRUE(parseDetailsFile(readFile(output.file("sol_detalhes.csv")), records, problem)) << problem;
    for (const CsvRecord& record : records)
        EXPECT_EQ(record.size(), 26u);
    if (!records.empty())
        records.erase(records.begin());  // the header
    return records;
}

std::vector<std::string> entries(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.')
                names.emplace_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The test double answers "optimal" with the values its "\ double: x=NAME:VALUE" lines give.
TEST(SolutionCheck, AWrongSolutionIsWrongWhateverTheSolverAndTheSoluFileSay)
{
    TempDir models, output, known;
    models.write("a.lp", "\\ double: x=x:0 x=y:0\n" + lpWithOptimum(3));  // c1: x + y >= 3 broken by 3
    models.write("b.lp", mipWithOptimum(4));
    models.write("c.lp", "\\ double: x=b:0.5\nMaximize\n obj: b + x\nSubject To\n c: b + x <= 4\nBounds\n x <= 3\n"
                         "Binaries\n b\nEnd\n");
    const std::string solu = known.write("known.solu", "=opt= a 3\n=opt= b 4\n=opt= c 4\n");

    for (const bool withSolu : {false, true}) {
        const ProcessResult run = gurobiRun(models, output, withSolu ? std::vector<std::string>{"--solu", solu}
                                                                     : std::vector<std::string>{});
        EXPECT_EQ(run.exitCode, 1) << run.err;
        // The solver's word is on the console and in sol_stat.csv as before.
        std::size_t optimal = 0;
        for (std::size_t at = run.out.find("STATUS: SOL OTIMA\n"); at != std::string::npos;
             at = run.out.find("STATUS: SOL OTIMA\n", at + 1))
            ++optimal;
        EXPECT_EQ(optimal, 3u) << run.out;
        const std::vector<CsvRecord> rows = detailsRows(output);
        ASSERT_EQ(rows.size(), 3u);
        const CsvRecord& a = rows[0];
        EXPECT_EQ(a[Status], "optimal");
        EXPECT_EQ(a[Objective], "3");
        EXPECT_EQ(a[CheckColumn], "wrong");
        EXPECT_EQ(a[Verdict], "infeasible");
        EXPECT_EQ(a[MaxViolation], "3");
        EXPECT_EQ(a[Violated], "c1");
        EXPECT_EQ(a[Recomputed], "0");
        const CsvRecord& b = rows[1];
        EXPECT_EQ(b[CheckColumn], withSolu ? "ok" : "");
        EXPECT_EQ(b[Verdict], "feasible");
        EXPECT_EQ(b[MaxViolation], "0");
        EXPECT_EQ(b[Violated], "");
        EXPECT_EQ(b[Recomputed], "4");
        const CsvRecord& c = rows[2];
        EXPECT_EQ(c[CheckColumn], "wrong");
        EXPECT_EQ(c[Verdict], "infeasible");
        EXPECT_EQ(c[MaxViolation], "0.5");
        EXPECT_EQ(c[Violated], "b");
        EXPECT_EQ(c[Recomputed], "3.5");
        const std::string summary = withSolu ? "  verificação (.solu): ok 1, wrong 2, better 0, unknown 0\n"
                                               "  verificação das soluções: feasible 1, infeasible 2"
                                             : "  verificação das soluções: feasible 1, infeasible 2";
        EXPECT_NE(run.err.find(summary), std::string::npos) << run.err;
    }
}

TEST(SolutionCheck, TolerancesFromTheCommandLine)
{
    TempDir models;
    models.write("row.lp", "\\ double: x=x:1 x=y:1.99999\n" + lpWithOptimum(3));  // 1e-5 short of 3
    models.write("int.lp", "\\ double: x=x:3.02\n" + mipWithOptimum(3));            // 0.02 from 3
    {
        TempDir output;
        EXPECT_EQ(gurobiRun(models, output).exitCode, 1);
        const std::vector<CsvRecord> rows = detailsRows(output);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0][Model], "int.lp");
        EXPECT_EQ(rows[0][Verdict], "infeasible");
        EXPECT_EQ(rows[1][Verdict], "infeasible");
        EXPECT_EQ(rows[1][Violated], "c1");
    }
    {
        TempDir output;
        const ProcessResult run = gurobiRun(models, output,
                                            {"--feasibility-tolerance", "1e-4", "--integrality-tolerance", "0,05"});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const std::vector<CsvRecord> rows = detailsRows(output);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0][Verdict], "feasible");
        EXPECT_EQ(rows[0][MaxViolation], "0.020000000000000018");
        EXPECT_EQ(rows[1][Verdict], "feasible");
        EXPECT_EQ(rows[1][CheckColumn], "");
    }
    TempDir output;
    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"--feasibility-tolerance", "-1"}, {"--integrality-tolerance", "x"},
          {"--write-solu", output.file("v.solu"), "--shard", "1/2"}}) {
        std::vector<std::string> arguments{lumbrixBinary(), "opt", models.path(), output.path()};
        arguments.insert(arguments.end(), wrong.begin(), wrong.end());
        const ProcessResult run = runProcess(arguments);
        EXPECT_EQ(run.exitCode, 2) << wrong[0];
        EXPECT_FALSE(fileExists(output.file("sol_stat.csv"))) << wrong[0];
    }
}

// A model the solver reads and Lumbrix's reader refuses (GLPK takes an unknown variable in
// Generals, SCIP does not) is not checked, and the command line says why.
TEST(SolutionCheck, WhatCannotBeCheckedSaysWhy)
{
    TempDir models, output;
    models.write("a.lp", "Minimize\n obj: x + y\nSubject To\n c1: x + y >= 3\nGenerals\n z\nEnd\n");
    const ProcessResult run = gurobiRun(models, output);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::vector<CsvRecord> rows = detailsRows(output);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][Verdict], "not_checked");
    EXPECT_EQ(rows[0][MaxViolation], "");
    EXPECT_TRUE(std::stod(rows[0][Seconds]) >= 0) << rows[0][Seconds];
    EXPECT_TRUE(run.err.starts_with("Solução não verificada (a.lp): o modelo não pôde ser lido por Lumbrix (linha 7: "
                                    "unknown variable in generals section.)\n"))
        << run.err;
    // The shell's console stays as it was.
    const ProcessResult shell = runLumbrix("solver\nGUROBI\nverbose\nn\nopt\n" + models.path() + "\n" + output.path()
                                               + "\nexit\n",
                                           [] {
                                               ProcessOptions options;
                                               options.environment.emplace_back("LD_LIBRARY_PATH", GUROBI_DOUBLE_DIR);
                                               return options;
                                           }());
    EXPECT_EQ(shell.err.find("verificada"), std::string::npos) << shell.err;
    EXPECT_EQ(detailsRows(output).at(0)[Verdict], "not_checked");
}

// The engine's own solutions, kept in SCIP's format, and a .solu file of what was verified that
// the next run is checked against.
TEST(SolutionCheck, SolutionsKeptAndVerifiedResultsWritten)
{
    TempDir models, output;
    models.write("lp.lp", "Minimize\n obj: x + y + 0.5\nSubject To\n c1: x + y >= 3\n c2: x - y = 0\nEnd\n");
    models.write("mip.lp", mipWithOptimum(4));
    models.write("none.lp", "Minimize\n obj: x\nSubject To\n c1: x >= 5\n c2: x <= 3\nEnd\n");
    models.write("zero.lp", "Maximize\n obj: - x\nSubject To\n c1: x <= 3\nEnd\n");
    const std::string solu = output.file("verified.solu");
    const ProcessResult run = runProcess({lumbrixBinary(), "opt", models.path(), output.path(), "--quiet",
                                          "--save-solutions", "--write-solu", solu});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(entries(output.file("solutions")), (std::vector<std::string>{"lp.lp.sol", "mip.lp.sol", "zero.lp.sol"}));
    EXPECT_EQ(readFile(output.file("solutions/lp.lp.sol")), "objective value: 3.5\nx 1.5\ny 1.5\n");
    EXPECT_EQ(readFile(output.file("solutions/mip.lp.sol")), "objective value: 4\nx 4\n");
    EXPECT_EQ(readFile(output.file("solutions/zero.lp.sol")), "objective value: 0\n");
    EXPECT_EQ(readFile(solu), "=opt= lp 3.5\n=opt= mip 4\n=inf= none\n=opt= zero 0\n");
    EXPECT_EQ(entries(output.path()),
              (std::vector<std::string>{"sol_detalhes.csv", "sol_modelos.txt", "sol_stat.csv", "solutions", "verified.solu"}));

    TempDir again;
    const ProcessResult next = runProcess({lumbrixBinary(), "opt", models.path(), again.path(), "--quiet", "--solu", solu});
    EXPECT_EQ(next.exitCode, 0) << next.err;
    EXPECT_NE(next.err.find("verificação (.solu): ok 4, wrong 0, better 0, unknown 0"), std::string::npos) << next.err;
    EXPECT_FALSE(fileExists(again.file("solutions")));

    // A solutions folder that cannot be made is a usage error, before anything is solved.
    TempDir blocked;
    blocked.write("solutions", "a file\n");
    EXPECT_EQ(runProcess({lumbrixBinary(), "opt", models.path(), blocked.path(), "--save-solutions"}).exitCode, 2);
    EXPECT_FALSE(fileExists(blocked.file("sol_stat.csv")));
}

}  // namespace
