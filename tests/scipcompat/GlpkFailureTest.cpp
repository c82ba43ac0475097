// A fatal GLPK error (GLPK would abort the process) ends only the solve it happens in.
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "backends/Functions.h"
#include "backends/scipcompat/TestHooks.h"
#include "report/ResultRows.h"
#include "shell/Settings.h"

namespace {

const char* const kSmallMip = "Maximize\n obj: x + y\nSubject To\n c1: 2 x + 2 y <= 7\nGenerals\n x y\nEnd\n";

TEST(GlpkFailure, EndsTheSolveWithAnErrorCodeAndLosesOnlyGlpkObjects)
{
    TempDir dir;
    const std::string path = dir.write("small.lp", kSmallMip);
    ScipInstance failing;
    ScipInstance bystander;  // its problem lives in the same GLPK environment
    ASSERT_EQ(SCIPsetMessagehdlr(failing.get(), nullptr), SCIP_OKAY);
    ASSERT_EQ(SCIPsetMessagehdlr(bystander.get(), nullptr), SCIP_OKAY);
    ASSERT_EQ(SCIPreadProb(failing.get(), path.c_str(), nullptr), SCIP_OKAY);
    ASSERT_EQ(SCIPreadProb(bystander.get(), path.c_str(), nullptr), SCIP_OKAY);

    injectGlpkFailureIntoNextSolve();
    OutputCapture capture;
    EXPECT_EQ(SCIPsolve(failing.get()), SCIP_LPERROR);
    EXPECT_EQ(SCIPgetStatus(failing.get()), SCIP_STATUS_UNKNOWN);
    EXPECT_EQ(SCIPgetPrimalbound(failing.get()), 1e20 * -1);  // maximising, no solution
    // GLPK's own account of the failure is part of the message.
    const std::regex message(R"(\[Solve\.cpp:[0-9]+\] ERROR: GLPK failed while solving: glp_add_rows: nrs = -1; invalid number of rows Error detected in file .*\n)");
    EXPECT_TRUE(std::regex_match(capture.err(), message)) << capture.err();
    EXPECT_EQ(capture.out(), "");

    // Both problems went with GLPK's environment; neither instance may touch them.
    OutputCapture later;
    EXPECT_EQ(SCIPsolve(failing.get()), SCIP_INVALIDCALL);
    EXPECT_EQ(SCIPsolve(bystander.get()), SCIP_INVALIDCALL);
    EXPECT_NE(later.err().find("the problem was lost when GLPK failed; read it again\n"), std::string::npos);

    // Reading again brings an instance back.
    ASSERT_EQ(SCIPreadProb(bystander.get(), path.c_str(), nullptr), SCIP_OKAY);
    ASSERT_EQ(SCIPsolve(bystander.get()), SCIP_OKAY);
    EXPECT_EQ(SCIPgetStatus(bystander.get()), SCIP_STATUS_OPTIMAL);
    EXPECT_EQ(SCIPgetPrimalbound(bystander.get()), 3.0);
}

TEST(GlpkFailure, TheBatchGoesOnWithTheNextModel)
{
    TempDir dir;
    const std::string first = dir.write("first.lp", kSmallMip);
    const std::string second = dir.write("second.lp", kSmallMip);
    g_verbose = "n";
    g_timeLimit = 0;
    g_resultRows.clear();

    injectGlpkFailureIntoNextSolve();
    OutputCapture capture;
    EXPECT_TRUE(solveWithScip(first));
    EXPECT_TRUE(solveWithScip(second));
    const std::string err = capture.err();
    EXPECT_NE(err.find("ERROR: GLPK failed while solving: "), std::string::npos) << err;
    EXPECT_TRUE(std::regex_search(err, std::regex(R"(\[Functions\.cpp:[0-9]+\] ERROR: Error <-6> in function call\n)"))) << err;
    ASSERT_EQ(g_resultRows.size(), 2u);
    EXPECT_NE(g_resultRows[0].find("first.lp;"), std::string::npos);
    EXPECT_NE(g_resultRows[1].find(";SOL OTIMA;3,000000;"), std::string::npos) << g_resultRows[1];
    g_resultRows.clear();
    g_verbose = "s";
}

}  // namespace
