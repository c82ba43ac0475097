// A solution held against the model as its file writes it: what must pass, what must not,
// and numbers that doubles get wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <memory>
#include <string>
#include <vector>

#include <gmpxx.h>

#include "TempDir.h"
#include "engines/model/LpModel.h"
#include "engines/model/ModelFile.h"
#include "engines/model/SolutionCheck.h"

namespace {

LpModel parse(const std::string& text)
{
    LpModel model;
    model.text = text;
    LpReadError error;
    EXPECT_TRUE(parseLpText(model.text, model, error)) << error.line << ": " << error.message;
    return model;
}

SolutionVerdict check(const std::string& text, const std::vector<double>& values, CheckTolerances tolerances = {})
{
    const LpModel model = parse(text);
    EXPECT_EQ(model.columns.size(), values.size());
    return checkSolution(model, values, tolerances);
}

const char* const kRow = "Minimize\n obj: x + y\nSubject To\n c: x + y <= 1\nEnd\n";

TEST(SolutionCheck, AcceptsWhatIsWithinTheTolerances)
{
    // On the side, and 5e-7 past it.
    SolutionVerdict verdict = check(kRow, {0.25, 0.75});
    EXPECT_TRUE(verdict.feasible);
    EXPECT_EQ(verdict.maxViolation, 0);
    EXPECT_EQ(verdict.violated, "");
    EXPECT_EQ(verdict.objective, 1);
    verdict = check(kRow, {0.5, 0.5000005});
    EXPECT_TRUE(verdict.feasible);
    EXPECT_NEAR(verdict.maxViolation, 5e-7, 1e-12);
    // Relative above 1: 5e-6 past a bound of 10 is within 1e-6 * 10.
    verdict = check("Minimize\n obj: x\nBounds\n x <= 10\nEnd\n", {10.000005});
    EXPECT_TRUE(verdict.feasible);
    // An integer 9e-6 away from 2.
    verdict = check("Minimize\n obj: x\nBounds\n x <= 5\nGenerals\n x\nEnd\n", {2.000009});
    EXPECT_TRUE(verdict.feasible);
    EXPECT_NEAR(verdict.maxViolation, 9e-6, 1e-12);
}

TEST(SolutionCheck, RefusesWhatIsNot)
{
    // A row off by 1e-5.
    SolutionVerdict verdict = check(kRow, {0.5, 0.50001});
    EXPECT_FALSE(verdict.feasible);
    EXPECT_EQ(verdict.violated, "c");
    EXPECT_NEAR(verdict.maxViolation, 1e-5, 1e-12);
    // A binary at 0.5.
    verdict = check("Maximize\n obj: b + x\nSubject To\n c: b + x <= 4\nBinaries\n b\nEnd\n", {0.5, 1});
    EXPECT_FALSE(verdict.feasible);
    EXPECT_EQ(verdict.violated, "b");
    EXPECT_EQ(verdict.maxViolation, 0.5);
    // A bound and an integrality: the larger violation is named.
    verdict = check("Minimize\n obj: x + n\nBounds\n x <= 1\n n <= 9\nGenerals\n n\nEnd\n", {1.001, 2.3});
    EXPECT_FALSE(verdict.feasible);
    EXPECT_EQ(verdict.violated, "n");
    EXPECT_NEAR(verdict.maxViolation, 0.3, 1e-12);
    // Relative only above 1: 2e-6 past a bound of 0.5 is refused.
    verdict = check("Minimize\n obj: x\nBounds\n x <= 0.5\nEnd\n", {0.500002});
    EXPECT_FALSE(verdict.feasible);
    // A lower side, a value that is no number.
    EXPECT_FALSE(check("Minimize\n obj: x\nSubject To\n c: x >= 3\nEnd\n", {2.99}).feasible);
    verdict = check(kRow, {NAN, 0});
    EXPECT_FALSE(verdict.feasible);
    EXPECT_EQ(verdict.violated, "x");
}

TEST(SolutionCheck, DecimalNumbersAreExactNotDoubles)
{
    // 0.1 + 0.2 is not 0.3 in doubles; in the file it is, even with no tolerance at all.
    const char* const text = "Maximize\n obj: 0.1 x + 0.2 y\nSubject To\n e: 0.1 x + 0.2 y = 0.3\nEnd\n";
    SolutionVerdict verdict = check(text, {1, 1}, CheckTolerances{0.0, 0.0});
    EXPECT_TRUE(verdict.feasible);
    EXPECT_EQ(verdict.maxViolation, 0);
    // The objective is the exact 3/10 rounded once, not the double sum.
    EXPECT_EQ(verdict.objective, 0.3);
    EXPECT_NE(0.1 + 0.2, 0.3);
    // The double 0.1 is a little above one tenth: doubles see y - 0.1 x = 0, the file does not.
    verdict = check("Minimize\n obj: x\nSubject To\n c: y - 0.1 x <= 0\nEnd\n", {0.1, 1}, CheckTolerances{0.0, 0.0});
    EXPECT_EQ(0.1 - 0.1 * 1.0, 0.0);
    EXPECT_FALSE(verdict.feasible);
    EXPECT_GT(verdict.maxViolation, 0);
}

TEST(SolutionCheck, TheToleranceItselfIsTheBoundary)
{
    // x - y <= 0 with x at exactly the allowance passes; the next double does not. The
    // floating-point error bound cannot tell these apart: the exact sum does.
    const char* const text = "Minimize\n obj: x\nSubject To\n c: x - y <= 0\nEnd\n";
    const double allowance = 1e-6;
    EXPECT_TRUE(check(text, {allowance, 0}).feasible);
    const SolutionVerdict verdict = check(text, {std::nextafter(allowance, 1.0), 0});
    EXPECT_FALSE(verdict.feasible);
    EXPECT_EQ(verdict.violated, "c");
}

TEST(SolutionCheck, SetsAsTheySay)
{
    const char* const sos1 = "Maximize\n obj: x + y + z\nSubject To\n c: x + y + z <= 5\nSOS\n"
                             " s1: S1:: x:1 y:2 z:3\nEnd\n";
    EXPECT_TRUE(check(sos1, {0, 4, 0}).feasible);
    EXPECT_TRUE(check(sos1, {5e-7, 4, 0}).feasible);  // zero within the tolerance
    SolutionVerdict verdict = check(sos1, {0, 4, 0.25});
    EXPECT_FALSE(verdict.feasible);
    EXPECT_EQ(verdict.violated, "s1");
    EXPECT_EQ(verdict.maxViolation, 0.25);
    // SOS2 in the order of the weights: x2, x1, x3, x4.
    const char* const sos2 = "Maximize\n obj: x1 + x2 + x3 + x4\nSubject To\n c: x1 + x2 + x3 + x4 <= 10\nSOS\n"
                             " S2:: x1:2 x2:1 x3:3 x4:4\nEnd\n";
    EXPECT_TRUE(check(sos2, {1, 1, 0, 0}).feasible);  // x2, x1 are neighbours
    EXPECT_TRUE(check(sos2, {1, 0, 1, 0}).feasible);  // x1, x3
    verdict = check(sos2, {0, 1, 1, 0});               // x2, x3 are not
    EXPECT_FALSE(verdict.feasible);
    EXPECT_EQ(verdict.violated, "SOS1");
    EXPECT_FALSE(check(sos2, {1, 0, 1, 1}).feasible);  // three
}

TEST(SolutionCheck, IndicatorsAndSemicontinuousVariables)
{
    const char* const indicators = "Maximize\n obj: x + 2 y\nSubject To\n c1: b = 1 -> x + y <= 2\n"
                                   " c2: b = 0 -> y <= 1\nBounds\n x <= 4\n y <= 4\nBinary\n b\nEnd\n";
    // Columns in the file's order: x, y, b.
    EXPECT_TRUE(check(indicators, {1, 1, 1}).feasible);
    EXPECT_TRUE(check(indicators, {4, 1, 0}).feasible);  // c1 does not bind
    SolutionVerdict verdict = check(indicators, {4, 1, 1});
    EXPECT_FALSE(verdict.feasible);
    EXPECT_EQ(verdict.violated, "c1");
    EXPECT_EQ(verdict.maxViolation, 3);
    verdict = check(indicators, {0, 3, 0});
    EXPECT_FALSE(verdict.feasible);
    EXPECT_EQ(verdict.violated, "c2");

    // x = 0 or 2 <= x <= 10.
    const char* const semicontinuous = "Minimize\n obj: 2 x + y\nSubject To\n c1: x + y >= 1\nBounds\n y <= 5\n"
                                       " 2 <= x <= 10\nSemi-continuous\n x\nEnd\n";
    EXPECT_TRUE(check(semicontinuous, {0, 1}).feasible);
    EXPECT_TRUE(check(semicontinuous, {2 - 1e-7, 0}).feasible);
    verdict = check(semicontinuous, {1, 0});
    EXPECT_FALSE(verdict.feasible);
    EXPECT_EQ(verdict.violated, "x");
    EXPECT_EQ(verdict.maxViolation, 1);
    EXPECT_FALSE(check(semicontinuous, {10.1, 0}).feasible);
}

TEST(SolutionCheck, UnnamedRowsAndTheObjectiveConstant)
{
    const SolutionVerdict verdict
        = check("Minimize\n obj: x + y + 2.5\nSubject To\n x >= 1\n x + y <= 1\nEnd\n", {1, 0.5});
    EXPECT_FALSE(verdict.feasible);
    EXPECT_EQ(verdict.violated, "R2");
    EXPECT_EQ(verdict.objective, 4);
}

TEST(SolutionCheck, ValuesFoundByName)
{
    const LpModel model = parse(kRow);
    std::vector<double> columns;
    std::string missing;
    // Another order, and a variable of the solver's own.
    const std::vector<std::string> names{"slack", "y", "x"};
    ASSERT_TRUE(valuesByColumn(model, names, std::vector<double>{7, 2, 1}, columns, missing));
    EXPECT_EQ(columns, (std::vector<double>{1, 2}));
    const std::vector<std::string> same{"x", "y"};
    ASSERT_TRUE(valuesByColumn(model, same, std::vector<double>{3, 4}, columns, missing));
    EXPECT_EQ(columns, (std::vector<double>{3, 4}));
    const std::vector<std::string> partial{"y"};
    EXPECT_FALSE(valuesByColumn(model, partial, std::vector<double>{2}, columns, missing));
    EXPECT_EQ(missing, "x");
}

// The test's own exact value of a number the reader kept.
mpq_class exactOf(const Number& number)
{
    if (number.kind() != Number::Kind::Decimal)
        return mpq_class(number.value());
    mpz_class power;
    mpz_ui_pow_ui(power.get_mpz_t(), 10, static_cast<unsigned long>(std::abs(number.exponent())));
    mpq_class value(mpz_class(static_cast<long>(number.digits())));
    if (number.exponent() >= 0)
        return value * power;
    value /= power;
    return value;
}

// Rows whose excess lies within a few units in the last place of the allowance, where floating
// point cannot decide: the verdict is always the exact one.
TEST(SolutionCheck, VerdictsEqualExactArithmeticAtTheBoundary)
{
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<int> tenths(-99, 99);
    std::uniform_real_distribution<double> value(-3, 3);
    std::uniform_int_distribution<int> nudge(-4, 4);
    int violated = 0;
    int doublesWrong = 0;
    for (int round = 0; round < 2000; ++round) {
        const int terms = 1 + round % 6;
        std::string row = " c:";
        std::vector<double> values;
        for (int k = 0; k < terms; ++k) {
            row += " + " + std::to_string(tenths(random)) + ".3 x" + std::to_string(k);
            values.push_back(value(random));
        }
        std::string bounds = "Bounds\n";
        for (int k = 0; k < terms; ++k)
            bounds += " x" + std::to_string(k) + " free\n";
        // The side s with activity - s = 1e-6 max(1, |s|), to 17 digits, moved by a few units.
        LpModel probe = parse("Minimize\n obj: x0\nSubject To\n" + row + " <= 0\n" + bounds + "End\n");
        mpq_class activity;
        for (int k = 0; k < terms; ++k)
            activity += exactOf(probe.terms[static_cast<std::size_t>(k)].value) * mpq_class(values[static_cast<std::size_t>(k)]);
        const double guess = activity.get_d();
        double side = guess - 1e-6;
        if (std::fabs(side) > 1)
            side = guess / (side > 0 ? 1 + 1e-6 : 1 - 1e-6);
        side += nudge(random) * std::fabs(side) * 1e-17;
        char text[64];
        std::snprintf(text, sizeof text, "%.17g", side);
        const LpModel model = parse("Minimize\n obj: x0\nSubject To\n" + row + " <= " + text + "\n" + bounds + "End\n");
        const Number& upper = model.rows.at(0).upper;
        const mpq_class allowed(1e-6 * std::max(1.0, std::fabs(upper.value())));
        const bool exactlyViolated = activity - exactOf(upper) > allowed;
        const SolutionVerdict verdict = checkSolution(model, values, CheckTolerances{});
        ASSERT_EQ(!verdict.feasible, exactlyViolated)
            << row << " <= " << text << ": excess " << mpq_class(activity - exactOf(upper)).get_d() << ", allowed "
            << allowed.get_d();
        violated += exactlyViolated;
        double sum = 0;
        for (int k = 0; k < terms; ++k)
            sum += probe.terms[static_cast<std::size_t>(k)].value.value() * values[static_cast<std::size_t>(k)];
        doublesWrong += (sum - upper.value() > 1e-6 * std::max(1.0, std::fabs(upper.value()))) != exactlyViolated;
    }
    // Both verdicts were put to the test, and so were cases that doubles alone get wrong.
    EXPECT_GT(violated, 100);
    EXPECT_LT(violated, 1900);
    EXPECT_GT(doublesWrong, 100);
}

// The engine's model goes to the check when the file is the same, and to nobody else.
TEST(KeptModel, TakenOnceForTheSameUnchangedSmallFile)
{
    TempDir dir;
    const std::string path = dir.write("a.lp", kRow);
    std::shared_ptr<const LpModel> model;
    LpReadError error;
    ASSERT_EQ(readModelFileKept(path.c_str(), ModelKind{}, model, error), 0);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->columns.size(), 2u);
    EXPECT_EQ(takeKeptModel(dir.file("b.lp").c_str()), nullptr);  // another path forgets it too
    EXPECT_EQ(takeKeptModel(path.c_str()), nullptr);
    ASSERT_EQ(readModelFileKept(path.c_str(), ModelKind{}, model, error), 0);
    EXPECT_EQ(takeKeptModel(path.c_str()), model);
    EXPECT_EQ(takeKeptModel(path.c_str()), nullptr);  // once

    // A file changed since is read again.
    ASSERT_EQ(readModelFileKept(path.c_str(), ModelKind{}, model, error), 0);
    dir.write("a.lp", "Minimize\n obj: x + y + z\nSubject To\n c: x + y <= 1\nEnd\n");
    EXPECT_EQ(takeKeptModel(path.c_str()), nullptr);
    // A large one is never kept; one that cannot be parsed neither.
    const std::string large = dir.write("large.lp", std::string(2 << 20, ' ') + kRow);
    ASSERT_EQ(readModelFileKept(large.c_str(), ModelKind{}, model, error), 0);
    EXPECT_EQ(model->columns.size(), 2u);
    EXPECT_EQ(takeKeptModel(large.c_str()), nullptr);
    const std::string broken = dir.write("broken.lp", "Minimize\n obj: x +\nSubject To\n c1: x >= ; 5\nEnd\n");
    EXPECT_EQ(readModelFileKept(broken.c_str(), ModelKind{}, model, error), -1);
    EXPECT_EQ(takeKeptModel(broken.c_str()), nullptr);
    EXPECT_GT(readModelFileKept(dir.file("missing.lp").c_str(), ModelKind{}, model, error), 0);
}

}  // namespace
