// The CBC back end on small models whose answers are known, called as a solver process calls it.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "Compressed.h"
#include "Models.h"
#include "Process.h"
#include "TempDir.h"
#include "backends/RunSettings.h"
#include "backends/Solver.h"
#include "backends/cbc/CbcBackend.h"

namespace {

RunSettings cbcSettings()
{
    RunSettings settings;
    settings.solver = solverByWord("cbc");
    settings.log = false;
    return settings;
}

ModelOutcome solveText(const std::string& name, const std::string& text, const RunSettings& settings = cbcSettings())
{
    TempDir dir;
    SolveNotes notes;
    const ModelOutcome outcome = solveWithCbc(dir.write(name, text), settings, notes);
    EXPECT_TRUE(notes.readFinished);
    return outcome;
}

ModelOutcome solveFile(const std::string& path, const RunSettings& settings = cbcSettings())
{
    SolveNotes notes;
    return solveWithCbc(path, settings, notes);
}

// The market-split model with a constant in its objective, so that its bounds are away from
// zero and the gap between them is a number.
std::string hardModelWithConstant()
{
    std::string text = hardModel();
    const std::string line = "\nSubject To";
    return text.insert(text.find(line), " + 100");
}

TEST(CbcSolver, IsTheThirdInTheRegistry)
{
    const Solver* cbc = solverByWord("CBC");
    ASSERT_NE(cbc, nullptr);
    EXPECT_EQ(solvers().size(), 3u);
    EXPECT_EQ(solvers()[2], cbc);
    EXPECT_STREQ(cbc->tableName, "CBC");
    EXPECT_EQ(cbc->shellWord, nullptr);
    EXPECT_EQ(cbc->version(), "CBC 2.10.8");
    EXPECT_FALSE(cbc->unavailable());
}

TEST(CbcSolver, GivesTheExamplesKnownAnswers)
{
    const ModelOutcome knapsack = solveFile(examplesFolder() + "/mochila.lp");
    EXPECT_EQ(knapsack.status, ModelStatus::Optimal);
    EXPECT_EQ(knapsack.objective, 42.0);
    EXPECT_EQ(knapsack.sense, Sense::Maximize);
    ASSERT_TRUE(knapsack.solution);
    EXPECT_EQ(knapsack.solution->names.size(), 6u);
    EXPECT_EQ(knapsack.solution->names.front(), "mapa");

    const ModelOutcome production = solveFile(examplesFolder() + "/producao.lp");
    EXPECT_EQ(production.status, ModelStatus::Optimal);
    EXPECT_EQ(production.objective, 21.0);
    EXPECT_EQ(production.dualBound, 21.0);
    EXPECT_EQ(production.gap, 0.0);
    EXPECT_GT(production.lpIterations.value_or(0), 0);

    const ModelOutcome infeasible = solveFile(examplesFolder() + "/inviavel.lp");
    EXPECT_EQ(infeasible.status, ModelStatus::Infeasible);
    EXPECT_FALSE(infeasible.objective);
    EXPECT_FALSE(infeasible.solution);
}

TEST(CbcSolver, MinimizesAndMaximizesWithTheObjectivesConstant)
{
    const ModelOutcome lp = solveText("min.lp", "Minimize\n obj: x + y + 7.5\nSubject To\n c1: x + y >= 2\nEnd\n");
    EXPECT_EQ(lp.status, ModelStatus::Optimal);
    EXPECT_EQ(lp.objective, 9.5);
    EXPECT_EQ(lp.dualBound, 9.5);
    EXPECT_EQ(lp.sense, Sense::Minimize);

    const ModelOutcome mip = solveText("max.lp", "Maximize\n obj: 3 x - 1\nSubject To\n c1: 2 x <= 9\nGenerals\n x\nEnd\n");
    EXPECT_EQ(mip.status, ModelStatus::Optimal);
    EXPECT_EQ(mip.objective, 11.0);
    ASSERT_TRUE(mip.solution);
    EXPECT_EQ(mip.solution->values, std::vector<double>{4.0});
}

TEST(CbcSolver, SaysUnboundedOnlyOfWhatItKnows)
{
    const ModelOutcome lp = solveText("unb.lp", "Maximize\n obj: x + y\nSubject To\n c1: x - y <= 2\nEnd\n");
    EXPECT_EQ(lp.status, ModelStatus::Unbounded);
    EXPECT_FALSE(lp.dualBound);
    // With integers an unbounded relaxation leaves open whether the model has a solution.
    const ModelOutcome mip =
        solveText("unbmip.lp", "Maximize\n obj: x + y\nSubject To\n c1: x - y <= 2\nGenerals\n x y\nEnd\n");
    EXPECT_TRUE(mip.status == ModelStatus::InfeasibleOrUnbounded || mip.status == ModelStatus::Unbounded);
    EXPECT_FALSE(mip.dualBound);
}

// Sets, semi-continuous variables and indicators reach CBC as the engine's binary rows.
TEST(CbcSolver, SolvesSetsSemicontinuousAndIndicatorsExactly)
{
    const ModelOutcome sos = solveText(
        "sos.lp", "Maximize\n obj: x + 2 y\nSubject To\n c1: x + y <= 100\nBounds\n 0 <= x <= 4\n 0 <= y <= 3\n"
                  "SOS\n s1: S1:: x:1 y:2\nEnd\n");
    EXPECT_EQ(sos.status, ModelStatus::Optimal);
    EXPECT_EQ(sos.objective, 6.0);
    ASSERT_TRUE(sos.solution);
    EXPECT_EQ(sos.solution->names, (std::vector<std::string>{"x", "y"}));

    const ModelOutcome semi = solveText(
        "semi.lp", "Minimize\n obj: x\nSubject To\n c1: x >= 1\nBounds\n 2 <= x <= 10\nSemi-continuous\n x\nEnd\n");
    EXPECT_EQ(semi.status, ModelStatus::Optimal);
    EXPECT_EQ(semi.objective, 2.0);

    const ModelOutcome indicator = solveText(
        "ind.lp", "Maximize\n obj: x\nSubject To\n c1: x + 5 z <= 7\n ind: z = 0 -> x <= 1\nBounds\n x <= 10\n"
                  "Binaries\n z\nEnd\n");
    EXPECT_EQ(indicator.status, ModelStatus::Optimal);
    EXPECT_EQ(indicator.objective, 2.0);

    // No row bounds x alone; the sum of both does (2 x <= 2), which CBC's LP solver finds.
    const ModelOutcome relaxed = solveText("relaxed.lp", "Maximize\n obj: 2 x + z\nSubject To\n c1: x - y + w <= 0\n"
                                                         " c2: x + y - w <= 2\nBounds\n y free\n w free\n z <= 1.5\n"
                                                         "SOS\n s1: S1:: x:1 z:2\nEnd\n");
    EXPECT_EQ(relaxed.status, ModelStatus::Optimal);
    EXPECT_EQ(relaxed.objective, 2.0);
}

TEST(CbcSolver, ReadErrorsAreReadErrors)
{
    testing::internal::CaptureStderr();
    const ModelOutcome unbounded = solveText(
        "sosfree.lp", "Maximize\n obj: x\nSubject To\n c1: x - y <= 2\nBounds\n x free\nSOS\n s1: S1:: x:1 y:2\nEnd\n");
    const ModelOutcome broken = solveText("broken.lp", "Minimize\n obj: x +\nSubject To\n c1: x >= ; 5\nEnd\n");
    const ModelOutcome missing = solveFile("/nonexistent/model.lp");
    const std::string err = testing::internal::GetCapturedStderr();
    for (const ModelOutcome* outcome : {&unbounded, &broken, &missing}) {
        EXPECT_EQ(outcome->status, ModelStatus::ReadError);
        EXPECT_EQ(outcome->lines, ReportLines::NameStatus);
        EXPECT_FALSE(outcome->solveSeconds);
    }
    EXPECT_NE(err.find("sosfree.lp:8: SOS constraint over variable <x> without finite bounds"), std::string::npos)
        << err;
    EXPECT_NE(err.find("cannot open file </nonexistent/model.lp> for reading"), std::string::npos) << err;
}

TEST(CbcSolver, ReadsCompressedMps)
{
    TempDir dir;
    const std::string mps = "NAME m\nROWS\n N obj\n G c1\nCOLUMNS\n x obj 1 c1 1\nRHS\n rhs c1 3\nENDATA\n";
    dir.write("m.mps", mps);
    dir.write("m.mps.gz", gzipped(mps));
    dir.write("m.mps.bz2", bzipped(mps));
    for (const char* name : {"m.mps", "m.mps.gz", "m.mps.bz2"}) {
        SCOPED_TRACE(name);
        const ModelOutcome outcome = solveFile(dir.file(name));
        EXPECT_EQ(outcome.status, ModelStatus::Optimal);
        EXPECT_EQ(outcome.objective, 3.0);
    }
}

TEST(CbcSolver, TimeLimitKeepsTheBoundsAndGap)
{
    RunSettings settings = cbcSettings();
    settings.timeLimit = 1.0;
    const ModelOutcome outcome = solveText("hard.lp", hardModelWithConstant(), settings);
    EXPECT_EQ(outcome.status, ModelStatus::TimeLimit);
    ASSERT_TRUE(outcome.objective);
    ASSERT_TRUE(outcome.dualBound);
    EXPECT_GE(*outcome.dualBound, 100.0);
    EXPECT_LT(*outcome.dualBound, *outcome.objective);
    ASSERT_TRUE(outcome.gap);
    EXPECT_DOUBLE_EQ(*outcome.gap, (*outcome.objective - *outcome.dualBound) / *outcome.dualBound);
    // On a busy machine the limit may come before the search's first node.
    EXPECT_TRUE(outcome.nodes);
    EXPECT_LT(outcome.solveSeconds.value_or(99), 5.0);
    EXPECT_TRUE(outcome.solution);
}

TEST(CbcSolver, SettingsReachTheSolver)
{
    RunSettings settings = cbcSettings();
    settings.solverSettings.values = {{"maxNodes", "1"}};
    const ModelOutcome nodes = solveText("hard.lp", hardModel(), settings);
    EXPECT_EQ(nodes.status, ModelStatus::NodeLimit);
    EXPECT_STREQ(statusText(nodes.status), "PROCESSO INTERROMPIDO - LIMITE DE NOS");
    EXPECT_LE(nodes.nodes.value_or(99), 2);

    // From a file too, the values given one by one after it.
    TempDir dir;
    settings.solverSettings.values = {{"maxSolutions", "1"}};
    settings.solverSettings.file = dir.write("cbc.txt", "# first solution only\nmaxNodes 1000000\n");
    const ModelOutcome solutions = solveText("hard.lp", hardModel(), settings);
    EXPECT_EQ(solutions.status, ModelStatus::SolutionLimit);

    // CBC calls a search within its allowed gap finished; the bound apart says it stopped.
    settings.solverSettings = SolverSettings{{{"allowableGap", "50"}}, ""};
    const ModelOutcome gap = solveText("hard.lp", hardModelWithConstant(), settings);
    EXPECT_EQ(gap.status, ModelStatus::GapLimit);
    EXPECT_STREQ(statusText(gap.status), "PROCESSO INTERROMPIDO - LIMITE DE GAP");
    ASSERT_TRUE(gap.gap);
    EXPECT_GT(*gap.gap, 0.0);
}

TEST(CbcSolver, LogOnlyWithTheLogOn)
{
    RunSettings settings = cbcSettings();
    for (const bool log : {false, true}) {
        settings.log = log;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const ModelOutcome outcome = solveFile(examplesFolder() + "/mochila.lp", settings);
        EXPECT_EQ(outcome.objective, 42.0);
        const std::string out = testing::internal::GetCapturedStdout();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err, "");
        if (log)
            EXPECT_NE(out.find("Welcome to the CBC MILP Solver"), std::string::npos) << out;
        else
            EXPECT_EQ(out, "");
    }
}

}  // namespace
