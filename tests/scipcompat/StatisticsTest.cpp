// The statistics queries, the version and the memory limit, as the engine answers them.
#include <algorithm>
#include <cmath>
#include <string>

#include <gtest/gtest.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "EngineTestSupport.h"
#include "engines/scipcompat/SearchOptions.h"

namespace {

const char* const kSmallLp = "Maximize\n obj: 3 x + 2 y\nSubject To\n c1: x + y <= 4\nBounds\n x <= 3\nEnd\n";

TEST(CompatStatistics, ASolvedModelHasNoGap)
{
    TempDir dir;
    const std::string lp = dir.write("small.lp", kSmallLp);
    const std::string mip = dir.write("mip.lp", "Minimize\n obj: x + y\nSubject To\n c1: 2 x + 2 y >= 3\nGenerals\n x y\nEnd\n");
    ScipInstance scip;
    ASSERT_EQ(readAndSolve(scip.get(), lp), SCIP_STATUS_OPTIMAL);
    EXPECT_EQ(SCIPgetDualbound(scip.get()), 11.0);
    EXPECT_EQ(SCIPgetGap(scip.get()), 0.0);
    EXPECT_EQ(SCIPgetNNodes(scip.get()), 1);  // the root, as SCIP counts a solved LP
    EXPECT_GE(SCIPgetNLPIterations(scip.get()), 1);

    ScipInstance integer;
    ASSERT_EQ(readAndSolve(integer.get(), mip), SCIP_STATUS_OPTIMAL);
    EXPECT_EQ(SCIPgetPrimalbound(integer.get()), 2.0);
    EXPECT_EQ(SCIPgetDualbound(integer.get()), 2.0);
    EXPECT_EQ(SCIPgetGap(integer.get()), 0.0);
    EXPECT_GE(SCIPgetNNodes(integer.get()), 1);
}

TEST(CompatStatistics, ProvenStatusesCloseTheGapOpenOnesDoNot)
{
    TempDir dir;
    const std::string infeasible = dir.write("inf.lp", "Minimize\n obj: x\nSubject To\n c1: x >= 2\n c2: x <= 1\nEnd\n");
    const std::string unbounded = dir.write("unb.lp", "Maximize\n obj: x\nSubject To\n c1: x >= 2\nEnd\n");
    const std::string parity = dir.write("parity.lp", "Maximize\n obj: x + y\nSubject To\n c1: 2 x - 2 y = 1\nGenerals\n x y\nEnd\n");
    ScipInstance a, b, c;
    ASSERT_EQ(readAndSolve(a.get(), infeasible), SCIP_STATUS_INFEASIBLE);
    EXPECT_EQ(SCIPgetDualbound(a.get()), 1e20);
    EXPECT_EQ(SCIPgetGap(a.get()), 0.0);
    ASSERT_EQ(readAndSolve(b.get(), unbounded), SCIP_STATUS_UNBOUNDED);
    EXPECT_EQ(SCIPgetDualbound(b.get()), 1e20);
    EXPECT_EQ(SCIPgetGap(b.get()), 0.0);
    HangGuard guard(120);
    const SCIP_STATUS status = readAndSolve(c.get(), parity);
    if (status == SCIP_STATUS_INFORUNBD)
        EXPECT_EQ(SCIPgetGap(c.get()), 1e20);
    else
        EXPECT_EQ(status, SCIP_STATUS_INFEASIBLE);  // once presolving proves it
}

// Stopped by the time limit, a MIP keeps the best bound branch and bound proved; the gap
// follows SCIP's formula from the two bounds.
TEST(CompatStatistics, AStoppedSearchKeepsItsBound)
{
    TempDir dir;
    const std::string path = dir.write("hard.lp", hardModel());
    ScipInstance scip;
    ASSERT_EQ(SCIPsetRealParam(scip.get(), "limits/time", 1.0), SCIP_OKAY);
    HangGuard guard(120);
    ASSERT_EQ(readAndSolve(scip.get(), path), SCIP_STATUS_TIMELIMIT);
    const double primal = SCIPgetPrimalbound(scip.get());
    const double dual = SCIPgetDualbound(scip.get());
    // The relaxation's bound of this model is 0, and the incumbent no better than a search can find.
    EXPECT_GE(dual, 0.0);
    EXPECT_LE(dual, primal);
    EXPECT_GE(SCIPgetNNodes(scip.get()), 1);
    EXPECT_GE(SCIPgetNLPIterations(scip.get()), 1);
    if (dual == 0.0 || primal >= 1e20)
        EXPECT_EQ(SCIPgetGap(scip.get()), 1e20);  // SCIP's gap of a zero or infinite bound
    else
        EXPECT_DOUBLE_EQ(SCIPgetGap(scip.get()), (primal - dual) / dual);
}

// Whatever cuts, heuristics, rules and presolver the search uses, the bound reported is the
// best over the open nodes of the model's own objective (its constant and sense included),
// and the objective itself once optimality is proved.
TEST(CompatStatistics, TheBoundIsTheSearchsUnderEveryOption)
{
    TempDir dir;
    // x = y = 2 gives 5 * 2 + 4 * 2 + 3 = 21; x = 1, y = 3 gives 20; x = 0, y = 4 gives 19.
    const std::string small = dir.write("max.lp", "Maximize\n obj: 5 x + 4 y + 3\nSubject To\n c1: 2 x + 3 y <= 12.5\n"
                                                  " c2: 4 x + y <= 10.3\nGenerals\n x y\nEnd\n");
    // The relaxation holds x + y = 1.6; no integer point does.
    const std::string gap = dir.write("gap.lp", "Minimize\n obj: x\nSubject To\n c1: x + y >= 1.5\n c2: x + y <= 1.7\n"
                                                "Generals\n x y\nEnd\n");
    // The market split as 100 minus its slacks, maximised: the bound of its open nodes stays
    // near 100 for long.
    std::string maximised = hardModel();
    const std::size_t objectiveEnd = maximised.find('\n', maximised.find("obj:"));
    std::string objective = maximised.substr(0, objectiveEnd);
    for (std::size_t at = 0; (at = objective.find(" + ", at)) != std::string::npos;)
        objective.replace(at, 3, " - ");
    objective.replace(objective.find("Minimize"), 8, "Maximize");
    const std::string hard = dir.write("hard.lp", objective + " + 100" + maximised.substr(objectiveEnd));
    SearchOptions everything = chosenSearchOptions();
    everything.gomoryCuts = everything.mirCuts = everything.coverCuts = everything.cliqueCuts = true;
    everything.cutsAtRootOnly = everything.feasibilityPump = everything.presolve = true;
    everything.branching = GLP_BR_PCH;
    for (const SearchOptions& options : {glpkDefaultSearchOptions(), chosenSearchOptions(), everything}) {
        useSearchOptions(options);
        ScipInstance solved, infeasible, stopped;
        ASSERT_EQ(readAndSolve(solved.get(), small), SCIP_STATUS_OPTIMAL);
        EXPECT_EQ(SCIPgetPrimalbound(solved.get()), 21.0);
        EXPECT_EQ(SCIPgetDualbound(solved.get()), 21.0);
        EXPECT_EQ(readAndSolve(infeasible.get(), gap), SCIP_STATUS_INFEASIBLE);
        ASSERT_EQ(SCIPsetRealParam(stopped.get(), "limits/time", 1.0), SCIP_OKAY);
        HangGuard guard(120);
        ASSERT_EQ(readAndSolve(stopped.get(), hard), SCIP_STATUS_TIMELIMIT);
        const double dual = SCIPgetDualbound(stopped.get());
        EXPECT_LE(dual, 100.0);  // the relaxation's bound
        EXPECT_GT(dual, 99.0);
        EXPECT_GE(dual, SCIPgetPrimalbound(stopped.get()));
    }
    useSearchOptions(chosenSearchOptions());
}

TEST(CompatStatistics, AnswersAsSCIP922)
{
    static_assert(sizeof(SCIP_Longint) == 8);
    EXPECT_EQ(SCIPmajorVersion(), 9);
    EXPECT_EQ(SCIPminorVersion(), 2);
    EXPECT_EQ(SCIPtechVersion(), 2);
    EXPECT_EQ(SCIPversion(), 9.02);
    ScipInstance scip;
    EXPECT_EQ(SCIPinfinity(scip.get()), 1e20);
    EXPECT_EQ(SCIPgetNNodes(scip.get()), 0);
}

TEST(CompatMemoryLimit, TakesScipsRange)
{
    ScipInstance scip;
    EXPECT_EQ(SCIPsetRealParam(scip.get(), "limits/memory", 0.0), SCIP_OKAY);
    EXPECT_EQ(SCIPsetRealParam(scip.get(), "limits/memory", 8796093022207.0), SCIP_OKAY);
    OutputCapture capture;
    EXPECT_EQ(SCIPsetRealParam(scip.get(), "limits/memory", -1.0), SCIP_PARAMETERWRONGVAL);
    EXPECT_EQ(SCIPsetRealParam(scip.get(), "limits/memory", 1e13), SCIP_PARAMETERWRONGVAL);
    EXPECT_NE(capture.err().find("] ERROR: Invalid value <-1> for real parameter <limits/memory>. Must be in range "
                                 "[0,8796093022207].\n"),
              std::string::npos)
        << capture.err();
}

// GLPK loses the block it was enlarging when its limit stops a reallocation (it has taken
// the block off its list already); the leak checker is told to overlook that one solve.
SCIP_RETCODE solveAtTheLimit(SCIP* scip)
{
#if defined(__SANITIZE_ADDRESS__)
    __lsan_disable();
#endif
    const SCIP_RETCODE code = SCIPsolve(scip);
#if defined(__SANITIZE_ADDRESS__)
    __lsan_enable();
#endif
    return code;
}

// GLPK's allocator stops at the limit. Without a solution to report the solve fails for
// want of memory; with one, it ends as SCIP's does at its limit, with that solution's value.
TEST(CompatMemoryLimit, StopsTheSolveWithItsStatus)
{
    TempDir dir;
    const std::string hard = dir.write("hard.lp", hardLpModel());
    const std::string small = dir.write("small.lp", kSmallLp);
    const std::string search = dir.write("search.lp", hardModel());
    ScipInstance scip;
    {
        OutputCapture reading;
        ASSERT_EQ(SCIPreadProb(scip.get(), hard.c_str(), nullptr), SCIP_OKAY);
    }
    ASSERT_EQ(SCIPsetRealParam(scip.get(), "limits/memory", 12.0), SCIP_OKAY);  // holds the problem, not its LU
    HangGuard guard(120);
    {
        OutputCapture capture;
        ASSERT_EQ(solveAtTheLimit(scip.get()), SCIP_NOMEMORY);
        EXPECT_EQ(afterErrorHeader(capture.err(), "Solve.cpp"), "GLPK ran out of memory while solving\n");
        EXPECT_EQ(SCIPgetBestSol(scip.get()), nullptr);
    }
    ScipInstance searched;
    {
        OutputCapture reading;
        ASSERT_EQ(SCIPreadProb(searched.get(), search.c_str(), nullptr), SCIP_OKAY);
    }
    ASSERT_EQ(SCIPsetRealParam(searched.get(), "limits/memory", 2.0), SCIP_OKAY);
    {
        OutputCapture capture;
        ASSERT_EQ(solveAtTheLimit(searched.get()), SCIP_OKAY) << capture.err();
        EXPECT_EQ(SCIPgetStatus(searched.get()), SCIP_STATUS_MEMLIMIT);
        const double primal = SCIPgetPrimalbound(searched.get());
        EXPECT_LT(primal, 1e20);  // the incumbent's value, though GLPK took its values along
        EXPECT_GE(primal, SCIPgetDualbound(searched.get()));
        EXPECT_NE(capture.out().find("\nSCIP Status        : solving was interrupted [memory limit reached]\n"),
                  std::string::npos)
            << capture.out();
        EXPECT_EQ(capture.err(), "");
    }
    // The limit held for that solve only: GLPK reads and solves the next model as usual.
    ScipInstance next;
    EXPECT_EQ(readAndSolve(next.get(), small), SCIP_STATUS_OPTIMAL);
    for (const double limit : {0.0, 1.0}) {  // below what GLPK holds already
        ScipInstance none;
        {
            OutputCapture reading;
            ASSERT_EQ(SCIPreadProb(none.get(), hard.c_str(), nullptr), SCIP_OKAY);
        }
        ASSERT_EQ(SCIPsetRealParam(none.get(), "limits/memory", limit), SCIP_OKAY);
        ASSERT_EQ(SCIPsetMessagehdlr(none.get(), nullptr), SCIP_OKAY);
        ASSERT_EQ(SCIPsolve(none.get()), SCIP_OKAY);
        EXPECT_EQ(SCIPgetStatus(none.get()), SCIP_STATUS_MEMLIMIT) << limit;
    }
}

}  // namespace
