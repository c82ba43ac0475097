#include <string>

#include <gtest/gtest.h>

#include "backends/scipcompat/DeclaredBinaries.h"
#include "backends/scipcompat/ObjectiveRewrite.h"

namespace {

TEST(ObjectiveRewrite, CutsOutATrailingConstantAndKeepsTheLines)
{
    std::string text = "Maximize\n obj: 3 x + 2 y\n - 4.5e1\nSubject To\n c1: x + y <= 4\nEnd\n";
    const ObjectiveRewrite rewrite = rewriteObjective(text);
    EXPECT_TRUE(rewrite.changed);
    EXPECT_EQ(rewrite.constant, -45.0);
    EXPECT_FALSE(rewrite.placeholderAdded);
    EXPECT_EQ(text, "Maximize\n obj: 3 x + 2 y\n        \nSubject To\n c1: x + y <= 4\nEnd\n");
}

TEST(ObjectiveRewrite, GivesAnEmptyObjectiveAPlaceholderAfterItsName)
{
    std::string named = "Minimize\n obj:\nSubject To\n c1: x >= 1\nEnd\n";
    const ObjectiveRewrite rewrite = rewriteObjective(named);
    EXPECT_TRUE(rewrite.changed);
    EXPECT_TRUE(rewrite.placeholderAdded);
    EXPECT_EQ(named, "Minimize\n obj: 0 lumbrix_empty_objective \nSubject To\n c1: x >= 1\nEnd\n");

    std::string unnamed = "MAX\nST\n c1: x >= 1\nEnd\n";
    EXPECT_TRUE(rewriteObjective(unnamed).placeholderAdded);
    EXPECT_EQ(unnamed, "MAX 0 lumbrix_empty_objective \nST\n c1: x >= 1\nEnd\n");

    std::string constantOnly = "Minimize\n obj: 7\nSubject To\n c1: x >= 1\nEnd\n";
    const ObjectiveRewrite constant = rewriteObjective(constantOnly);
    EXPECT_EQ(constant.constant, 7.0);
    EXPECT_TRUE(constant.placeholderAdded);
    EXPECT_EQ(constantOnly, "Minimize\n obj: 0 lumbrix_empty_objective   \nSubject To\n c1: x >= 1\nEnd\n");
}

TEST(ObjectiveRewrite, LeavesWhatNeedsNoFixOrWhatScipRefuses)
{
    for (const char* original : {
             "Minimize\n obj: x + y\nSubject To\n c1: x >= 1\nEnd\n",       // nothing to fix
             "Minimize\n obj: 5 + x\nSubject To\n c1: x >= 1\nEnd\n",       // constant before a term
             "Minimize\n obj: x + 5 + y\nSubject To\n c1: x >= 1\nEnd\n",   // constant between terms
             "Minimize\n obj: x 5\nSubject To\n c1: x >= 1\nEnd\n",         // constant without a sign
             "Minimize\n obj: 2 3 x\nSubject To\n c1: x >= 1\nEnd\n",       // two numbers in a row
             "Minimize\n obj: x + [ x ^ 2 ] / 2\nSubject To\nEnd\n",       // quadratic objective
             "Minimize\n obj: lumbrix_empty_objective + 1\nSubject To\nEnd\n",  // placeholder name taken
         }) {
        std::string text = original;
        EXPECT_FALSE(rewriteObjective(text).changed) << original;
        EXPECT_EQ(text, original);
    }
}

TEST(ObjectiveRewrite, AFileWithoutObjectiveGetsAnEmptyOne)
{
    std::string text = "\\ constraints only\nSubject To\n c1: x >= 1\nEnd\n";
    const ObjectiveRewrite rewrite = rewriteObjective(text);
    EXPECT_TRUE(rewrite.changed);
    EXPECT_TRUE(rewrite.placeholderAdded);
    EXPECT_EQ(rewrite.constant, 0.0);
    EXPECT_EQ(text, "Minimize 0 lumbrix_empty_objective\n\\ constraints only\nSubject To\n c1: x >= 1\nEnd\n");
}

TEST(ObjectiveRewrite, FollowsGlpksTokensForKeywordsAndComments)
{
    // "st" counts as a keyword only at the start of a line; a comment hides what follows it.
    std::string text = "Minimize\n obj: st + 2 \\ + 3 x\n\\ a comment line\nSubject To\n c1: st >= 1\nEnd\n";
    const ObjectiveRewrite rewrite = rewriteObjective(text);
    EXPECT_TRUE(rewrite.changed);
    EXPECT_EQ(rewrite.constant, 2.0);
    EXPECT_EQ(text, "Minimize\n obj: st     \\ + 3 x\n\\ a comment line\nSubject To\n c1: st >= 1\nEnd\n");
}

TEST(DeclaredBinaries, TakesTheNamesOfEveryBinariesSectionOnly)
{
    const std::string text = "Maximize\n obj: bin + x\nSubject To\n c1: bin + x + y <= 4\n"
                             "Binaries\n bin x \\ y\nGenerals\n y\nBIN\n z\nEnd\n";
    const auto names = binarySectionNames(text);
    EXPECT_EQ(names.size(), 3u);
    EXPECT_EQ(names.count("bin"), 1u);  // a name, not a keyword, when it does not start its line
    EXPECT_EQ(names.count("x"), 1u);
    EXPECT_EQ(names.count("z"), 1u);
    EXPECT_EQ(names.count("y"), 0u);  // commented out, then a general
}

}  // namespace
