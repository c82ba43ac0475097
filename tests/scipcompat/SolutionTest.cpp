// The best solution through SCIP's calls: the model's own variables in the file's order, with
// the values of the solve, never the engine's binary columns; none without a solution.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"

namespace {

struct Values {
    std::vector<std::string> names;
    std::vector<double> values;
};

Values bestSolution(SCIP* scip)
{
    Values result;
    SCIP_SOL* best = SCIPgetBestSol(scip);
    if (best == nullptr)
        return result;
    const int count = SCIPgetNOrigVars(scip);
    SCIP_VAR** variables = SCIPgetOrigVars(scip);
    result.values.resize(static_cast<std::size_t>(count));
    EXPECT_EQ(SCIPgetSolVals(scip, best, count, variables, result.values.data()), SCIP_OKAY);
    for (int i = 0; i < count; ++i) {
        result.names.emplace_back(SCIPvarGetName(variables[i]));
        EXPECT_EQ(SCIPgetSolVal(scip, best, variables[i]), result.values[static_cast<std::size_t>(i)]);
    }
    return result;
}

TEST(BestSolution, AnLpAMipAndSetsGiveTheModelsOwnVariables)
{
    TempDir dir;
    ScipInstance lp;
    ASSERT_EQ(readAndSolve(lp.get(), dir.write("lp.lp", "Minimize\n obj: x + y\nSubject To\n c1: x + y >= 3\n"
                                                        " c2: x - y = 1\nEnd\n")),
              SCIP_STATUS_OPTIMAL);
    Values values = bestSolution(lp.get());
    EXPECT_EQ(values.names, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(values.values, (std::vector<double>{2, 1}));

    ScipInstance mip;
    ASSERT_EQ(readAndSolve(mip.get(), dir.write("mip.lp", "Maximize\n obj: 3 a + 2 b\nSubject To\n"
                                                          " c: 2 a + 2 b <= 7\nGenerals\n a b\nEnd\n")),
              SCIP_STATUS_OPTIMAL);
    values = bestSolution(mip.get());
    EXPECT_EQ(values.names, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(values.values, (std::vector<double>{3, 0}));

    // The engine models the set with binary columns of its own; they are no variables here.
    ScipInstance sos;
    ASSERT_EQ(readAndSolve(sos.get(), dir.write("sos.lp", "Maximize\n obj: x1 + 2 x2 + 3 x3 + x4\nSubject To\n"
                                                          " c1: x1 + x2 + x3 + x4 <= 10\nBounds\n x1 <= 2\n x2 <= 2\n"
                                                          " x3 <= 2\n x4 <= 2\nSOS\n S2:: x1:2 x2:1 x3:3 x4:4\nEnd\n")),
              SCIP_STATUS_OPTIMAL);
    values = bestSolution(sos.get());
    EXPECT_EQ(values.names, (std::vector<std::string>{"x1", "x2", "x3", "x4"}));
    ASSERT_EQ(values.values.size(), 4u);
    EXPECT_EQ(values.values[0] + 2 * values.values[1] + 3 * values.values[2] + values.values[3], 8);
}

TEST(BestSolution, NoneWithoutASolution)
{
    TempDir dir;
    ScipInstance scip;
    EXPECT_EQ(SCIPgetBestSol(scip.get()), nullptr);  // nothing solved yet
    ASSERT_EQ(readAndSolve(scip.get(), dir.write("none.lp", "Minimize\n obj: x\nSubject To\n c1: x >= 5\n"
                                                            " c2: x <= 3\nEnd\n")),
              SCIP_STATUS_INFEASIBLE);
    EXPECT_EQ(SCIPgetBestSol(scip.get()), nullptr);
    EXPECT_EQ(SCIPgetNOrigVars(scip.get()), 1);

    // The empty problem is solved by the empty solution.
    ScipInstance empty;
    ASSERT_EQ(SCIPsetMessagehdlr(empty.get(), nullptr), SCIP_OKAY);
    ASSERT_EQ(SCIPsolve(empty.get()), SCIP_OKAY);
    EXPECT_NE(SCIPgetBestSol(empty.get()), nullptr);
    EXPECT_EQ(SCIPgetNOrigVars(empty.get()), 0);
}

}  // namespace
