// Rows of the details file, for programs.
#include <gtest/gtest.h>

#include "report/DetailsFile.h"
#include "report/RunFiles.h"

namespace {

RunDescription scipRun()
{
    RunDescription run;
    run.solver = "SCIP";
    run.solverVersion = "SCIP 9.2.2";
    run.host = "nó-1";
    run.startedAt = isoUtcTime(1796661338);
    run.lumbrixVersion = "3.0";
    return run;
}

TEST(DetailsRow, EveryColumnWithAPointAndEmptyFieldsForWhatIsNotKnown)
{
    ModelOutcome outcome;
    outcome.name = "mochila.lp";
    outcome.status = ModelStatus::TimeLimit;
    outcome.objective = 42;
    outcome.dualBound = 43.5;
    outcome.gap = 0.0357142857142857;
    outcome.nodes = 1234;
    outcome.lpIterations = 98765;
    outcome.solveSeconds = 60.0123;
    outcome.readSeconds = 0.001;
    RunDescription run = scipRun();
    run.timeLimit = 60;
    run.memoryLimitMb = 1024.5;
    run.jobs = 2;
    EXPECT_EQ(detailsRow(outcome, run, "ok"),
              "mochila.lp,SCIP,SCIP 9.2.2,time_limit,42,43.5,0.0357142857142857,1234,98765,60.0123,0.001,,,60,1024.5,2,"
              "nó-1,2026-12-07T16:35:38Z,3.0,ok,,,,,,");

    ModelOutcome unread;
    unread.name = "quebrado.lp";
    unread.status = ModelStatus::ReadError;
    unread.readSeconds = 0;
    EXPECT_EQ(detailsRow(unread, scipRun(), ""),
              "quebrado.lp,SCIP,SCIP 9.2.2,read_error,,,,,,,0,,,,,1,nó-1,2026-12-07T16:35:38Z,3.0,,,,,,,");
}

TEST(DetailsRow, QuotesAsRfc4180AndLeavesSolversInfinitiesOut)
{
    ModelOutcome outcome;
    outcome.name = "a,\"b\"\nc.lp";
    outcome.status = ModelStatus::Infeasible;
    outcome.objective = 1e20;
    outcome.dualBound = -1e100;
    outcome.wallSeconds = 0.25;
    outcome.peakMemoryMb = 12.5;
    RunDescription run = scipRun();
    run.solverVersion = "motor compatível com SCIP sobre o GLPK 5.0, teste";
    EXPECT_EQ(detailsRow(outcome, run, "unknown"),
              "\"a,\"\"b\"\"\nc.lp\",SCIP,\"motor compatível com SCIP sobre o GLPK 5.0, teste\",infeasible,,,,,,,,"
              "0.25,12.5,,,1,nó-1,2026-12-07T16:35:38Z,3.0,unknown,,,,,,");
}

TEST(DetailsRow, TheCheckOfTheSolutionInTheLastColumns)
{
    ModelOutcome outcome;
    outcome.name = "m.lp";
    outcome.status = ModelStatus::Optimal;
    outcome.objective = 0.3;
    CheckedSolution check;
    check.result = SolutionCheck::Infeasible;
    check.maxViolation = 1e-5;
    check.violated = "c,1";
    check.objective = 0.3;
    check.seconds = 0.0025;
    outcome.check = check;
    const std::string start = "m.lp,SCIP,SCIP 9.2.2,optimal,0.3,,,,,,,,,,,1,nó-1,2026-12-07T16:35:38Z,3.0,wrong,";
    EXPECT_EQ(detailsRow(outcome, scipRun(), "wrong"), start + "infeasible,1e-05,\"c,1\",0.3,0.0025,");
    outcome.check = CheckedSolution{};
    EXPECT_EQ(detailsRow(outcome, scipRun(), "wrong"), start + "no_solution,,,,,");
    outcome.check->result = SolutionCheck::NotChecked;
    outcome.check->reason = "not in the row";
    outcome.check->seconds = 0.5;
    EXPECT_EQ(detailsRow(outcome, scipRun(), "wrong"), start + "not_checked,,,,0.5,");
    outcome.check->result = SolutionCheck::Feasible;
    outcome.check->maxViolation = 0;
    EXPECT_EQ(detailsRow(outcome, scipRun(), "wrong"), start + "feasible,0,,,0.5,");
    EXPECT_EQ(detailsColumn("check_seconds"), 24u);
    EXPECT_EQ(notRunDetailsRow("x.lp"), "x.lp,,,not_run,,,,,,,,,,,,,,,,,,,,,,");
}

TEST(DetailsRow, TheRunsSettingsInTheLastColumn)
{
    RunDescription run = scipRun();
    run.settings = "@a;b.set;limits/gap=0,01";
    ModelOutcome outcome;
    outcome.name = "m.lp";
    outcome.status = ModelStatus::NodeLimit;
    EXPECT_EQ(detailsRow(outcome, run, ""),
              "m.lp,SCIP,SCIP 9.2.2,node_limit,,,,,,,,,,,,1,nó-1,2026-12-07T16:35:38Z,3.0,,,,,,,\"@a;b.set;limits/gap=0,01\"");
    EXPECT_EQ(detailsColumn("settings"), 25u);
}

// Rows of the version before the settings column, and of the one before the solution
// check's columns, get empty fields at the end; a quoted comma is no column.
TEST(DetailsRow, RowsOfEarlierVersionsGetTheMissingColumnsEmpty)
{
    const std::string row25 = "\"a,b.lp\",SCIP,v,optimal,1,,,,,,,,,,,1,h,t,3.0,ok,feasible,0,,1,0.5";
    const std::string row20 = "c.lp,SCIP,v,optimal,1,,,,,,,,,,,1,h,t,3.0,ok";
    EXPECT_EQ(detailsLineWithEveryColumn(row25 + "\n"), row25 + ",\n");
    EXPECT_EQ(detailsLineWithEveryColumn(row20 + "\n"), row20 + ",,,,,,\n");
    EXPECT_EQ(detailsLineWithEveryColumn(row25), row25 + ",");
    const std::string current = row25 + ",limits/nodes=1\n";
    EXPECT_EQ(detailsLineWithEveryColumn(current), current);
}

TEST(DetailsRow, StatusCodes)
{
    const std::pair<ModelStatus, const char*> codes[] = {
        {ModelStatus::Optimal, "optimal"},
        {ModelStatus::Infeasible, "infeasible"},
        {ModelStatus::Unbounded, "unbounded"},
        {ModelStatus::InfeasibleOrUnbounded, "infeasible_or_unbounded"},
        {ModelStatus::TimeLimit, "time_limit"},
        {ModelStatus::HardTimeLimit, "time_limit"},
        {ModelStatus::MemoryLimit, "memory_limit"},
        {ModelStatus::OutOfMemory, "memory_limit"},
        {ModelStatus::NodeLimit, "node_limit"},
        {ModelStatus::UserInterrupt, "interrupted"},
        {ModelStatus::Terminated, "interrupted"},
        {ModelStatus::ReadError, "read_error"},
        {ModelStatus::SolverError, "solver_error"},
        {ModelStatus::Crashed, "crashed"},
        {ModelStatus::GapLimit, "other"},
        {ModelStatus::Suboptimal, "other"},
        {ModelStatus::Unknown, "other"},
    };
    for (const auto& [status, code] : codes)
        EXPECT_STREQ(statusCode(status), code) << static_cast<int>(status);
}

// A name that is not UTF-8 (made under another character set) is written so that the file
// stays UTF-8, and reads back as the same name, as resume and merge need it.
TEST(DetailsRow, ANameThatIsNotUtf8IsEscapedAndReadsBack)
{
    const std::pair<std::string, std::string> cases[] = {
        {"s\xe3o.lp", "s\\xe3o.lp"},                            // Latin-1
        {"a\\b\xff.lp", "a\\\\b\\xff.lp"},                      // a '\' of such a name doubles
        {"\xed\xa0\x80.lp", "\\xed\\xa0\\x80.lp"},              // a surrogate
        {"\xc0\xaf.lp", "\\xc0\\xaf.lp"},                       // an overlong '/'
        {"\xf4\x90\x80\x80.lp", "\\xf4\\x90\\x80\\x80.lp"},     // past U+10FFFF
        {"x\xe3\x81", "x\\xe3\\x81"},                           // cut short
        {"\xe3\xe3\x81\x82.lp", "\\xe3\xe3\x81\x82.lp"},        // a good character after a bad byte
        {"\x80,\".lp", "\"\\x80,\"\".lp\""},                    // escaped, then quoted
    };
    ModelOutcome outcome;
    outcome.status = ModelStatus::Optimal;
    for (const auto& [name, field] : cases) {
        SCOPED_TRACE(field);
        outcome.name = name;
        const std::string row = detailsRow(outcome, scipRun(), "");
        EXPECT_TRUE(row.starts_with(field + ",SCIP,SCIP 9.2.2,optimal,")) << row;
        EXPECT_EQ(detailsLineModel(row + "\n"), name);
        EXPECT_EQ(notRunDetailsRow(name), field + ",,,not_run" + std::string(22, ','));
        EXPECT_EQ(detailsLineModel(notRunDetailsRow(name) + "\n"), name);
    }
    // Valid names without a backslash are written as they are; with one, the backslash doubles,
    // so that no valid name can take the field of one that is not UTF-8.
    const std::pair<std::string, std::string> valid[] = {{"são.lp", "são.lp"},
                                                         {"\xe3\x81\x82\xf0\x9f\x98\x80.lp", "\xe3\x81\x82\xf0\x9f\x98\x80.lp"},
                                                         {"c:\\x41\\n.lp", "c:\\\\x41\\\\n.lp"},
                                                         {"s\\xe3o.lp", "s\\\\xe3o.lp"}};
    for (const auto& [name, field] : valid) {
        SCOPED_TRACE(name);
        outcome.name = name;
        EXPECT_TRUE(detailsRow(outcome, scipRun(), "").starts_with(field + ",SCIP,")) << detailsRow(outcome, scipRun(), "");
        EXPECT_EQ(detailsLineModel(detailsRow(outcome, scipRun(), "") + "\n"), name);
    }
}

}  // namespace
