// One small MPS file per feature of SCIP's MPS reader (tests/model/mps), each with the
// status and objective worked out by hand (the reasoning heads every file), and the size
// line SCIP prints after reading it; and the files SCIP refuses, each with its line.
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
    return std::string(MPS_FEATURE_DIR) + "/" + file;
}

std::string testName(const char* file)
{
    const std::string name = file;
    return name.substr(0, name.find('.'));
}

class MpsFeature : public ::testing::TestWithParam<Solved> {};

TEST_P(MpsFeature, GivesScipsAnswer)
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
    Files, MpsFeature,
    ::testing::Values(
        Solved{"fixed_layout.mps", SCIP_STATUS_OPTIMAL, 5.0, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 2"},
        Solved{"free_layout.mps", SCIP_STATUS_OPTIMAL, 18.0, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 2"},
        Solved{"crlf.mps", SCIP_STATUS_OPTIMAL, 3.5, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 2"},
        Solved{"objsense_next_line.mps", SCIP_STATUS_OPTIMAL, 11.0, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 3"},
        Solved{"objsense_same_line.mps", SCIP_STATUS_OPTIMAL, 11.0, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 3"},
        Solved{"objsense_min.mps", SCIP_STATUS_OPTIMAL, 2.0, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 1"},
        Solved{"markers.mps", SCIP_STATUS_OPTIMAL, 16.5, "5 variables (2 bin, 2 int, 0 impl, 1 cont) and 3"},
        Solved{"rhs_objective.mps", SCIP_STATUS_OPTIMAL, 10.5, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 1"},
        Solved{"ranges.mps", SCIP_STATUS_OPTIMAL, 25.0, "4 variables (0 bin, 0 int, 0 impl, 4 cont) and 4"},
        Solved{"ranges_minimum.mps", SCIP_STATUS_OPTIMAL, 14.0, "4 variables (0 bin, 0 int, 0 impl, 4 cont) and 4"},
        Solved{"bounds.mps", SCIP_STATUS_OPTIMAL, -5.0, "6 variables (0 bin, 0 int, 0 impl, 6 cont) and 3"},
        Solved{"bounds_integer.mps", SCIP_STATUS_OPTIMAL, 9.0, "4 variables (1 bin, 2 int, 0 impl, 1 cont) and 1"},
        Solved{"missing_bound_fields.mps", SCIP_STATUS_OPTIMAL, -8.0, "3 variables (0 bin, 0 int, 0 impl, 3 cont) and 2"},
        Solved{"negative_upper.mps", SCIP_STATUS_INFEASIBLE, 1e20, "1 variables (0 bin, 0 int, 0 impl, 1 cont) and 1"},
        // A bound disjunction per semi-continuous column.
        Solved{"semicontinuous.mps", SCIP_STATUS_OPTIMAL, 1.5, "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 4"},
        Solved{"semicontinuous_threshold.mps", SCIP_STATUS_OPTIMAL, -1.0,
               "1 variables (0 bin, 0 int, 0 impl, 1 cont) and 2"},
        Solved{"sos.mps", SCIP_STATUS_OPTIMAL, 16.0, "6 variables (0 bin, 0 int, 0 impl, 6 cont) and 3"},
        // A slack and a constraint per indicator, and one more of each for the equality row.
        Solved{"indicators.mps", SCIP_STATUS_OPTIMAL, 19.0, "10 variables (3 bin, 0 int, 0 impl, 7 cont) and 9"},
        Solved{"lazy_and_cuts.mps", SCIP_STATUS_OPTIMAL, 8.0 / 3.0,
               "2 variables (0 bin, 0 int, 0 impl, 2 cont) and 3"}),
    [](const ::testing::TestParamInfo<Solved>& param) { return testName(param.param.file); });

struct Refused {
    const char* file;
    const char* reason;  // after "<path>:"
};

std::ostream& operator<<(std::ostream& out, const Refused& model)
{
    return out << model.file;
}

class MpsRefused : public ::testing::TestWithParam<Refused> {};

TEST_P(MpsRefused, IsAReadErrorWithItsLine)
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
    Files, MpsRefused,
    ::testing::Values(
        Refused{"error_lp_named_mps.mps", "1: Syntax error: an MPS file starts with a NAME line"},
        Refused{"error_no_rhs.mps", "8: Syntax error: expected RHS after COLUMNS, not <BOUNDS>"},
        Refused{"error_columns_apart.mps", "9: Coeffients of column <X> don't appear consecutively"},
        Refused{"error_bound_type.mps", "11: Syntax error: unknown bound type <XX>"},
        Refused{"error_row_twice.mps", "6: Syntax error: row <R1> is named twice"},
        Refused{"error_no_endata.mps", "9: Syntax error: the file ends in RHS"},
        Refused{"error_indicator_not_binary.mps", "12: variable <B> is not binary."},
        Refused{"error_sos_weight.mps", "14: weight for variable <Y> not specified."},
        Refused{"quadratic.mps", "10: quadratic sections (QUADOBJ) are not supported by this engine."},
        Refused{"qcmatrix.mps", "12: quadratic sections (QCMATRIX) are not supported by this engine."}),
    [](const ::testing::TestParamInfo<Refused>& param) { return testName(param.param.file); });

// The reader comes from the extension given, or else from the name with a compression
// suffix taken off, as SCIP built with zlib chooses it; a name without a format has none.
TEST(MpsReaderChoice, ByExtensionOrName)
{
    TempDir dir;
    const std::string text = readFile(featurePath("objsense_same_line.mps"));
    const std::string other = dir.write("model.txt", text);
    {
        ScipInstance scip;
        OutputCapture capture;
        EXPECT_EQ(SCIPreadProb(scip.get(), other.c_str(), "MPS"), SCIP_OKAY) << capture.err();
    }
    {
        ScipInstance scip;
        OutputCapture capture;
        EXPECT_EQ(SCIPreadProb(scip.get(), other.c_str(), nullptr), SCIP_PLUGINNOTFOUND);
        EXPECT_EQ(afterErrorHeader(capture.err(), "ReadProblem.cpp"),
                  "no reader for input file <" + other + "> available\n");
    }
    {
        // An MPS file named .lp goes to the LP reader, which finds no section in it.
        const std::string lp = dir.write("model.lp", "Minimize\n obj: x\nSubject To\n c: x >= 2\nEnd\n");
        const std::string named = dir.write("lp.mps.gz", readFile(lp));
        ScipInstance scip;
        OutputCapture capture;
        EXPECT_EQ(SCIPreadProb(scip.get(), named.c_str(), nullptr), SCIP_READERROR);
        EXPECT_EQ(afterErrorHeader(capture.err(), "ReadProblem.cpp"),
                  "error reading file <" + named + ">: " + named + ":1: Syntax error: an MPS file starts with a NAME line\n");
    }
}

}  // namespace
