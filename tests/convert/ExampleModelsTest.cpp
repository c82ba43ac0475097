#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ConvertSession.h"
#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

const std::string kGlpsol = "/usr/bin/glpsol";
const std::string kExamples = "/usr/share/doc/glpk-utils/examples";

struct Solution {
    std::string status;     // "OPTIMAL", "INTEGER OPTIMAL", ...
    std::string sense;      // "MINimum" or "MAXimum"
    double objective = NAN;
};

// The rest of the report line that starts with `label`, leading blanks dropped.
std::string reportLine(const std::string& report, const std::string& label)
{
    const std::string::size_type start = report.find("\n" + label);
    if (start == std::string::npos)
        return "";
    const std::string::size_type from = report.find_first_not_of(' ', start + 1 + label.size());
    return report.substr(from, report.find('\n', from) - from);
}

// Reads glpsol's report: "Status:     OPTIMAL" and "Objective:  cost = 153.675 (MINimum)"
// (a model without an objective gives "Objective:  0 (MINimum)").
Solution readReport(const std::string& path)
{
    const std::string report = readFile(path);
    Solution solution;
    solution.status = reportLine(report, "Status:");
    const std::string objective = reportLine(report, "Objective:");
    const std::string::size_type open = objective.rfind(" (");
    if (open == std::string::npos || objective.back() != ')')
        return solution;
    solution.sense = objective.substr(open + 2, objective.size() - open - 3);
    const std::string::size_type valueStart = objective.rfind(' ', open - 1) + 1;  // npos + 1 is 0
    solution.objective = std::strtod(objective.substr(valueStart, open - valueStart).c_str(), nullptr);
    return solution;
}

Solution solveWithGlpsol(const std::vector<std::string>& input, const std::string& reportPath)
{
    std::vector<std::string> argv{kGlpsol};
    argv.insert(argv.end(), input.begin(), input.end());
    argv.insert(argv.end(), {"-o", reportPath});
    const ProcessResult result = runProcess(argv);
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    return readReport(reportPath);
}

bool examplesInstalled()
{
    return fs::exists(kGlpsol) && fs::exists(kExamples + "/diet.mod");
}

const std::vector<std::string> kModels{"assign", "cpp", "diet", "food", "gap", "plan", "queens", "sudoku", "transp"};

// The shipped examples converted by mod_lp in `dir`.
void convertExamples(const TempDir& dir)
{
    for (const std::string& model : kModels)
        fs::copy_file(kExamples + "/" + model + ".mod", dir.file(model + ".mod"));
    // Its own data section holds another puzzle: the data file must replace it.
    fs::copy_file(kExamples + "/sudoku.dat", dir.file("sudoku.dat"));
    const ProcessResult run = runModLp(dir.path());
    EXPECT_EQ(run.err, "");
}

// What glpsol finds for the MathProg model itself.
Solution mathProgSolution(const TempDir& dir, const std::string& model)
{
    std::vector<std::string> math{"--math", dir.file(model + ".mod")};
    if (fs::exists(dir.file(model + ".dat")))
        math.insert(math.end(), {"--data", dir.file(model + ".dat")});
    return solveWithGlpsol(math, dir.file(model + ".math.txt"));
}

// The LP file written for a shipped example solves to what glpsol finds for the model.
TEST(ExampleModels, LpFilesSolveToTheModelsOptimum)
{
    if (!examplesInstalled())
        GTEST_SKIP() << "glpk-utils (glpsol and its examples) is not installed";
    TempDir dir;
    convertExamples(dir);
    for (const std::string& model : kModels) {
        SCOPED_TRACE(model);
        const Solution expected = mathProgSolution(dir, model);
        const Solution actual = solveWithGlpsol({"--lp", dir.file(model + ".lp")}, dir.file(model + ".lp.txt"));
        ASSERT_TRUE(std::isfinite(expected.objective));
        EXPECT_NE(expected.status.find("OPTIMAL"), std::string::npos) << expected.status;
        EXPECT_EQ(actual.status, expected.status);
        EXPECT_EQ(actual.sense, expected.sense);
        EXPECT_NEAR(actual.objective, expected.objective, 1e-9 * (1 + std::fabs(expected.objective)));
    }
}

// CBC, from the converted LP files, finds the optimum glpsol finds for each model.
TEST(ExampleModels, CbcSolvesTheConvertedFilesToGlpsolsOptimum)
{
    if (!examplesInstalled())
        GTEST_SKIP() << "glpk-utils (glpsol and its examples) is not installed";
    TempDir dir;
    convertExamples(dir);
    TempDir output;
    const ProcessResult run = runProcess({lumbrixBinary(), "opt", "--solver", "cbc", "--quiet", dir.path(), output.path()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // model,solver,solver_version,status,objective,...
    std::map<std::string, std::vector<std::string>> rows;
    std::istringstream details(readFile(output.file("sol_detalhes.csv")));
    for (std::string line; std::getline(details, line);) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ',');)
            fields.push_back(cell);
        rows[fields.front()] = fields;
    }
    for (const std::string& model : kModels) {
        SCOPED_TRACE(model);
        const Solution expected = mathProgSolution(dir, model);
        ASSERT_EQ(rows.count(model + ".lp"), 1u);
        const std::vector<std::string>& row = rows[model + ".lp"];
        EXPECT_EQ(row[1], "CBC");
        EXPECT_EQ(row[3], "optimal");
        EXPECT_NEAR(std::strtod(row[4].c_str(), nullptr), expected.objective, 1e-6 * (1 + std::fabs(expected.objective)));
    }
}

}  // namespace
