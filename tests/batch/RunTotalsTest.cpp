// What a run adds up: the exit status, the summary and the progress line's text.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>

#include "batch/Progress.h"
#include "batch/RunTotals.h"

namespace {

ModelOutcome outcome(ModelStatus status, std::optional<double> solveSeconds)
{
    ModelOutcome result;
    result.name = "m.lp";
    result.status = status;
    result.solveSeconds = solveSeconds;
    return result;
}

TEST(RunTotals, ExitStatusFromFailuresUnwrittenRowsAndWrongChecks)
{
    RunTotals clean;
    clean.started = true;
    clean.add(outcome(ModelStatus::Optimal, 1), Check::Ok, true);
    clean.add(outcome(ModelStatus::TimeLimit, 60), Check::Unknown, true);
    clean.add(outcome(ModelStatus::Infeasible, 0), Check::Better, true);
    clean.add(outcome(ModelStatus::OutOfMemory, std::nullopt), Check::Unknown, true);
    EXPECT_EQ(clean.exitStatus(), 0);

    for (const ModelStatus failure : {ModelStatus::ReadError, ModelStatus::SolverError, ModelStatus::Crashed}) {
        RunTotals failed = clean;
        failed.add(outcome(failure, std::nullopt), Check::Unknown, true);
        EXPECT_EQ(failed.exitStatus(), 1) << static_cast<int>(failure);
    }
    RunTotals wrong = clean;
    wrong.add(outcome(ModelStatus::Optimal, 1), Check::Wrong, true);
    EXPECT_EQ(wrong.exitStatus(), 1);
    RunTotals unwritten = clean;
    unwritten.add(outcome(ModelStatus::Optimal, 1), Check::Ok, false);
    EXPECT_EQ(unwritten.exitStatus(), 1);
    RunTotals noDetails = clean;
    noDetails.detailsFailed(ENOSPC);
    EXPECT_EQ(noDetails.exitStatus(), 1);
    EXPECT_EQ(RunTotals{}.exitStatus(), 2);
}

TEST(RunTotals, ShiftedGeometricMeanOfTheSolvingTimes)
{
    RunTotals totals;
    totals.add(outcome(ModelStatus::Optimal, 0), Check::Unknown, true);
    totals.add(outcome(ModelStatus::Optimal, 3), Check::Unknown, true);
    totals.add(outcome(ModelStatus::ReadError, std::nullopt), Check::Unknown, true);
    // sqrt((0 + 1) * (3 + 1)) - 1, the model without a time left out.
    EXPECT_DOUBLE_EQ(totals.shiftedGeometricMean(), 1.0);
    EXPECT_EQ(totals.timedModels, 2u);
    EXPECT_EQ(RunTotals{}.shiftedGeometricMean(), 0.0);
}

TEST(RunTotals, SummaryText)
{
    RunTotals totals;
    totals.started = true;
    totals.checked = true;
    totals.add(outcome(ModelStatus::Optimal, 0), Check::Ok, true);
    totals.add(outcome(ModelStatus::ReadError, std::nullopt), Check::Unknown, true);
    totals.add(outcome(ModelStatus::Optimal, 3), Check::Wrong, true);
    totals.add(outcome(ModelStatus::Infeasible, 0.5), Check::Ok, true);
    totals.wallSeconds = 12.3456;
    EXPECT_EQ(summaryText(totals),
              "Resumo: 4 modelos em 12.346 s (relógio)\n"
              "  status: optimal 2, infeasible 1, read_error 1\n"
              "  verificação (.solu): ok 2, wrong 1, better 0, unknown 1\n"
              "  média geométrica deslocada dos tempos de solução (deslocamento de 1 s, 3 modelos): 0.817 s\n");

    RunTotals empty;
    empty.detailsFailed(ENOSPC);
    EXPECT_EQ(summaryText(empty),
              "Resumo: 0 modelos em 0.000 s (relógio)\n"
              "  status: nenhum modelo\n"
              "  sol_detalhes.csv: 1 linhas não gravadas (No space left on device)\n"
              "  média geométrica deslocada dos tempos de solução (deslocamento de 1 s, 0 modelos): 0.000 s\n");
}

ModelOutcome checked(const std::string& name, ModelStatus status, SolutionCheck result, std::optional<double> objective)
{
    ModelOutcome checkedOutcome = outcome(status, 1);
    checkedOutcome.name = name;
    CheckedSolution check;
    check.result = result;
    check.objective = objective;
    checkedOutcome.check = check;
    return checkedOutcome;
}

// The checks of the solutions count, from this run and from the rows a resumed run keeps, and
// what they verified is what a .solu file of the run gets.
TEST(RunTotals, SolutionChecksCountInTheSummaryTheExitStatusAndTheVerifiedResults)
{
    RunTotals totals;
    totals.started = true;
    totals.add(checked("a.lp", ModelStatus::Optimal, SolutionCheck::Feasible, 0.3), Check::Unknown, true);
    totals.add(checked("b.lp", ModelStatus::TimeLimit, SolutionCheck::Feasible, -2), Check::Unknown, true);
    totals.add(checked("c.lp", ModelStatus::Infeasible, SolutionCheck::NoSolution, std::nullopt), Check::Unknown, true);
    totals.add(checked("d.lp", ModelStatus::Optimal, SolutionCheck::NotChecked, std::nullopt), Check::Unknown, true);
    totals.add(outcome(ModelStatus::Crashed, std::nullopt), Check::Unknown, true);  // no check at all
    // A kept row: an optimal answer whose solution broke the model.
    totals.addKept("e.lp,SCIP,v,optimal,5,,,,,1,0,,,,,1,h,t,3.0,wrong,infeasible,0.5,b,5,0.001");
    totals.addKept("f.lp,SCIP,v,node_limit,7,,,,,1,0,,,,,1,h,t,3.0,,feasible,0,,7,0.001");
    EXPECT_EQ(totals.count(SolutionCheck::Feasible), 3u);
    EXPECT_EQ(totals.count(SolutionCheck::Infeasible), 1u);
    EXPECT_EQ(totals.count(SolutionCheck::NoSolution), 1u);
    EXPECT_EQ(totals.count(SolutionCheck::NotChecked), 1u);
    EXPECT_EQ(totals.count(Check::Wrong), 1u);
    EXPECT_EQ(totals.exitStatus(), 1);
    EXPECT_NE(summaryText(totals).find("\n  verificação das soluções: feasible 3, infeasible 1, no_solution 1, "
                                       "not_checked 1\n"),
              std::string::npos)
        << summaryText(totals);
    EXPECT_EQ(soluText(totals.verified), "=opt= a 0.3\n=best= b -2\n=inf= c\n=best= f 7\n");

    RunTotals clean;
    clean.started = true;
    clean.add(checked("a.lp", ModelStatus::Optimal, SolutionCheck::Feasible, 1), Check::Unknown, true);
    EXPECT_EQ(clean.exitStatus(), 0);
    clean.add(checked("b.lp", ModelStatus::Optimal, SolutionCheck::Infeasible, 1), Check::Unknown, true);
    EXPECT_EQ(clean.exitStatus(), 1);
    RunTotals unsaved;
    unsaved.started = true;
    ModelOutcome lost = checked("a.lp", ModelStatus::Optimal, SolutionCheck::Feasible, 1);
    lost.check->unsaved = true;
    unsaved.add(lost, Check::Unknown, true);
    EXPECT_EQ(unsaved.exitStatus(), 1);
    EXPECT_NE(summaryText(unsaved).find("  soluções não gravadas: 1\n"), std::string::npos);
}

TEST(ProgressText, CountsPerCentElapsedAndRemainingTime)
{
    EXPECT_EQ(progressText({0, 300, 0, 0}, 0.2), "0/300 modelos (0%), 0:00:00 decorrido; 0 ótimos, 0 falhas");
    EXPECT_EQ(progressText({12, 300, 10, 1}, 12.4),
              "12/300 modelos (4%), 0:00:12 decorrido, faltam ~0:04:58; 10 ótimos, 1 falhas");
    EXPECT_EQ(progressText({299, 300, 250, 49}, 3 * 3600 + 125),
              "299/300 modelos (99%), 3:02:05 decorrido, faltam ~0:00:37; 250 ótimos, 49 falhas");
    EXPECT_EQ(progressText({5, 5, 5, 0}, 61), "5/5 modelos (100%), 0:01:01 decorrido; 5 ótimos, 0 falhas");
    EXPECT_EQ(progressText({0, 0, 0, 0}, 0), "0/0 modelos (100%), 0:00:00 decorrido; 0 ótimos, 0 falhas");
}

}  // namespace
