// A fatal GLPK error (GLPK would abort the process) ends only the solve it happens in.
#include <string>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "backends/scip/ScipBackend.h"
#include "engines/scipcompat/TestHooks.h"

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

    injectGlpkFailure(GlpkFailurePoint::Solve);
    OutputCapture capture;
    EXPECT_EQ(SCIPsolve(failing.get()), SCIP_LPERROR);
    EXPECT_EQ(SCIPgetStatus(failing.get()), SCIP_STATUS_UNKNOWN);
    EXPECT_EQ(SCIPgetPrimalbound(failing.get()), -1e20);  // maximising, no solution
    // GLPK's own account of the failure is part of the message.
    const std::string reason = afterErrorHeader(capture.err(), "Solve.cpp");
    EXPECT_EQ(reason.rfind("GLPK failed while solving: glp_add_rows: nrs = -1; invalid number of rows Error detected in file ", 0), 0u)
        << capture.err();
    EXPECT_EQ(reason.find('\n'), reason.size() - 1);
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

TEST(GlpkFailure, EndsAReadWithAReadErrorAndLosesThePreviousProblem)
{
    TempDir dir;
    const std::string path = dir.write("small.lp", kSmallMip);
    ScipInstance scip;
    ASSERT_EQ(SCIPsetMessagehdlr(scip.get(), nullptr), SCIP_OKAY);
    ASSERT_EQ(SCIPreadProb(scip.get(), path.c_str(), nullptr), SCIP_OKAY);

    injectGlpkFailure(GlpkFailurePoint::Read);
    {
        OutputCapture capture;
        EXPECT_EQ(SCIPreadProb(scip.get(), path.c_str(), nullptr), SCIP_READERROR);
        const std::string reason = afterErrorHeader(capture.err(), "ReadProblem.cpp");
        const std::string expected = "GLPK failed while reading file <" + path
            + ">: glp_add_rows: nrs = -1; invalid number of rows Error detected in file ";
        EXPECT_EQ(reason.rfind(expected, 0), 0u) << capture.err();
        EXPECT_EQ(reason.find('\n'), reason.size() - 1);
        EXPECT_EQ(SCIPsolve(scip.get()), SCIP_INVALIDCALL);
    }
    ASSERT_EQ(SCIPreadProb(scip.get(), path.c_str(), nullptr), SCIP_OKAY);
    ASSERT_EQ(SCIPsolve(scip.get()), SCIP_OKAY);
    EXPECT_EQ(SCIPgetPrimalbound(scip.get()), 3.0);
}

TEST(GlpkFailure, TheBatchGoesOnWithTheNextModel)
{
    TempDir dir;
    const std::string first = dir.write("first.lp", kSmallMip);
    const std::string second = dir.write("second.lp", kSmallMip);
    RunSettings quiet;
    quiet.log = false;

    injectGlpkFailure(GlpkFailurePoint::Solve);
    OutputCapture capture;
    SolveNotes notes;
    const ModelOutcome failed = solveWithScip(first, quiet, notes);
    const ModelOutcome solved = solveWithScip(second, quiet, notes);
    const std::string err = capture.err();
    EXPECT_NE(err.find("ERROR: GLPK failed while solving: "), std::string::npos) << err;
    const std::size_t backEnd = err.find("[ScipBackend.cpp:");
    ASSERT_NE(backEnd, std::string::npos) << err;
    EXPECT_EQ(afterErrorHeader(err.substr(backEnd), "ScipBackend.cpp").rfind("Error <-6> in function call\n", 0), 0u) << err;
    EXPECT_EQ(failed.name, "first.lp");
    EXPECT_EQ(failed.status, ModelStatus::SolverError);
    EXPECT_EQ(solved.status, ModelStatus::Optimal);
    EXPECT_EQ(solved.objective, 3.0);
}

}  // namespace
