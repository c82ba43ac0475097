// Statuses and primal bounds as SCIP 9 reports them; these hold for SCIP itself too.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"

namespace {

constexpr double kInfinity = 1e20;

struct Case {
    const char* name;
    const char* model;
    SCIP_STATUS status;
    double primalBound;
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

class SolveStatus : public testing::TestWithParam<Case> {};

TEST_P(SolveStatus, MatchesScip)
{
    const Case& c = GetParam();
    TempDir dir;
    const std::string path = dir.write(std::string(c.name) + ".lp", c.model);
    ScipInstance scip;
    EXPECT_EQ(readAndSolve(scip.get(), path), c.status);
    EXPECT_NEAR(SCIPgetPrimalbound(scip.get()), c.primalBound, 1e-9);
}

const std::vector<Case> kLpCases = {
    {"lp_min", "Minimize\n obj: 2 x + 3 y - z\nSubject To\n c1: x + y + z >= 4\n c2: x - y <= 2\n c3: z <= 3\nEnd\n",
     SCIP_STATUS_OPTIMAL, -1.0},
    {"lp_max_constant", "Maximize\n obj: x + y - 3\nSubject To\n c1: x + 2 y <= 4\n c2: 3 x + y <= 6\nEnd\n",
     SCIP_STATUS_OPTIMAL, -0.2},
    {"lp_constant_only", "Minimize\n obj: 7\nSubject To\n c1: x + y >= 1\nEnd\n", SCIP_STATUS_OPTIMAL, 7.0},
    {"lp_empty_objective", "Maximize\n obj:\nSubject To\n c1: x + y >= 1\nEnd\n", SCIP_STATUS_OPTIMAL, 0.0},
    {"lp_negative_zero", "Maximize\n obj: - x\nSubject To\n c1: x >= 0\nEnd\n", SCIP_STATUS_OPTIMAL, 0.0},
    {"lp_fixed_variable", "Minimize\n obj: x + y\nSubject To\n c1: x + y >= 2\nBounds\n x = 3\nEnd\n",
     SCIP_STATUS_OPTIMAL, 3.0},
    {"lp_infeasible_max", "Maximize\n obj: x\nSubject To\n c1: x + y >= 5\n c2: x + y <= 3\nEnd\n",
     SCIP_STATUS_INFEASIBLE, -kInfinity},
    {"lp_infeasible_min", "Minimize\n obj: x\nSubject To\n c1: x + y >= 5\n c2: x + y <= 3\nEnd\n",
     SCIP_STATUS_INFEASIBLE, kInfinity},
    {"lp_crossing_bounds", "Minimize\n obj: x\nSubject To\n c1: x + y >= 1\nBounds\n 3 <= x <= 2\nEnd\n",
     SCIP_STATUS_INFEASIBLE, kInfinity},
    {"lp_negative_upper_bound", "Minimize\n obj: x\nSubject To\n c1: x + y >= -10\nBounds\n x <= -5\nEnd\n",
     SCIP_STATUS_INFEASIBLE, kInfinity},
    {"lp_unbounded_max", "Maximize\n obj: x - y\nSubject To\n c1: x - 2 y <= 3\nEnd\n", SCIP_STATUS_UNBOUNDED,
     kInfinity},
    {"lp_unbounded_min", "Minimize\n obj: x + y\nSubject To\n c1: x - y = 0\nBounds\n x free\n y free\nEnd\n",
     SCIP_STATUS_UNBOUNDED, -kInfinity},
    {"lp_huge_bound_is_infinite", "Maximize\n obj: x\nSubject To\n c1: x - y <= 3\nBounds\n x <= 1e30\nEnd\n",
     SCIP_STATUS_UNBOUNDED, kInfinity},
    {"lp_huge_rhs_is_infinite", "Maximize\n obj: x\nSubject To\n c1: x + y <= 1e30\n c2: x <= 4\nEnd\n",
     SCIP_STATUS_OPTIMAL, 4.0},
};

const std::vector<Case> kMipCases = {
    {"mip_max_constant",
     "Maximize\n obj: 5 x + 4 y + 3 z + 2\nSubject To\n c1: 2 x + 3 y + z <= 5\n c2: 4 x + y + 2 z <= 11\n"
     " c3: 3 x + 4 y + 2 z <= 8\nGenerals\n x y z\nEnd\n",
     SCIP_STATUS_OPTIMAL, 15.0},
    {"mip_binaries", "Minimize\n obj: - a - 2 b - 3 c\nSubject To\n c1: a + b + c <= 2\n c2: a + c <= 1\nBinaries\n a b c\nEnd\n",
     SCIP_STATUS_OPTIMAL, -5.0},
    {"mip_binary_with_bound", "Minimize\n obj: y\nSubject To\n c1: y + z >= 0\nBounds\n y >= 1\nBinaries\n y z\nEnd\n",
     SCIP_STATUS_OPTIMAL, 1.0},
    {"mip_fractional_bounds",
     "Maximize\n obj: x + y\nSubject To\n c1: x + y <= 10\nBounds\n 0.5 <= x <= 2.5\n y <= 3.7\nGenerals\n x y\nEnd\n",
     SCIP_STATUS_OPTIMAL, 5.0},
    {"mip_no_integer_in_bounds", "Maximize\n obj: x\nSubject To\n c1: x <= 10\nBounds\n 0.2 <= x <= 0.8\nGenerals\n x\nEnd\n",
     SCIP_STATUS_INFEASIBLE, -kInfinity},
    {"mip_infeasible", "Minimize\n obj: x\nSubject To\n c1: 2 x = 3\nGenerals\n x\nEnd\n", SCIP_STATUS_INFEASIBLE,
     kInfinity},
    // The relaxation is unbounded; integer solutions exist (x = y), so the MIP is unbounded.
    {"mip_unbounded_relaxation_feasible", "Maximize\n obj: x + y\nSubject To\n c1: 2 x - 2 y = 0\nGenerals\n x y\nEnd\n",
     SCIP_STATUS_UNBOUNDED, kInfinity},
    {"mip_unbounded_relaxation_feasible_min",
     "Minimize\n obj: x - 3 y + 0.5\nSubject To\n c1: x - y >= 0.5\nBounds\n x free\nGenerals\n x\nEnd\n",
     SCIP_STATUS_UNBOUNDED, -kInfinity},
    // The relaxation is unbounded in y, but no binary x satisfies 2 x = 1. The engine proves
    // it infeasible; SCIP's presolve stops at "infeasible or unbounded".
    {"mip_unbounded_relaxation_infeasible",
     "Maximize\n obj: y\nSubject To\n c1: 2 x = 1\n c2: y - x >= 0\nBinaries\n x\nEnd\n",
#ifdef LUMBRIX_SCIP_COMPAT
     SCIP_STATUS_INFEASIBLE,
#else
     SCIP_STATUS_INFORUNBD,
#endif
     -kInfinity},
};

std::string caseName(const testing::TestParamInfo<Case>& param)
{
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(Lp, SolveStatus, testing::ValuesIn(kLpCases), caseName);
INSTANTIATE_TEST_SUITE_P(Mip, SolveStatus, testing::ValuesIn(kMipCases), caseName);

TEST(SolveStatus, EmptyProblemIsOptimalWithObjectiveZero)
{
    ScipInstance scip;
    EXPECT_EQ(SCIPgetSolvingTime(scip.get()), 0.0);
    ASSERT_EQ(SCIPsetMessagehdlr(scip.get(), nullptr), SCIP_OKAY);
    ASSERT_EQ(SCIPsolve(scip.get()), SCIP_OKAY);
    EXPECT_EQ(SCIPgetStatus(scip.get()), SCIP_STATUS_OPTIMAL);
    EXPECT_EQ(SCIPgetPrimalbound(scip.get()), 0.0);
}

#ifdef LUMBRIX_SCIP_COMPAT
// SCIP itself does not check this in an optimised build: it crashes.
TEST(SolveStatus, SolvingWithoutAProblemIsAnInvalidCall)
{
    SCIP* scip = nullptr;
    ASSERT_EQ(SCIPcreate(&scip), SCIP_OKAY);
    OutputCapture capture;
    EXPECT_EQ(SCIPsolve(scip), SCIP_INVALIDCALL);
    EXPECT_EQ(SCIPgetStatus(scip), SCIP_STATUS_UNKNOWN);
    EXPECT_EQ(SCIPfree(&scip), SCIP_OKAY);
    EXPECT_EQ(scip, nullptr);
    EXPECT_NE(capture.err().find("cannot call method <SCIPsolve> in initialization stage\n"), std::string::npos)
        << capture.err();
}
#endif

TEST(SolveStatus, ASecondModelInTheSameInstanceReplacesTheFirst)
{
    TempDir dir;
    const std::string first = dir.write("first.lp", "Minimize\n obj: x\nSubject To\n c1: x >= 2\nEnd\n");
    const std::string second = dir.write("second.lp", "Maximize\n obj: x\nSubject To\n c1: x + y >= 5\n c2: x + y <= 3\nEnd\n");
    ScipInstance scip;
    EXPECT_EQ(readAndSolve(scip.get(), first), SCIP_STATUS_OPTIMAL);
    EXPECT_EQ(SCIPgetPrimalbound(scip.get()), 2.0);
    EXPECT_EQ(readAndSolve(scip.get(), second), SCIP_STATUS_INFEASIBLE);
    EXPECT_EQ(SCIPgetPrimalbound(scip.get()), -kInfinity);
}

}  // namespace
