// The engine's parameters beyond the run's own limits: which it knows, with SCIP's types,
// ranges and messages, the search limits it honours, and SCIP's .set files.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"

namespace {

// GLPK's search needs several nodes for it; the optimum is 22, the root's bound 23.
const std::string kKnapsack =
    "Maximize\n obj: 5 x1 + 4 x2 + 3 x3 + 7 x4 + 6 x5 + 8 x6 + 2 x7 + 9 x8\nSubject To\n"
    " c1: 3 x1 + 5 x2 + 2 x3 + 6 x4 + 4 x5 + 7 x6 + 3 x7 + 8 x8 <= 17\n"
    " c2: 2 x1 + 3 x2 + 4 x3 + 1 x4 + 5 x5 + 2 x6 + 6 x7 + 3 x8 <= 13\nBinaries\n x1 x2 x3 x4 x5 x6 x7 x8\nEnd\n";

TEST(EngineParameters, KnownNamesWithSciPsTypesAndRanges)
{
    ScipInstance scip;
    const std::pair<const char*, SCIP_PARAMTYPE> known[] = {
        {"limits/time", SCIP_PARAMTYPE_REAL},       {"limits/memory", SCIP_PARAMTYPE_REAL},
        {"limits/gap", SCIP_PARAMTYPE_REAL},        {"limits/absgap", SCIP_PARAMTYPE_REAL},
        {"limits/nodes", SCIP_PARAMTYPE_LONGINT},   {"limits/solutions", SCIP_PARAMTYPE_INT},
    };
    for (const auto& [name, type] : known) {
        SCIP_PARAM* parameter = SCIPgetParam(scip.get(), name);
        ASSERT_NE(parameter, nullptr) << name;
        EXPECT_EQ(SCIPparamGetType(parameter), type) << name;
    }
    EXPECT_EQ(SCIPgetParam(scip.get(), "randomization/randomseedshift"), nullptr);
    EXPECT_EQ(SCIPgetParam(scip.get(), "limits/Nodes"), nullptr);

    SCIP_PARAM* nodes = SCIPgetParam(scip.get(), "limits/nodes");
    EXPECT_TRUE(SCIPisLongintParamValid(scip.get(), nodes, -1));
    EXPECT_TRUE(SCIPisLongintParamValid(scip.get(), nodes, 1LL << 62));
    EXPECT_FALSE(SCIPisLongintParamValid(scip.get(), nodes, -2));
    SCIP_PARAM* solutions = SCIPgetParam(scip.get(), "limits/solutions");
    EXPECT_TRUE(SCIPisIntParamValid(scip.get(), solutions, 2147483647));
    EXPECT_FALSE(SCIPisIntParamValid(scip.get(), solutions, -2));
    SCIP_PARAM* gap = SCIPgetParam(scip.get(), "limits/gap");
    EXPECT_TRUE(SCIPisRealParamValid(scip.get(), gap, 0.0));
    EXPECT_FALSE(SCIPisRealParamValid(scip.get(), gap, -1e-9));
    EXPECT_FALSE(SCIPisRealParamValid(scip.get(), gap, NAN));
    EXPECT_FALSE(SCIPisCharParamValid(scip.get(), gap, 'a'));
    EXPECT_FALSE(SCIPisStringParamValid(scip.get(), gap, "a"));

    OutputCapture capture;
    EXPECT_EQ(SCIPsetLongintParam(scip.get(), "limits/nodes", -2), SCIP_PARAMETERWRONGVAL);
    EXPECT_EQ(SCIPsetIntParam(scip.get(), "limits/nodes", 5), SCIP_PARAMETERWRONGTYPE);
    EXPECT_EQ(SCIPsetBoolParam(scip.get(), "misc/catchctrlc", FALSE), SCIP_PARAMETERUNKNOWN);
    EXPECT_EQ(SCIPsetStringParam(scip.get(), "limits/gap", "x"), SCIP_PARAMETERWRONGTYPE);
    const std::string err = capture.err();
    EXPECT_NE(err.find("] ERROR: Invalid value <-2> for longint parameter <limits/nodes>. Must be in range "
                       "[-1,9223372036854775808].\n"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("] ERROR: wrong parameter type - parameter <limits/nodes> has type <Longint> instead of <int>\n"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("] ERROR: parameter <misc/catchctrlc> unknown\n"), std::string::npos) << err;
    EXPECT_NE(err.find("has type <Real> instead of <string>\n"), std::string::npos) << err;
}

struct Limited {
    SCIP_STATUS status;
    double primal;
    double dual;
    long long nodes;
};

// Solves the knapsack with one parameter set.
template <typename Set>
Limited solveWith(Set set)
{
    TempDir dir;
    const std::string path = dir.write("mochila.lp", kKnapsack);
    ScipInstance scip;
    set(scip.get());
    const SCIP_STATUS status = readAndSolve(scip.get(), path);
    return {status, SCIPgetPrimalbound(scip.get()), SCIPgetDualbound(scip.get()), SCIPgetNNodes(scip.get())};
}

TEST(EngineSearchLimits, EachStopsTheSearchWithSciPsStatus)
{
    const Limited free = solveWith([](SCIP*) {});
    ASSERT_EQ(free.status, SCIP_STATUS_OPTIMAL);
    ASSERT_EQ(free.primal, 22.0);
    ASSERT_GT(free.nodes, 2);

    const Limited nodes = solveWith([](SCIP* s) { EXPECT_EQ(SCIPsetLongintParam(s, "limits/nodes", 1), SCIP_OKAY); });
    EXPECT_EQ(nodes.status, SCIP_STATUS_NODELIMIT);
    EXPECT_EQ(nodes.nodes, 1);
    const Limited noNodes = solveWith([](SCIP* s) { EXPECT_EQ(SCIPsetLongintParam(s, "limits/nodes", 0), SCIP_OKAY); });
    EXPECT_EQ(noNodes.status, SCIP_STATUS_NODELIMIT);
    EXPECT_EQ(noNodes.nodes, 0);

    const Limited gap = solveWith([](SCIP* s) { EXPECT_EQ(SCIPsetRealParam(s, "limits/gap", 0.1), SCIP_OKAY); });
    EXPECT_EQ(gap.status, SCIP_STATUS_GAPLIMIT);
    EXPECT_LE(std::fabs(gap.primal - gap.dual) / std::min(gap.primal, gap.dual), 0.1);
    EXPECT_LT(gap.nodes, free.nodes);

    const Limited absolute = solveWith([](SCIP* s) { EXPECT_EQ(SCIPsetRealParam(s, "limits/absgap", 2), SCIP_OKAY); });
    EXPECT_EQ(absolute.status, SCIP_STATUS_GAPLIMIT);
    EXPECT_LE(std::fabs(absolute.primal - absolute.dual), 2.0);

    const Limited first = solveWith([](SCIP* s) { EXPECT_EQ(SCIPsetIntParam(s, "limits/solutions", 1), SCIP_OKAY); });
    EXPECT_EQ(first.status, SCIP_STATUS_SOLLIMIT);
    EXPECT_LT(first.nodes, free.nodes);

    // Limits the search never reaches leave it as it was.
    const Limited loose = solveWith([](SCIP* s) {
        EXPECT_EQ(SCIPsetLongintParam(s, "limits/nodes", 1000), SCIP_OKAY);
        EXPECT_EQ(SCIPsetIntParam(s, "limits/solutions", 100), SCIP_OKAY);
        EXPECT_EQ(SCIPsetRealParam(s, "limits/gap", 1e-9), SCIP_OKAY);
    });
    EXPECT_EQ(loose.status, SCIP_STATUS_OPTIMAL);
    EXPECT_EQ(loose.nodes, free.nodes);
}

// A search that ends at its root is solved, whatever the limits say.
TEST(EngineSearchLimits, ASearchThatEndsKeepsItsOwnStatus)
{
    TempDir dir;
    const std::string path =
        dir.write("raiz.lp", "Maximize\n obj: x + y\nSubject To\n c1: x + y <= 4\n c2: x - y <= 1\nGenerals\n x y\nEnd\n");
    ScipInstance scip;
    ASSERT_EQ(SCIPsetLongintParam(scip.get(), "limits/nodes", 1), SCIP_OKAY);
    ASSERT_EQ(SCIPsetIntParam(scip.get(), "limits/solutions", 1), SCIP_OKAY);
    EXPECT_EQ(readAndSolve(scip.get(), path), SCIP_STATUS_OPTIMAL);
    EXPECT_EQ(SCIPgetPrimalbound(scip.get()), 4.0);
}

TEST(EngineSettingsFile, ReadsSciPsSetSyntax)
{
    TempDir dir;
    const std::string path = dir.write("mochila.lp", kKnapsack);
    const std::string file = dir.write("a.set", "# limites\n\nlimits/gap = 0.5 FIX\n  limits/nodes=1   # só a raiz\r\n"
                                                "limits/absgap = 0\n");
    ScipInstance scip;
    ASSERT_EQ(SCIPreadParams(scip.get(), file.c_str()), SCIP_OKAY);
    EXPECT_EQ(readAndSolve(scip.get(), path), SCIP_STATUS_NODELIMIT);

    // As SCIP: an unknown name is a warning, when the log is on.
    const std::string unknown = dir.write("b.set", "display/verblevel = 0\nlimits/nodes = 1\n");
    ScipInstance other;
    OutputCapture capture;
    EXPECT_EQ(SCIPreadParams(other.get(), unknown.c_str()), SCIP_OKAY);
    EXPECT_EQ(capture.err(), "WARNING: unknown parameter <display/verblevel>\n");
    EXPECT_EQ(readAndSolve(other.get(), path), SCIP_STATUS_NODELIMIT);
}

TEST(EngineSettingsFile, RefusesWhatItCannotRead)
{
    TempDir dir;
    const std::pair<std::string, std::string> bad[] = {
        {"limits/gap = 0.1\nlimits/nodes = 1.5\n", "invalid parameter value <1.5> for Longint parameter <limits/nodes>\n"},
        {"limits/solutions = 3000000000\n", "invalid parameter value <3000000000> for int parameter <limits/solutions>\n"},
        {"limits/gap = -1\n", "Invalid value <-1> for real parameter <limits/gap>. Must be in range [0,"},
        {"limits/gap 0.1\n", "syntax error: expected \"paramname = value\" in <limits/gap 0.1>\n"},
        {"limits/gap =\n", "invalid parameter value <> for Real parameter <limits/gap>\n"},
    };
    for (const auto& [text, message] : bad) {
        SCOPED_TRACE(text);
        const std::string file = dir.write("ruim.set", text);
        ScipInstance scip;
        OutputCapture capture;
        EXPECT_NE(SCIPreadParams(scip.get(), file.c_str()), SCIP_OKAY);
        EXPECT_NE(capture.err().find("] ERROR: " + message), std::string::npos) << capture.err();
        EXPECT_NE(capture.err().find("] ERROR: input error in file <" + file + "> line "), std::string::npos);
    }
    // A value read only in part sets nothing.
    {
        const std::string file = dir.write("parte.set", "limits/nodes = 1x\n");
        ScipInstance scip;
        OutputCapture capture;
        EXPECT_EQ(SCIPreadParams(scip.get(), file.c_str()), SCIP_READERROR);
        EXPECT_EQ(readAndSolve(scip.get(), dir.write("mochila.lp", kKnapsack)), SCIP_STATUS_OPTIMAL);
    }
    ScipInstance scip;
    OutputCapture capture;
    EXPECT_EQ(SCIPreadParams(scip.get(), dir.file("nenhum.set").c_str()), SCIP_NOFILE);
    EXPECT_EQ(afterErrorHeader(capture.err(), "Parameters.cpp"),
              "cannot open file <" + dir.file("nenhum.set") + "> for reading\n");
}

}  // namespace
