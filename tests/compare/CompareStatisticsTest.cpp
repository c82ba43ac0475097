// The comparison of runs: reading details files by column name, the statistics of two runs
// made by hand, the disagreements, and the texts the terminal shows.
#include <gtest/gtest.h>

#include <cmath>

#include "HandMadeRuns.h"
#include "report/compare/CompareText.h"
#include "report/compare/Comparison.h"
#include "report/compare/MergedTable.h"
#include "report/compare/RunRecords.h"

namespace {

std::vector<ModelRecord> parsed(const std::string& text)
{
    std::string problem;
    auto records = parseDetailsText(text, problem);
    EXPECT_TRUE(records) << problem;
    return records.value_or(std::vector<ModelRecord>{});
}

std::string problemOf(const std::string& text)
{
    std::string problem;
    EXPECT_FALSE(parseDetailsText(text, problem));
    return problem;
}

Comparison handMade()
{
    return compareRuns({{"rapido", "r.csv", parsed(fastRun())}, {"lento", "l.csv", parsed(slowRun())}}, 10);
}

TEST(DetailsText, ColumnsAreFoundByNameWhereverTheyAre)
{
    // Moved columns, one the comparison does not know, solution_check at the end, a name that
    // needs quotes (a comma, a quote and a line end), CR LF line ends.
    const auto records = parsed("status,extra,model,solve_seconds,objective,time_limit,check,solution_check\r\n"
                                "optimal,x,\"a,\"\"b\"\"\nc.lp\",1.5,-2e3,60,ok,infeasible\r\n"
                                "time_limit,,z.lp,60.1,,60,,\r\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].model, "a,\"b\"\nc.lp");
    EXPECT_EQ(records[0].status, "optimal");
    EXPECT_EQ(records[0].objective, -2000);
    EXPECT_EQ(records[0].dualBound, std::nullopt);  // no such column
    EXPECT_EQ(records[0].solveSeconds, 1.5);
    EXPECT_EQ(records[0].timeLimit, 60);
    EXPECT_EQ(records[0].check, "ok");
    EXPECT_EQ(records[0].solutionCheck, "infeasible");
    EXPECT_EQ(records[1].model, "z.lp");
    EXPECT_EQ(records[1].objective, std::nullopt);
    EXPECT_EQ(records[1].check, "");

    // A byte order mark before the header, as spreadsheets save.
    EXPECT_EQ(parsed("\xEF\xBB\xBFmodel,status,solve_seconds\na.lp,optimal,2\n").at(0).solveSeconds, 2);

    // The details file as opt writes it today, and a merge's not_run row.
    const auto written = parsed(fastRun() + notRunDetailsRow("f.lp") + "\n");
    ASSERT_EQ(written.size(), 6u);
    EXPECT_EQ(written[3].dualBound, 5);
    EXPECT_EQ(written[3].solveSeconds, 150.2);
    EXPECT_EQ(written[5].status, "not_run");
    EXPECT_EQ(written[5].solveSeconds, std::nullopt);
}

TEST(DetailsText, WhatIsOutOfShapeIsNamedWithItsLine)
{
    EXPECT_EQ(problemOf(""), "arquivo vazio, sem cabeçalho");
    EXPECT_EQ(problemOf("model,solve_seconds\na.lp,1\n"), "linha 1: falta a coluna 'status'");
    EXPECT_EQ(problemOf("model,status,solve_seconds\na.lp,optimal,1\nb.lp,optimal\n"),
              "linha 3: 2 campos, o cabeçalho tem 3");
    EXPECT_EQ(problemOf("model,status,solve_seconds\na.lp,optimal,1,5\n"), "linha 2: 4 campos, o cabeçalho tem 3");
    EXPECT_EQ(problemOf("model,status,solve_seconds\na.lp,optimal,1\n\"b\n.lp\",optimal,um\n"),
              "linha 3: 'um' não é um número (coluna solve_seconds)");
    EXPECT_EQ(problemOf("model,status,solve_seconds\na.lp,optimal,1\n\"b.lp,optimal,1\n"),
              "linha 3: aspas abertas até o fim do arquivo");
    EXPECT_EQ(problemOf("model,status,solve_seconds\na\"b.lp,optimal,1\n"), "linha 2: aspas no meio de um campo");
    EXPECT_EQ(problemOf("model,status,solve_seconds\na.lp,optimal,1\nb.lp,optimal,2\na.lp,optimal,3\n"),
              "linha 4: o modelo 'a.lp' já está na linha 2");
    EXPECT_EQ(problemOf("model,status,solve_seconds\na.lp,optimal,inf\n"),
              "linha 2: 'inf' não é um número (coluna solve_seconds)");
}

// rapido (limit 150 s)                    lento (limit 150 s)
//   a.lp optimal 10       0 s                a.lp optimal 10          10 s
//   b.lp optimal 20      10 s                b.lp optimal 21, wrong   30 s
//   c.lp infeasible       1 s                c.lp infeasible         1.4 s
//   d.lp time_limit 7/5 150.2 s             d.lp optimal 4           70 s
//   e.lp optimal 3       30 s                e.lp infeasible          0 s
TEST(CompareStatistics, TwoRunsWorkedOutByHand)
{
    const Comparison comparison = handMade();
    ASSERT_EQ(comparison.models.size(), 5u);
    const RunStatistics& fast = comparison.statistics[0];
    const RunStatistics& slow = comparison.statistics[1];

    // rapido: a, b, c, e solved; d stopped at its limit. lento: a, c, d, e solved; b has a
    // wrong check, so it is neither solved nor a failure.
    EXPECT_EQ(fast.rows, 5u);
    EXPECT_EQ(fast.solved, 4u);
    EXPECT_EQ(fast.timeOuts, 1u);
    EXPECT_EQ(fast.failures, 0u);
    EXPECT_EQ(fast.wrong, 0u);
    EXPECT_EQ(slow.solved, 4u);
    EXPECT_EQ(slow.timeOuts, 0u);
    EXPECT_EQ(slow.wrong, 1u);
    EXPECT_EQ(fast.timeLimit, 150);
    EXPECT_EQ(fast.penaltySeconds, 150);

    // Shift 10: rapido's times count 0, 10, 1, 150 (d at the limit, not its 150.2), 30:
    // (10 * 20 * 11 * 160 * 40)^(1/5) - 10 = 14,080,000^(1/5) - 10 = 26.898 - 10 = 16.898.
    EXPECT_NEAR(fast.shiftedMean, 16.898034, 1e-6);
    // lento's count 10, 150 (b is wrong), 1.4, 70, 0:
    // (20 * 160 * 11.4 * 80 * 10)^(1/5) - 10 = 29,184,000^(1/5) - 10 = 31.119 - 10 = 21.119.
    EXPECT_NEAR(slow.shiftedMean, 21.119239, 1e-6);

    // Both solved a, c and e: rapido (10 * 11 * 40)^(1/3) - 10 = 4400^(1/3) - 10 = 6.386;
    // lento (20 * 11.4 * 10)^(1/3) - 10 = 2280^(1/3) - 10 = 3.162; ratio 3.162 / 6.386 = 0.495.
    EXPECT_EQ(comparison.commonSolved, 3u);
    EXPECT_NEAR(*fast.commonMean, 6.386425, 1e-6);
    EXPECT_NEAR(*slow.commonMean, 3.161689, 1e-6);

    // Wins: a (0 s against 10 s) and b (lento's answer is wrong) for rapido; d (rapido timed
    // out) and e (0 s against 30 s) for lento; c is 1 s against 1.4 s: 40% but less than 0.5 s.
    ASSERT_EQ(comparison.pairs.size(), 1u);
    EXPECT_EQ(comparison.pairs[0].firstWins, 2u);
    EXPECT_EQ(comparison.pairs[0].secondWins, 2u);

    // The virtual best takes 0, 10, 1, 70, 0: (10 * 20 * 11 * 80 * 10)^(1/5) - 10 =
    // 1,760,000^(1/5) - 10 = 7.746; over a, c, e: (10 * 11 * 10)^(1/3) - 10 = 0.323.
    EXPECT_EQ(comparison.virtualBest.solved, 5u);
    EXPECT_NEAR(comparison.virtualBest.shiftedMean, 7.746084, 1e-6);
    EXPECT_NEAR(*comparison.virtualBest.commonMean, 0.322801, 1e-6);

    EXPECT_EQ(comparison.exitStatus(), 1);
}

TEST(CompareStatistics, DisagreementsAndWrongAnswersOfTheHandMadeRuns)
{
    const Comparison comparison = handMade();
    // b: two optima; d: rapido's own bounds (dual 5 below its solution 7) make it a
    // minimisation, and lento's optimum 4 lies below rapido's dual bound; e: infeasible in
    // lento while rapido found a solution.
    EXPECT_EQ(disagreementLines(comparison),
              (std::vector<std::string>{"b.lp: ótimos diferentes: rapido 20, lento 21",
                                        "d.lp: o limite dual de rapido (5) passa da solução de lento (4), minimização",
                                        "e.lp: inviável em lento, com solução em rapido (3)"}));
    EXPECT_EQ(wrongAnswerLines(comparison), std::vector<std::string>{"b.lp em lento: check wrong"});
}

TEST(CompareText, TheTerminalShowsTheTableNotesPairsAndLists)
{
    EXPECT_EQ(terminalText(handMade()),
              kHandMadeTable
                  + "MGD: média geométrica deslocada dos tempos de solução (deslocamento de 10 s) sobre os 5 modelos;\n"
                    "um modelo não resolvido conta no limite de tempo do run.\n"
                    "MGD comuns: sobre os 3 modelos que todos os runs resolveram; razão: a MGD comuns do run sobre a "
                    "do primeiro.\n"
                    "resolvidos: optimal, infeasible, unbounded ou infeasible_or_unbounded sem resposta errada; "
                    "limite: time_limit;\n"
                    "falhas: os outros status e os modelos sem linha no run; errados: check wrong ou solução inviável.\n"
                    "\n"
                    "Vitórias por par (mais rápido por mais de 10% e 0.5 s, ou resolveu e o outro não):\n"
                    "  rapido × lento: rapido 2, lento 2\n"
                    "Melhor virtual (o menor tempo de cada modelo): resolvidos 5 de 5, MGD 7.746 s, MGD comuns 0.323 s.\n"
                    "\n"
                    "Divergências: 3\n"
                    "  b.lp: ótimos diferentes: rapido 20, lento 21\n"
                    "  d.lp: o limite dual de rapido (5) passa da solução de lento (4), minimização\n"
                    "  e.lp: inviável em lento, com solução em rapido (3)\n"
                    "Respostas erradas: 1\n"
                    "  b.lp em lento: check wrong\n");
}

std::vector<ModelRecord> rows(std::initializer_list<std::string> lines)
{
    std::string text = kDetailsFileHeader;
    for (const std::string& line : lines)
        text += line;
    return parsed(text);
}

std::vector<std::string> disagreementsOf(std::initializer_list<std::string> a, std::initializer_list<std::string> b)
{
    return disagreementLines(compareRuns({{"A", "", rows(a)}, {"B", "", rows(b)}}, 10));
}

TEST(CompareStatistics, OnlyRealContradictionsAreDisagreements)
{
    // Without a dual bound that parts from its solution no run shows the direction: 7 found
    // by A and an optimum of 4 in B contradict each other only in a maximisation.
    EXPECT_EQ(disagreementsOf({detailsLine("m.lp", "time_limit", "7", "", "60", "60", "")},
                              {detailsLine("m.lp", "optimal", "4", "", "1", "60", "")}),
              std::vector<std::string>{});
    // The same with A's dual bound above its solution: a maximisation, so B's optimum 4 lies
    // below A's solution 7.
    EXPECT_EQ(disagreementsOf({detailsLine("m.lp", "time_limit", "7", "9", "60", "60", "")},
                              {detailsLine("m.lp", "optimal", "4", "", "1", "60", "")}),
              std::vector<std::string>{"m.lp: o limite dual de B (4) passa da solução de A (7), maximização"});
    // Runs whose bounds show opposite directions say nothing.
    EXPECT_EQ(disagreementsOf({detailsLine("m.lp", "time_limit", "7", "9", "60", "60", "")},
                              {detailsLine("m.lp", "time_limit", "12", "10", "60", "60", "")}),
              std::vector<std::string>{});
    // Optima within a solver's gap tolerance of each other agree: A's optimum lies between
    // 99.995 and 100, B's 99.996 is inside; beyond 1e-6 relative they part.
    EXPECT_EQ(disagreementsOf({detailsLine("m.lp", "optimal", "100", "99.995", "1", "60", "")},
                              {detailsLine("m.lp", "optimal", "99.996", "99.996", "1", "60", "")}),
              std::vector<std::string>{});
    EXPECT_EQ(disagreementsOf({detailsLine("m.lp", "optimal", "1000000", "", "1", "60", "")},
                              {detailsLine("m.lp", "optimal", "1000000.9", "", "1", "60", "")}),
              std::vector<std::string>{});
    EXPECT_EQ(disagreementsOf({detailsLine("m.lp", "optimal", "1000000", "", "1", "60", "")},
                              {detailsLine("m.lp", "optimal", "1000001.1", "", "1", "60", "")}),
              std::vector<std::string>{"m.lp: ótimos diferentes: A 1000000, B 1000001.1"});
    // Statuses that rule each other out; infeasible_or_unbounded against infeasible does not.
    EXPECT_EQ(disagreementsOf({detailsLine("u.lp", "unbounded", "", "", "1", "", ""),
                               detailsLine("v.lp", "infeasible_or_unbounded", "", "", "1", "", ""),
                               detailsLine("w.lp", "infeasible_or_unbounded", "", "", "1", "", ""),
                               detailsLine("x.lp", "unbounded", "", "", "1", "", "")},
                              {detailsLine("u.lp", "optimal", "2", "2", "1", "", ""),
                               detailsLine("v.lp", "optimal", "3", "3", "1", "", ""),
                               detailsLine("w.lp", "infeasible", "", "", "1", "", ""),
                               detailsLine("x.lp", "infeasible", "", "", "1", "", "")}),
              (std::vector<std::string>{"u.lp: ilimitado em A, ótimo em B (2)",
                                        "v.lp: inviável ou ilimitado em A, ótimo em B (3)",
                                        "x.lp: inviável em B, ilimitado em A"}));
}

TEST(CompareStatistics, SolutionCheckAndRunsWithoutALimitOrARow)
{
    // A's solution for m was found infeasible: a wrong answer, and no evidence against B's
    // infeasibility. B has no time limit and no row for n.
    std::vector<ModelRecord> a = parsed(
        "model,status,objective,solve_seconds,time_limit,check,solution_check\n"
        "m.lp,optimal,5,2,60,,infeasible\nn.lp,optimal,1,3,60,,feasible\n");
    std::vector<ModelRecord> b = parsed("model,status,objective,solve_seconds,time_limit,check\nm.lp,infeasible,,40,,\n");
    const Comparison comparison = compareRuns({{"A", "", a}, {"B", "", b}}, 1);
    EXPECT_EQ(disagreementLines(comparison), std::vector<std::string>{});
    EXPECT_EQ(wrongAnswerLines(comparison), std::vector<std::string>{"m.lp em A: solução inviável"});
    EXPECT_EQ(comparison.statistics[0].wrong, 1u);
    EXPECT_EQ(comparison.statistics[0].solved, 1u);
    // B: m solved in 40 s; n has no row, a failure counted at the largest time seen, 40 s:
    // shift 1, (41 * 41)^(1/2) - 1 = 40.
    EXPECT_EQ(comparison.statistics[1].rows, 1u);
    EXPECT_EQ(comparison.statistics[1].failures, 1u);
    EXPECT_EQ(comparison.statistics[1].penaltySeconds, 40);
    EXPECT_NEAR(comparison.statistics[1].shiftedMean, 40, 1e-9);
    EXPECT_EQ(comparison.commonSolved, 0u);
    const std::vector<std::string> notes = summaryNotes(comparison);
    EXPECT_EQ(notes[2], "Sem limite de tempo (B): um modelo não resolvido conta no maior tempo de solução visto, "
                        "40.000 s.");
    EXPECT_EQ(notes[3], "MGD comuns: nenhum modelo foi resolvido por todos os runs.");
    EXPECT_EQ(notes.back(), "B não tem linha para 1 dos 2 modelos.");
    EXPECT_EQ(summaryTable(comparison).rows[1],
              (std::vector<std::string>{"B", "1", "1", "0", "1", "0", "40.000", "-", "-"}));
}

TEST(CompareStatistics, PerformanceRatiosAgainstTheBestRun)
{
    // rapido solved a (0 s), b (10), c (1), e (30); lento a (10), c (1.4), d (70), e (0).
    // Best: a 0 -> 0.01 (the floor), b 10, c 1, d 70, e 0 -> 0.01.
    const auto ratios = performanceRatios(handMade());
    ASSERT_EQ(ratios.size(), 2u);
    ASSERT_EQ(ratios[0].size(), 4u);
    EXPECT_DOUBLE_EQ(ratios[0][0], 1);
    EXPECT_DOUBLE_EQ(ratios[0][2], 1);
    EXPECT_DOUBLE_EQ(ratios[0][3], 3000);
    ASSERT_EQ(ratios[1].size(), 4u);
    EXPECT_DOUBLE_EQ(ratios[1][0], 1);
    EXPECT_DOUBLE_EQ(ratios[1][1], 1);
    EXPECT_DOUBLE_EQ(ratios[1][2], 1.4);
    EXPECT_DOUBLE_EQ(ratios[1][3], 1000);
}

TEST(CompareText, NumbersReadBackAsTheyWereWrittenWithoutNeedlessExponents)
{
    EXPECT_EQ(exactNumber(1000000), "1000000");
    EXPECT_EQ(exactNumber(0.1), "0.1");
    EXPECT_EQ(exactNumber(-12.25), "-12.25");
    EXPECT_EQ(exactNumber(0), "0");
    EXPECT_EQ(exactNumber(1e20), "1e+20");
    EXPECT_EQ(exactNumber(-2.5e-7), "-2.5e-07");
    EXPECT_EQ(secondsCell(16.8980335), "16.898");
    EXPECT_EQ(ratioCell(0.4950639), "0.50");
}

TEST(MergedTable, OneRowPerModelWithEachRunsColumns)
{
    std::vector<ModelRecord> a = parsed("model,status,objective,solve_seconds,check\n\"x,y.lp\",optimal,1.5,2,ok\n");
    std::vector<ModelRecord> b = parsed("model,status,objective,dual_bound,solve_seconds,solution_check\n"
                                        "z.lp,time_limit,3,2,60,feasible\n\"x,y.lp\",optimal,1.75,1.75,1,feasible\n");
    EXPECT_EQ(mergedTableText(compareRuns({{"a", "", a}, {"b,2", "", b}}, 10)),
              "model,a.status,a.objective,a.dual_bound,a.solve_seconds,a.check,a.solution_check,\"b,2.status\","
              "\"b,2.objective\",\"b,2.dual_bound\",\"b,2.solve_seconds\",\"b,2.check\",\"b,2.solution_check\","
              "disagreement\n"
              "\"x,y.lp\",optimal,1.5,,2,ok,,optimal,1.75,1.75,1,,feasible,true\n"
              "z.lp,,,,,,,time_limit,3,2,60,,feasible,false\n");
}

}  // namespace
