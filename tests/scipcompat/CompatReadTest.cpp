// Reading with the GLPK-based engine: its messages and the forms of the CPLEX LP format it
// accepts beyond GLPK's own reader.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <scip/scipdefplugins.h>

#include "EngineTestSupport.h"

namespace {

const char* const kSmallLp = "Maximize\n obj: 3 x + 2 y\nSubject To\n c1: x + y <= 4\nBounds\n x <= 3\nEnd\n";

// One error message of the engine's reader: "[ReadProblem.cpp:<line>] ERROR: <reason>".
void expectReadError(const std::string& err, const std::string& reason)
{
    EXPECT_EQ(afterErrorHeader(err, "ReadProblem.cpp"), reason);
}

SCIP_RETCODE readCapturing(SCIP* scip, const std::string& path, std::string& out, std::string& err)
{
    OutputCapture capture;
    const SCIP_RETCODE code = SCIPreadProb(scip, path.c_str(), nullptr);
    out = capture.out();
    err = capture.err();
    return code;
}

TEST(CompatRead, ReportsEachFailureWithItsReason)
{
    TempDir dir;
    const std::string unknown = dir.write("model.txt", kSmallLp);
    const std::string broken = dir.write("broken.lp", "Maximize\n obj: 3 x + 2 y\nSubject To\n c1: x + y 4\nEnd\n");
    const std::string folder = dir.folder("folder.lp");
    const std::string missing = dir.file("missing.lp");
    ScipInstance scip;
    std::string out, err;

    EXPECT_EQ(readCapturing(scip.get(), unknown, out, err), SCIP_PLUGINNOTFOUND);
    expectReadError(err, "no reader for input file <" + unknown + "> available\n");
    EXPECT_EQ(readCapturing(scip.get(), missing, out, err), SCIP_NOFILE);
    expectReadError(err, "cannot open file <" + missing + "> for reading\n" + missing + ": No such file or directory\n");
    EXPECT_EQ(readCapturing(scip.get(), folder, out, err), SCIP_NOFILE);
    expectReadError(err, "cannot open file <" + folder + "> for reading\n" + folder + ": Is a directory\n");
    // SCIP's diagnostic, with the line SCIP's reader had reached (it looked ahead to "End").
    EXPECT_EQ(readCapturing(scip.get(), broken, out, err), SCIP_READERROR);
    expectReadError(err, "error reading file <" + broken + ">: " + broken
                             + ":5: expected sign ('+' or '-') or sense ('<' or '>').\n");
    EXPECT_EQ(out, "");
}

TEST(CompatRead, NeedsTheDefaultPluginsOnceForItsReader)
{
    TempDir dir;
    const std::string path = dir.write("small.lp", kSmallLp);
    SCIP* scip = nullptr;
    ASSERT_EQ(SCIPcreate(&scip), SCIP_OKAY);
    std::string out, err;
    EXPECT_EQ(readCapturing(scip, path, out, err), SCIP_PLUGINNOTFOUND);
    expectReadError(err, "no reader for input file <" + path + "> available\n");
    ASSERT_EQ(SCIPincludeDefaultPlugins(scip), SCIP_OKAY);
    {
        OutputCapture capture;
        EXPECT_EQ(SCIPincludeDefaultPlugins(scip), SCIP_INVALIDDATA);
        EXPECT_NE(capture.err().find("] ERROR: reader <lpreader> already included.\n"), std::string::npos);
    }
    EXPECT_EQ(readCapturing(scip, path, out, err), SCIP_OKAY);
    EXPECT_EQ(SCIPfree(&scip), SCIP_OKAY);
}

TEST(CompatRead, TakesTheExtensionWithoutRegardToCase)
{
    TempDir dir;
    const std::string path = dir.write("MODEL.LP", kSmallLp);
    ScipInstance scip;
    EXPECT_EQ(readAndSolve(scip.get(), path), SCIP_STATUS_OPTIMAL);
    EXPECT_EQ(SCIPgetPrimalbound(scip.get()), 11.0);
}

TEST(CompatRead, ASyntaxErrorLeavesThePreviousProblem)
{
    TempDir dir;
    const std::string good = dir.write("good.lp", kSmallLp);
    const std::string broken = dir.write("broken.lp", "Minimize\n obj: x\nSubject To\n c1: x >=\nEnd\n");
    ScipInstance scip;
    ASSERT_EQ(SCIPsetMessagehdlr(scip.get(), nullptr), SCIP_OKAY);
    ASSERT_EQ(SCIPreadProb(scip.get(), good.c_str(), nullptr), SCIP_OKAY);
    std::string out, err;
    ASSERT_EQ(readCapturing(scip.get(), broken, out, err), SCIP_READERROR);
    expectReadError(err, "error reading file <" + broken + ">: " + broken + ":5: expected value as right hand side.\n");
    ASSERT_EQ(SCIPsolve(scip.get()), SCIP_OKAY);
    EXPECT_EQ(SCIPgetPrimalbound(scip.get()), 11.0);
}

TEST(CompatRead, RefusesWhatScipRefusesInTheObjective)
{
    TempDir dir;
    // SCIP takes a constant only as the last term of the objective.
    const std::string leading = dir.write("leading.lp", "Minimize\n obj: 5 + x\nSubject To\n c1: x >= 1\nEnd\n");
    ScipInstance scip;
    std::string out, err;
    EXPECT_EQ(readCapturing(scip.get(), leading, out, err), SCIP_READERROR);
    expectReadError(err, "error reading file <" + leading + ">: " + leading + ":2: sign after value without variable.\n");
}

// As SCIP counts them: the variables of a "Binaries" section whatever their bounds, and
// no variable of a "Generals" section, even one with bounds 0 and 1.
TEST(CompatRead, CountsTheVariablesByTheirSection)
{
    TempDir dir;
    const std::string path = dir.write("mixed.lp",
                                       "Minimize\n obj: a + b + c + d + e\nSubject To\n c1: a + b + c + d + e >= 1\n"
                                       "Bounds\n b >= 1\n c <= 5\n d <= 1\nGenerals\n c d\nBinaries\n a b\nEnd\n");
    ScipInstance scip;
    std::string out, err;
    EXPECT_EQ(readCapturing(scip.get(), path, out, err), SCIP_OKAY);
    EXPECT_EQ(out, "original problem has 5 variables (2 bin, 2 int, 0 impl, 1 cont) and 1 constraints\n");
    EXPECT_EQ(err, "");
}

// With unbounded integer variables GLPK's search for an integer point may never end; the
// engine gives up after a budget and cannot tell. (x must be even and odd: SCIP's
// presolving aggregates the rows and proves it; the engine's short presolve does not.)
TEST(CompatSolve, UndecidedUnboundedRelaxationIsInfeasibleOrUnbounded)
{
    TempDir dir;
    const std::string path = dir.write("parity.lp", "Maximize\n obj: x + y + z\nSubject To\n c1: x - 2 y = 0\n"
                                                    " c2: x - 2 z = 1\nBounds\n x free\n y free\n z free\n"
                                                    "Generals\n x y z\nEnd\n");
    ScipInstance scip;
    HangGuard guard(120);
    EXPECT_EQ(readAndSolve(scip.get(), path), SCIP_STATUS_INFORUNBD);
    EXPECT_EQ(SCIPgetPrimalbound(scip.get()), -1e20);
}

// The simplex runs in slices; the log shows one continuous run, each iteration count once.
TEST(CompatSolve, TheLogOfASlicedSimplexRepeatsNoIteration)
{
    TempDir dir;
    const std::string path = dir.write("hard.lp", hardLpModel());
    ScipInstance scip;
    {
        OutputCapture reading;
        ASSERT_EQ(SCIPreadProb(scip.get(), path.c_str(), nullptr), SCIP_OKAY);
    }
    ASSERT_EQ(SCIPsetRealParam(scip.get(), "limits/time", 1.5), SCIP_OKAY);
    HangGuard guard(120);
    OutputCapture capture;
    ASSERT_EQ(SCIPsolve(scip.get()), SCIP_OKAY);
    const std::string log = capture.out();
    std::vector<long> iterations;
    for (std::size_t start = 0, end; (end = log.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = log.substr(start, end - start);
        if (line.find(": obj = ") != std::string::npos)
            iterations.push_back(std::stol(line.substr(1, line.find(':') - 1)));  // "*  1212: obj = ..."
    }
    EXPECT_GE(iterations.size(), 3u) << log;
    for (std::size_t k = 1; k < iterations.size(); ++k)
        EXPECT_LT(iterations[k - 1], iterations[k]) << log;
    EXPECT_NE(log.find("\nSCIP Status        : solving was interrupted [time limit reached]\n"), std::string::npos) << log;
}

}  // namespace
