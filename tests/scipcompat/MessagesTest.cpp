// What SCIP 9 writes, and where, when the program reads, solves and reports errors; these
// hold for SCIP itself too.
#include <string>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"

namespace {

const char* const kSmallLp = "Maximize\n obj: 3 x + 2 y\nSubject To\n c1: x + y <= 4\nBounds\n x <= 3\nEnd\n";
const char* const kSmallMip = "Maximize\n obj: x + y\nSubject To\n c1: 2 x + 2 y <= 7\nGenerals\n x y\nEnd\n";

TEST(ErrorChannel, WritesSciPsHeaderAndTextToStandardError)
{
    OutputCapture capture;
    SCIPmessagePrintErrorHeader("ScipBackend.cpp", 62);
    SCIPmessagePrintError("Error <%d> in function call\n", -2);
    EXPECT_EQ(capture.err(), "[ScipBackend.cpp:62] ERROR: Error <-2> in function call\n");
    EXPECT_EQ(capture.out(), "");
}

TEST(Reading, AGoodFileShowsOnlyTheProblemSizeAndOnlyWithALog)
{
    TempDir dir;
    const std::string path = dir.write("small.lp", kSmallLp);
    ScipInstance withLog;
    ScipInstance silenced;
    ASSERT_EQ(SCIPsetMessagehdlr(silenced.get(), nullptr), SCIP_OKAY);
    OutputCapture capture;
    EXPECT_EQ(SCIPreadProb(withLog.get(), path.c_str(), nullptr), SCIP_OKAY);
    const std::string afterFirst = capture.out();
    OutputCapture second;
    EXPECT_EQ(SCIPreadProb(silenced.get(), path.c_str(), nullptr), SCIP_OKAY);
    EXPECT_EQ(afterFirst, "original problem has 2 variables (0 bin, 0 int, 0 impl, 2 cont) and 1 constraints\n");
    EXPECT_EQ(second.out(), "");
    EXPECT_EQ(second.err(), "");
    EXPECT_EQ(capture.err(), "");
}

TEST(Reading, FailuresReturnSciPsCodes)
{
    TempDir dir;
    const std::string unknown = dir.write("model.xyz", kSmallLp);
    const std::string noExtension = dir.write("help", kSmallLp);
    const std::string broken = dir.write("broken.lp", "Maximize\n obj: 3 x + 2 y\nSubject To\n c1: x + y 4\nEnd\n");
    const std::string missing = dir.file("missing.lp");
    ScipInstance scip;
    OutputCapture capture;
    EXPECT_EQ(SCIPreadProb(scip.get(), unknown.c_str(), nullptr), SCIP_PLUGINNOTFOUND);
    EXPECT_EQ(SCIPreadProb(scip.get(), noExtension.c_str(), nullptr), SCIP_PLUGINNOTFOUND);
    EXPECT_EQ(SCIPreadProb(scip.get(), missing.c_str(), nullptr), SCIP_NOFILE);
    EXPECT_EQ(SCIPreadProb(scip.get(), broken.c_str(), nullptr), SCIP_READERROR);
    EXPECT_NE(capture.err().find("] ERROR: cannot open file <" + missing + "> for reading\n" + missing
                                 + ": No such file or directory\n"),
              std::string::npos)
        << capture.err();
}

TEST(Reading, AnExplicitExtensionChoosesTheReader)
{
    TempDir dir;
    const std::string path = dir.write("model.txt", kSmallLp);
    ScipInstance scip;
    ASSERT_EQ(SCIPsetMessagehdlr(scip.get(), nullptr), SCIP_OKAY);
    ASSERT_EQ(SCIPreadProb(scip.get(), path.c_str(), "lp"), SCIP_OKAY);
    ASSERT_EQ(SCIPsolve(scip.get()), SCIP_OKAY);
    EXPECT_EQ(SCIPgetPrimalbound(scip.get()), 11.0);
}

TEST(Reading, AMissingFileLeavesThePreviousProblem)
{
    TempDir dir;
    const std::string good = dir.write("good.lp", kSmallLp);
    ScipInstance scip;
    ASSERT_EQ(SCIPsetMessagehdlr(scip.get(), nullptr), SCIP_OKAY);
    ASSERT_EQ(SCIPreadProb(scip.get(), good.c_str(), nullptr), SCIP_OKAY);
    {
        OutputCapture capture;
        ASSERT_EQ(SCIPreadProb(scip.get(), dir.file("missing.lp").c_str(), nullptr), SCIP_NOFILE);
    }
    ASSERT_EQ(SCIPsolve(scip.get()), SCIP_OKAY);
    EXPECT_EQ(SCIPgetStatus(scip.get()), SCIP_STATUS_OPTIMAL);
    EXPECT_EQ(SCIPgetPrimalbound(scip.get()), 11.0);
}

TEST(SolveLog, GoesToStandardOutputUnlessTheHandlerIsRemoved)
{
    TempDir dir;
    for (const char* model : {kSmallLp, kSmallMip}) {
        const std::string path = dir.write("model.lp", model);
        ScipInstance withLog;
        ScipInstance silenced;
        ASSERT_EQ(SCIPreadProb(withLog.get(), path.c_str(), nullptr), SCIP_OKAY);
        ASSERT_EQ(SCIPreadProb(silenced.get(), path.c_str(), nullptr), SCIP_OKAY);
        ASSERT_EQ(SCIPsetMessagehdlr(silenced.get(), nullptr), SCIP_OKAY);
        std::string logged;
        {
            OutputCapture capture;
            ASSERT_EQ(SCIPsolve(withLog.get()), SCIP_OKAY);
            logged = capture.out();
            EXPECT_EQ(capture.err(), "");
        }
        OutputCapture capture;
        ASSERT_EQ(SCIPsolve(silenced.get()), SCIP_OKAY);
        EXPECT_EQ(capture.out(), "");
        EXPECT_EQ(capture.err(), "");
        EXPECT_NE(logged.find("SCIP Status        : problem is solved [optimal solution found]\n"), std::string::npos)
            << logged;
        EXPECT_EQ(SCIPgetStatus(silenced.get()), SCIP_STATUS_OPTIMAL);
    }
}

TEST(SolveLog, ErrorsStillReachStandardErrorWithoutAHandler)
{
    ScipInstance scip;
    ASSERT_EQ(SCIPsetMessagehdlr(scip.get(), nullptr), SCIP_OKAY);
    OutputCapture capture;
    EXPECT_EQ(SCIPsetRealParam(scip.get(), "limits/time", -1.0), SCIP_PARAMETERWRONGVAL);
    EXPECT_NE(capture.err().find("Invalid value <-1> for real parameter <limits/time>"), std::string::npos);
    EXPECT_EQ(capture.out(), "");
}

}  // namespace
