// One small LP file per feature of SCIP's LP reader (tests/scipcompat/lp), each with the
// status and objective worked out by hand (the reasoning heads every file), and the size
// line SCIP prints after reading it.
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"

namespace {

struct Solved {
    const char* file;
    SCIP_STATUS status;
    double objective;
    const char* size;  // "V variables (B bin, I int, M impl, C cont) and K"
};

std::ostream& operator<<(std::ostream& out, const Solved& model)
{
    return out << model.file;
}

std::string featurePath(const std::string& file)
{
    return std::string(LP_FEATURE_DIR) + "/" + file;
}

class LpFeature : public ::testing::TestWithParam<Solved> {};

TEST_P(LpFeature, GivesScipsAnswer)
{
    const Solved& model = GetParam();
    const std::string path = featurePath(model.file);
    ScipInstance scip;
    {
        OutputCapture capture;
        ASSERT_EQ(SCIPreadProb(scip.get(), path.c_str(), nullptr), SCIP_OKAY) << capture.err();
        EXPECT_EQ(capture.out(), "original problem has " + std::string(model.size) + " constraints\n");
        EXPECT_EQ(capture.err(), "");
    }
    ASSERT_EQ(SCIPsetMessagehdlr(scip.get(), nullptr), SCIP_OKAY);
    HangGuard guard(120);
    ASSERT_EQ(SCIPsolve(scip.get()), SCIP_OKAY);
    EXPECT_EQ(SCIPgetStatus(scip.get()), model.status);
    EXPECT_NEAR(SCIPgetPrimalbound(scip.get()), model.objective, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LpFeature,
    ::testing::Values(
        Solved{"binary_bounds.lp", SCIP_STATUS_OPTIMAL, 2.0, "3 variables (2 bin, 0 int, 0 impl, 1 cont) and 1"},
        Solved{"tiny_coefficient.lp", SCIP_STATUS_OPTIMAL, 4.0, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 1"},
        Solved{"comments.lp", SCIP_STATUS_OPTIMAL, 22.0, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 2"},
        Solved{"infinity_bounds.lp", SCIP_STATUS_OPTIMAL, -1.0, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 1"},
        Solved{"british_keyword.lp", SCIP_STATUS_OPTIMAL, 0.0, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 1"},
        Solved{"no_constraints.lp", SCIP_STATUS_OPTIMAL, 7.0, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 0"},
        Solved{"repeated_variable.lp", SCIP_STATUS_OPTIMAL, 2.5, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 1"},
        Solved{"duplicate_names.lp", SCIP_STATUS_OPTIMAL, 6.5, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 2"},
        Solved{"long_names.lp", SCIP_STATUS_OPTIMAL, 2.0, "1 variables (0 bin, 0 int, 0 impl, 1 cont) and 1"},
        Solved{"text_after_end.lp", SCIP_STATUS_OPTIMAL, 4.0, "1 variables (0 bin, 0 int, 0 impl, 1 cont) and 1"},
        Solved{"bom_comment.lp", SCIP_STATUS_OPTIMAL, 4.0, "1 variables (0 bin, 0 int, 0 impl, 1 cont) and 1"},
        // The mark glued to "Maximize" makes one unknown word before the first section, as
        // for SCIP: the objective is read as text.
        Solved{"bom_keyword.lp", SCIP_STATUS_OPTIMAL, 0.0, "1 variables (0 bin, 0 int, 0 impl, 1 cont) and 1"},
        Solved{"nul_byte.lp", SCIP_STATUS_OPTIMAL, 4.0, "1 variables (0 bin, 0 int, 0 impl, 1 cont) and 1"},
        Solved{"semicontinuous.lp", SCIP_STATUS_OPTIMAL, 1.0, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 2"},
        Solved{"semicontinuous_integer.lp", SCIP_STATUS_OPTIMAL, 9.5, "2 variables (0 bin, 1 int, 0 impl, 1 cont) and 2"},
        Solved{"sos1.lp", SCIP_STATUS_OPTIMAL, 8.0, "3 variables (0 bin, 0 int, 0 impl, 3 cont) and 2"},
        Solved{"sos2.lp", SCIP_STATUS_OPTIMAL, 8.0, "4 variables (0 bin, 0 int, 0 impl, 4 cont) and 2"},
        // SCIP adds a slack variable and a linear row to every indicator constraint.
        Solved{"indicator.lp", SCIP_STATUS_OPTIMAL, 6.0, "5 variables (1 bin, 0 int, 0 impl, 4 cont) and 4"},
        // Bounds the rows imply, where a set or an indicator needs one the model does not state.
        Solved{"sos_row_bound.lp", SCIP_STATUS_OPTIMAL, 3.0, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 2"},
        Solved{"sos_convex_combination.lp", SCIP_STATUS_OPTIMAL, 2.0, "4 variables (0 bin, 0 int, 0 impl, 4 cont) and 3"},
        Solved{"sos_relaxation_bound.lp", SCIP_STATUS_OPTIMAL, 2.0, "4 variables (0 bin, 0 int, 0 impl, 4 cont) and 3"},
        Solved{"indicator_flow.lp", SCIP_STATUS_OPTIMAL, 11.0, "5 variables (1 bin, 0 int, 0 impl, 4 cont) and 5"},
        Solved{"lazy_and_cuts.lp", SCIP_STATUS_OPTIMAL, 7.0, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 3"},
        Solved{"constants.lp", SCIP_STATUS_OPTIMAL, 7.0, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 1"},
        Solved{"bounds.lp", SCIP_STATUS_OPTIMAL, 8.0, "4 variables (0 bin, 0 int, 0 impl, 4 cont) and 1"},
        Solved{"negative_upper.lp", SCIP_STATUS_INFEASIBLE, 1e20, "1 variables (0 bin, 0 int, 0 impl, 1 cont) and 1"},
        Solved{"divisibility.lp", SCIP_STATUS_INFEASIBLE, 1e20, "2 variables (0 bin, 2 int, 0 impl, 0 cont) and 1"},
        Solved{"singleton.lp", SCIP_STATUS_INFEASIBLE, -1e20, "2 variables (0 bin, 1 int, 0 impl, 1 cont) and 2"},
        Solved{"keywords.lp", SCIP_STATUS_OPTIMAL, 6.0, "3 variables (1 bin, 1 int, 0 impl, 1 cont) and 3"},
        Solved{"empty.lp", SCIP_STATUS_OPTIMAL, 0.0, "0 variables (0 bin, 0 int, 0 impl, 0 cont) and 0"}),
    [](const ::testing::TestParamInfo<Solved>& param) {
        std::string name = param.param.file;
        return name.substr(0, name.find('.'));
    });

struct Refused {
    const char* file;
    const char* reason;  // after "<path>:"
};

std::ostream& operator<<(std::ostream& out, const Refused& model)
{
    return out << model.file;
}

class LpRefused : public ::testing::TestWithParam<Refused> {};

// What SCIP refuses, and what the engine cannot model exactly, is a read error naming the
// file and the line.
TEST_P(LpRefused, IsAReadErrorWithItsLine)
{
    const Refused& model = GetParam();
    const std::string path = featurePath(model.file);
    ScipInstance scip;
    OutputCapture capture;
    EXPECT_EQ(SCIPreadProb(scip.get(), path.c_str(), nullptr), SCIP_READERROR);
    EXPECT_EQ(afterErrorHeader(capture.err(), "ReadProblem.cpp"),
              "error reading file <" + path + ">: " + path + ":" + model.reason + "\n");
    EXPECT_EQ(capture.out(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Files, LpRefused,
    ::testing::Values(
        Refused{"infinite_coefficient.lp", "5: coefficient of variable <x> is infinite."},
        Refused{"semicontinuous_unbounded.lp",
                "8: semi-continuous variable <x> has no finite bounds; the engine models it with a binary "
                "variable, which needs them."},
        Refused{"sos_unbounded.lp",
                "8: SOS constraint over variable <x> without finite bounds; the engine models sets with binary "
                "variables, which need them."},
        Refused{"indicator_unbounded.lp",
                "4: indicator constraint over variable <y> without a finite bound; the engine's big-M "
                "formulation needs it."},
        Refused{"quadratic.lp", "2: quadratic terms are not supported by this engine."}),
    [](const ::testing::TestParamInfo<Refused>& param) {
        std::string name = param.param.file;
        return name.substr(0, name.find('.'));
    });

}  // namespace
