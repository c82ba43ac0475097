// Known results from .solu files, and the check of a solve against them.
#include <gtest/gtest.h>

#include "report/Solu.h"

namespace {

KnownResults parsed(const std::string& text)
{
    std::string problem;
    const auto results = parseSolu(text, problem);
    EXPECT_TRUE(results) << problem;
    return results.value_or(KnownResults{});
}

TEST(SoluFile, ReadsEveryKindAndMatchesModelFilesWithoutTheirExtension)
{
    const KnownResults known = parsed("=opt=  air04   56137\n"
                                      "# a comment\n"
                                      "\n"
                                      "=best=\tneos-1  -1.5e3\r\n"
                                      "=inf= cvs08r139-94\n"
                                      "=unbd= ray\n"
                                      "=unkn= open.one\n");
    ASSERT_EQ(known.byName.size(), 5u);
    ASSERT_NE(known.find("air04.lp"), nullptr);
    EXPECT_EQ(known.find("air04.lp")->kind, KnownResult::Kind::Optimal);
    EXPECT_EQ(known.find("air04.lp")->value, 56137);
    EXPECT_EQ(known.find("neos-1.lp")->kind, KnownResult::Kind::Best);
    EXPECT_EQ(known.find("neos-1.lp")->value, -1500);
    EXPECT_EQ(known.find("cvs08r139-94.lp")->kind, KnownResult::Kind::Infeasible);
    EXPECT_EQ(known.find("ray.lp")->kind, KnownResult::Kind::Unbounded);
    // Only the last extension goes.
    EXPECT_EQ(known.find("open.one.lp")->kind, KnownResult::Kind::Unknown);
    EXPECT_EQ(known.find("air04"), known.find("air04.lp"));
    EXPECT_EQ(known.find("air05.lp"), nullptr);
    // A compression suffix goes first, as MIPLIB's files name "air04.mps.gz" "air04".
    EXPECT_EQ(known.find("air04.mps.gz"), known.find("air04.lp"));
    EXPECT_EQ(known.find("air04.lp.bz2"), known.find("air04.lp"));
    EXPECT_EQ(known.find("air04.mps.xz"), nullptr);
}

TEST(SoluFile, ALaterLineReplacesAnEarlierOne)
{
    const KnownResults known = parsed("=best= m 10\n=opt= m 9\n");
    EXPECT_EQ(known.find("m.lp")->kind, KnownResult::Kind::Optimal);
    EXPECT_EQ(known.find("m.lp")->value, 9);
}

// Lines taken as written that look like slips: another entry for a name (the last still
// wins; the same entry again is no contradiction), a name with a model file's extension.
TEST(SoluFile, WarnsOfContradictionsAndOfNamesWithAModelFilesExtension)
{
    const KnownResults known = parsed("=opt= a 42\n"
                                      "=opt= a 42.0\n"
                                      "=opt= a 7\n"
                                      "=opt= b.lp 1\n"
                                      "# =opt= a 1\n"
                                      "=inf= c.mps.gz\n"
                                      "=best= d.LP.BZ2 3\n"
                                      "=unkn= e.gz\n"
                                      "=opt= f.g 3\n"
                                      "=best= a 7\n"
                                      "=inf= b.lp\n");
    EXPECT_EQ(known.warnings,
              (std::vector<std::string>{
                  "linha 3: 'a' já tinha outro resultado na linha 2; vale o desta linha",
                  "linha 4: 'b.lp' tem a extensão de um arquivo de modelo; o nome vai sem ela: 'b'",
                  "linha 6: 'c.mps.gz' tem a extensão de um arquivo de modelo; o nome vai sem ela: 'c'",
                  "linha 7: 'd.LP.BZ2' tem a extensão de um arquivo de modelo; o nome vai sem ela: 'd'",
                  "linha 8: 'e.gz' tem a extensão de um arquivo de modelo; o nome vai sem ela: 'e'",
                  "linha 10: 'a' já tinha outro resultado na linha 3; vale o desta linha",
                  "linha 11: 'b.lp' tem a extensão de um arquivo de modelo; o nome vai sem ela: 'b'",
                  "linha 11: 'b.lp' já tinha outro resultado na linha 4; vale o desta linha",
              }));
    EXPECT_EQ(known.find("a.lp")->kind, KnownResult::Kind::Best);
    EXPECT_EQ(known.find("b.lp.lp")->kind, KnownResult::Kind::Infeasible);
    EXPECT_EQ(known.find("f.g.lp")->value, 3);
    EXPECT_TRUE(parsed("=opt= x 1\n=opt= x 1\n=inf= y\n=inf= y\n").warnings.empty());
}

TEST(SoluFile, RefusesLinesOutOfShapeWithTheirNumber)
{
    const std::pair<const char*, const char*> cases[] = {
        {"=opt= a 1\n=opt= b\n", "linha 2: esperava 3 palavras, há 2"},
        {"=opt= a 1,5\n", "linha 1: valor inválido '1,5'"},
        {"=opt= a inf\n", "linha 1: valor inválido 'inf'"},
        {"=inf= a 3\n", "linha 1: esperava 2 palavras, há 3"},
        {"\n\n=feas= a 3\n", "linha 3: marca desconhecida '=feas='"},
        {"air04 56137\n", "linha 1: marca desconhecida 'air04'"},
    };
    for (const auto& [text, reason] : cases) {
        std::string problem;
        EXPECT_FALSE(parseSolu(text, problem)) << text;
        EXPECT_EQ(problem, reason) << text;
    }
}

KnownResult known(KnownResult::Kind kind, double value = 0)
{
    return KnownResult{kind, value};
}

SolveClaim claim(ModelStatus status, std::optional<double> objective = std::nullopt,
                 std::optional<Sense> sense = Sense::Minimize, std::optional<double> dualBound = std::nullopt)
{
    return SolveClaim{status, objective, dualBound, sense};
}

TEST(Check, AnOptimumWithinAToleranceOfOneMillionthWithAnAbsoluteFloor)
{
    const KnownResult big = known(KnownResult::Kind::Optimal, 1e6);
    EXPECT_EQ(checkAgainst(&big, claim(ModelStatus::Optimal, 1e6 + 0.9)), Check::Ok);
    EXPECT_EQ(checkAgainst(&big, claim(ModelStatus::Optimal, 1e6 - 1.1)), Check::Wrong);
    EXPECT_EQ(checkAgainst(&big, claim(ModelStatus::Optimal, 1e6 + 1.1)), Check::Wrong);
    const KnownResult zero = known(KnownResult::Kind::Optimal, 0);
    EXPECT_EQ(checkAgainst(&zero, claim(ModelStatus::Optimal, 9e-7)), Check::Ok);
    EXPECT_EQ(checkAgainst(&zero, claim(ModelStatus::Optimal, -1.1e-6)), Check::Wrong);
    // The direction is not needed to find an optimum wrong.
    EXPECT_EQ(checkAgainst(&big, claim(ModelStatus::Optimal, 7, std::nullopt)), Check::Wrong);
}

TEST(Check, AnOptimumAgainstStoppedAndContradictingSolves)
{
    const KnownResult optimum = known(KnownResult::Kind::Optimal, 100);
    // A solve stopped at its limit with a worse solution says nothing yet.
    EXPECT_EQ(checkAgainst(&optimum, claim(ModelStatus::TimeLimit, 120)), Check::Unknown);
    EXPECT_EQ(checkAgainst(&optimum, claim(ModelStatus::TimeLimit, 100)), Check::Ok);
    // A solution better than the optimum cannot be, in either direction.
    EXPECT_EQ(checkAgainst(&optimum, claim(ModelStatus::TimeLimit, 90)), Check::Wrong);
    EXPECT_EQ(checkAgainst(&optimum, claim(ModelStatus::TimeLimit, 110, Sense::Maximize)), Check::Wrong);
    // Nor a dual bound past it.
    EXPECT_EQ(checkAgainst(&optimum, claim(ModelStatus::TimeLimit, 120, Sense::Minimize, 101)), Check::Wrong);
    EXPECT_EQ(checkAgainst(&optimum, claim(ModelStatus::TimeLimit, 120, Sense::Minimize, 99)), Check::Unknown);
    // SCIP's 1e20 is no solution.
    EXPECT_EQ(checkAgainst(&optimum, claim(ModelStatus::TimeLimit, 1e20)), Check::Unknown);
    EXPECT_EQ(checkAgainst(&optimum, claim(ModelStatus::Infeasible, 1e20)), Check::Wrong);
    EXPECT_EQ(checkAgainst(&optimum, claim(ModelStatus::Unbounded)), Check::Wrong);
    EXPECT_EQ(checkAgainst(&optimum, claim(ModelStatus::InfeasibleOrUnbounded)), Check::Wrong);
}

TEST(Check, ABestKnownValue)
{
    const KnownResult best = known(KnownResult::Kind::Best, 50);
    EXPECT_EQ(checkAgainst(&best, claim(ModelStatus::Optimal, 50)), Check::Ok);
    EXPECT_EQ(checkAgainst(&best, claim(ModelStatus::TimeLimit, 49)), Check::Better);
    EXPECT_EQ(checkAgainst(&best, claim(ModelStatus::Optimal, 51, Sense::Maximize)), Check::Better);
    EXPECT_EQ(checkAgainst(&best, claim(ModelStatus::TimeLimit, 51)), Check::Unknown);
    // Optimal, yet worse than a solution someone has found.
    EXPECT_EQ(checkAgainst(&best, claim(ModelStatus::Optimal, 51)), Check::Wrong);
    EXPECT_EQ(checkAgainst(&best, claim(ModelStatus::Infeasible)), Check::Wrong);
    // Without the direction a different value cannot be judged.
    EXPECT_EQ(checkAgainst(&best, claim(ModelStatus::TimeLimit, 49, std::nullopt)), Check::Unknown);
}

TEST(Check, InfeasibleUnboundedAndUnknownEntries)
{
    const KnownResult infeasible = known(KnownResult::Kind::Infeasible);
    EXPECT_EQ(checkAgainst(&infeasible, claim(ModelStatus::Infeasible, 1e20)), Check::Ok);
    EXPECT_EQ(checkAgainst(&infeasible, claim(ModelStatus::InfeasibleOrUnbounded)), Check::Ok);
    EXPECT_EQ(checkAgainst(&infeasible, claim(ModelStatus::Optimal, 3)), Check::Wrong);
    EXPECT_EQ(checkAgainst(&infeasible, claim(ModelStatus::TimeLimit, 3)), Check::Wrong);
    EXPECT_EQ(checkAgainst(&infeasible, claim(ModelStatus::Unbounded)), Check::Wrong);
    EXPECT_EQ(checkAgainst(&infeasible, claim(ModelStatus::TimeLimit, 1e20)), Check::Unknown);

    const KnownResult unbounded = known(KnownResult::Kind::Unbounded);
    EXPECT_EQ(checkAgainst(&unbounded, claim(ModelStatus::Unbounded)), Check::Ok);
    EXPECT_EQ(checkAgainst(&unbounded, claim(ModelStatus::InfeasibleOrUnbounded)), Check::Ok);
    EXPECT_EQ(checkAgainst(&unbounded, claim(ModelStatus::Infeasible)), Check::Wrong);
    EXPECT_EQ(checkAgainst(&unbounded, claim(ModelStatus::Optimal, 3)), Check::Wrong);
    EXPECT_EQ(checkAgainst(&unbounded, claim(ModelStatus::TimeLimit, 3)), Check::Unknown);

    const KnownResult open = known(KnownResult::Kind::Unknown);
    EXPECT_EQ(checkAgainst(&open, claim(ModelStatus::Optimal, 3)), Check::Unknown);
    EXPECT_EQ(checkAgainst(nullptr, claim(ModelStatus::Optimal, 3)), Check::Unknown);
}

TEST(Check, AFailedSolveIsNeverWrong)
{
    const KnownResult optimum = known(KnownResult::Kind::Optimal, 1);
    for (const ModelStatus status :
         {ModelStatus::ReadError, ModelStatus::SolverError, ModelStatus::Crashed, ModelStatus::OutOfMemory})
        EXPECT_EQ(checkAgainst(&optimum, claim(status)), Check::Unknown) << static_cast<int>(status);
}

}  // namespace
