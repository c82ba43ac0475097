// sol_detalhes.csv end to end: its columns for each kind of outcome, with SCIP and Gurobi.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>

#include <unistd.h>

#include "FaultSupport.h"
#include "Process.h"
#include "TempDir.h"
#include "backends/scip/ScipEngine.h"

namespace {

enum Column {
    Model, SolverColumn, Version, Status, Objective, DualBound, Gap, Nodes, Iterations, SolveSeconds, ReadSeconds,
    WallSeconds, PeakMemory, TimeLimit, MemoryLimit, Jobs, Host, StartedAt, LumbrixVersion, CheckColumn,
    SolutionCheckColumn, MaxViolation, Violated, ObjectiveRecomputed, CheckSeconds
};

std::string host()
{
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

bool isDecimal(const std::string& text)
{
    static const std::regex number("-?[0-9]+(\\.[0-9]+)?(e[-+][0-9]+)?");
    return std::regex_match(text, number);
}

std::vector<CsvRecord> detailsOf(const TempDir& output)
{
    const std::string text = readFile(output.file("sol_detalhes.csv"));
    std::vector<CsvRecord> records;
    std::string problem;
    EXPECT_TRUE(parseDetailsFile(text, records, problem)) << problem << " in:\n" << text;
    EXPECT_TRUE(text.starts_with(kDetailsHeader)) << text;
    for (const CsvRecord& record : records)
        EXPECT_EQ(record.size(), 26u);
    return records;
}

// What every row of a run repeats.
void expectRunColumns(const CsvRecord& row, const std::string& solver, const std::string& version,
                      const std::string& timeLimit, const std::string& memoryLimit, const std::string& jobs)
{
    static const std::regex iso("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z");
    EXPECT_EQ(row[SolverColumn], solver);
    EXPECT_EQ(row[Version], version);
    EXPECT_EQ(row[TimeLimit], timeLimit);
    EXPECT_EQ(row[MemoryLimit], memoryLimit);
    EXPECT_EQ(row[Jobs], jobs);
    EXPECT_EQ(row[Host], host());
    EXPECT_TRUE(std::regex_match(row[StartedAt], iso)) << row[StartedAt];
    EXPECT_EQ(row[LumbrixVersion], "3.0");
    EXPECT_EQ(row[CheckColumn], "");
}

TEST(DetailsFile, ScipRowsForAnLpAnInfeasibleModelAReadErrorAndATimeLimit)
{
    TempDir models, output;
    models.write("a-lp.lp", lpWithOptimum(3));
    models.write("b-inviavel.lp", "Minimize\n obj: x\nSubject To\n c1: x >= 5\n c2: x <= 3\nEnd\n");
    models.write("c-quebrado.lp", brokenModel());
    models.write("d-dificil.lp", hardModel());
    ProcessOptions options;
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer cannot run under an address-space limit.
    const std::string memoryLimit = "0";
#else
    const std::string memoryLimit = "2048";
#endif
    const ProcessResult run = runProcess({lumbrixBinary(), "opt", models.path(), output.path(), "--quiet", "--time-limit",
                                          "0,5", "--memory-limit", memoryLimit, "--jobs", "1"});
    EXPECT_EQ(run.exitCode, 1);
    const std::vector<CsvRecord> rows = detailsOf(output);
    ASSERT_EQ(rows.size(), 5u);
    for (std::size_t i = 1; i < rows.size(); ++i)
        expectRunColumns(rows[i], "SCIP", scipEngineName(), "0.5", memoryLimit == "0" ? "" : memoryLimit, "1");

    const CsvRecord& lp = rows[1];
    EXPECT_EQ(lp[Model], "a-lp.lp");
    EXPECT_EQ(lp[Status], "optimal");
    EXPECT_EQ(lp[Objective], "3");
    EXPECT_TRUE(isDecimal(lp[SolveSeconds])) << lp[SolveSeconds];
    EXPECT_TRUE(isDecimal(lp[ReadSeconds])) << lp[ReadSeconds];

    const CsvRecord& infeasible = rows[2];
    EXPECT_EQ(infeasible[Status], "infeasible");
    // SCIP's 1e20 for "no solution" is no objective.
    EXPECT_EQ(infeasible[Objective], "");
    EXPECT_TRUE(isDecimal(infeasible[SolveSeconds]));

    const CsvRecord& unread = rows[3];
    EXPECT_EQ(unread[Status], "read_error");
    EXPECT_EQ(unread[Objective], "");
    EXPECT_EQ(unread[SolveSeconds], "");
    EXPECT_TRUE(isDecimal(unread[ReadSeconds]));

    const CsvRecord& stopped = rows[4];
    EXPECT_EQ(stopped[Status], "time_limit");
    EXPECT_TRUE(isDecimal(stopped[SolveSeconds]));
    EXPECT_GE(std::stod(stopped[SolveSeconds]), 0.4);

    // What the solver process measures is there for every model; the search figures for
    // every model that was solved.
    for (std::size_t i = 1; i < rows.size(); ++i)
        for (const Column column : {WallSeconds, PeakMemory})
            EXPECT_TRUE(isDecimal(rows[i][column])) << "row " << i << " column " << column;
    EXPECT_EQ(lp[DualBound], "3");
    EXPECT_EQ(lp[Gap], "0");
    // SCIP counts no node for an LP its presolve settles; the engine counts its one LP.
    EXPECT_TRUE(isDecimal(lp[Nodes])) << lp[Nodes];
    for (const Column column : {DualBound, Gap, Nodes, Iterations})
        EXPECT_EQ(unread[column], "") << column;
    // Without a solution there is no gap, though SCIP computes 0 from its two infinities.
    EXPECT_EQ(infeasible[Gap], "");
    EXPECT_TRUE(isDecimal(infeasible[Nodes])) << infeasible[Nodes];
    // Its gap is left empty: SCIP gives none while the dual bound is 0.
    for (const Column column : {DualBound, Nodes, Iterations})
        EXPECT_TRUE(isDecimal(stopped[column])) << column << ": " << stopped[column];
    EXPECT_EQ(stopped[Gap], "");
}

TEST(DetailsFile, GurobiRowsCarryTheSearchFigures)
{
    TempDir models, output;
    models.write("a-lp.lp", lpWithOptimum(3));
    // Stopped as at a time limit once the first solution is found.
    models.write("b-mip.lp", "\\ double: stop=first\n" + mipWithOptimum(4));
    models.write("c-mip.lp", mipWithOptimum(4));
    ProcessOptions options;
    options.environment.emplace_back("LD_LIBRARY_PATH", GUROBI_DOUBLE_DIR);
    const ProcessResult run =
        runProcess({lumbrixBinary(), "opt", models.path(), output.path(), "--quiet", "--solver", "gurobi"}, options);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::vector<CsvRecord> rows = detailsOf(output);
    ASSERT_EQ(rows.size(), 4u);
    for (std::size_t i = 1; i < rows.size(); ++i)
        expectRunColumns(rows[i], "GUROBI", "12.0.1", "", "", "1");

    const CsvRecord& lp = rows[1];
    EXPECT_EQ(lp[Status], "optimal");
    EXPECT_EQ(lp[Objective], "3");
    // The library has no bound, gap or nodes for an LP.
    EXPECT_EQ(lp[DualBound], "");
    EXPECT_EQ(lp[Gap], "");
    EXPECT_EQ(lp[Nodes], "");
    EXPECT_TRUE(std::regex_match(lp[Iterations], std::regex("[0-9]+"))) << lp[Iterations];

    const CsvRecord& stopped = rows[2];
    EXPECT_EQ(stopped[Status], "time_limit");
    ASSERT_TRUE(isDecimal(stopped[Objective])) << stopped[Objective];
    ASSERT_TRUE(isDecimal(stopped[DualBound])) << stopped[DualBound];
    ASSERT_TRUE(isDecimal(stopped[Gap])) << stopped[Gap];
    const double objective = std::stod(stopped[Objective]), bound = std::stod(stopped[DualBound]);
    // A maximisation: the bound lies above the solution, and the gap is Gurobi's.
    EXPECT_GE(bound, objective);
    EXPECT_LE(objective, 4);
    EXPECT_NEAR(std::stod(stopped[Gap]), std::fabs(bound - objective) / std::fabs(objective), 1e-12);
    EXPECT_TRUE(std::regex_match(stopped[Nodes], std::regex("[0-9]+"))) << stopped[Nodes];

    const CsvRecord& solved = rows[3];
    EXPECT_EQ(solved[Status], "optimal");
    EXPECT_EQ(solved[Objective], "4");
    EXPECT_EQ(solved[DualBound], "4");
    EXPECT_EQ(solved[Gap], "0");
}

// The wall-clock time is taken around the solver's own time: never below it, with the log on
// or off, however far ahead the solver process runs.
TEST(DetailsFile, WallTimeIsNeverBelowTheSolvingTime)
{
    TempDir models;
    for (int i = 0; i < 300; ++i)
        models.write("m" + std::to_string(100 + i) + ".lp", i % 2 ? mipWithOptimum(i) : lpWithOptimum(i));
    for (const bool quiet : {true, false}) {
        TempDir output;
        std::vector<std::string> arguments{lumbrixBinary(), "opt", models.path(), output.path()};
        if (quiet)
            arguments.push_back("--quiet");
        ASSERT_EQ(runProcess(arguments).exitCode, 0);
        const std::vector<CsvRecord> rows = detailsOf(output);
        ASSERT_EQ(rows.size(), 301u);
        for (std::size_t r = 1; r < rows.size(); ++r)
            EXPECT_GE(std::stod(rows[r][WallSeconds]), std::stod(rows[r][SolveSeconds])) << rows[r][Model];
    }
}

// The run's own files in the model folder are no models: a second run into the same folder
// numbers and reports as the first did. A run elsewhere takes the old sol_stat.csv away, as
// the shell always did, and leaves every other file of the user's, an old details file too.
TEST(DetailsFile, ARunIntoItsModelFolderNumbersAsBefore)
{
    TempDir models, elsewhere;
    models.write("a.lp", lpWithOptimum(3));
    models.write("b.txt", "nada\n");
    const ProcessResult first = runLumbrix(quietOpt(models.path(), models.path()));
    ASSERT_TRUE(fileExists(models.file("sol_detalhes.csv")));
    const ProcessResult second = runLumbrix(quietOpt(models.path(), models.path()));
    EXPECT_EQ(withoutTimes(second.out), withoutTimes(first.out));
    EXPECT_EQ(detailsOf(models).size(), 2u);

    const ProcessResult third = runLumbrix(quietOpt(models.path(), elsewhere.path()));
    EXPECT_EQ(withoutTimes(third.out), withoutTimes(first.out));
    EXPECT_EQ(folderEntries(models.path()), (std::vector<std::string>{"a.lp", "b.txt", "sol_detalhes.csv"}));
    EXPECT_EQ(detailsOf(elsewhere).size(), 2u);
}

}  // namespace
