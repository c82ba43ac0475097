// A run killed with SIGKILL at many moments: the results and details files must only ever
// hold the header and whole rows, and every model whose report the console has shown.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <random>

#include <signal.h>

#include "FaultSupport.h"
#include "Process.h"
#include "RunningProcess.h"
#include "TempDir.h"

namespace {

constexpr int kModels = 300;

std::string nameOf(int i)
{
    char name[16];
    std::snprintf(name, sizeof name, "m%03d.lp", i);
    return name;
}

// LPs and MIPs with known optima, and now and then a file the reader refuses, so that the
// rows have both shapes.
ExpectedRow expectedRow(int i)
{
    if (i % 10 == 9)
        return {nameOf(i), kReadError, "-"};
    return {nameOf(i), kOptimal, std::to_string(i + 1) + ",000000"};
}

class KilledRun : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_models = new TempDir;
        for (int i = 0; i < kModels; ++i) {
            const std::string text = i % 10 == 9 ? brokenModel() : i % 2 == 0 ? lpWithOptimum(i + 1) : mipWithOptimum(i + 1);
            s_models->write(nameOf(i), text);
        }
    }
    static void TearDownTestSuite()
    {
        delete s_models;
        s_models = nullptr;
    }

    RunningProcess* start(const TempDir& output, int outputPipeSize = 0)
    {
        ProcessOptions options;
        options.input = quietOpt(s_models->path(), output.path());
        m_run = std::make_unique<RunningProcess>(std::vector<std::string>{lumbrixBinary()}, options, outputPipeSize);
        return m_run.get();
    }

    // Checks what a run left behind, after it ended or was killed.
    void checkAfterEnd(const ProcessResult& run, const TempDir& output)
    {
        const std::size_t shown = completeReports(run.out);
        const std::string path = output.file("sol_stat.csv");
        if (!fileExists(path)) {
            EXPECT_EQ(shown, 0u) << "reports on the console but no results file";
            return;
        }
        const std::string text = readFile(path);
        std::vector<CsvRecord> records;
        std::string problem;
        ASSERT_TRUE(parseResultsFile(text, records, problem)) << problem << " in:\n" << text;
        ASSERT_TRUE(text.starts_with(kHeader)) << text;
        const std::size_t rows = records.size() - 1;
        EXPECT_GE(rows, shown) << "a report reached the console before its row reached the file";
        ASSERT_LE(rows, static_cast<std::size_t>(kModels));
        for (std::size_t i = 0; i < rows; ++i)
            ASSERT_EQ(rowMismatch(records[i + 1], expectedRow(static_cast<int>(i))), "") << "row " << i;
        checkDetails(output, shown, rows);
    }

    // The details file: whole lines only, written after the model's row and before its report.
    void checkDetails(const TempDir& output, std::size_t shown, std::size_t resultRows)
    {
        const std::string path = output.file("sol_detalhes.csv");
        if (!fileExists(path)) {
            EXPECT_EQ(shown, 0u) << "reports on the console but no details file";
            return;
        }
        const std::string text = readFile(path);
        std::vector<CsvRecord> records;
        std::string problem;
        ASSERT_TRUE(parseDetailsFile(text, records, problem)) << problem << " in:\n" << text;
        ASSERT_TRUE(text.starts_with(kDetailsHeader)) << text;
        const std::size_t rows = records.size() - 1;
        EXPECT_GE(rows, shown) << "a report reached the console before its details row";
        EXPECT_LE(rows, resultRows) << "a details row before its results row";
        for (std::size_t i = 0; i < rows; ++i) {
            const CsvRecord& record = records[i + 1];
            ASSERT_EQ(record.size(), 26u) << "row " << i;
            EXPECT_EQ(record[0], nameOf(static_cast<int>(i)));
            EXPECT_EQ(record[3], i % 10 == 9 ? "read_error" : "optimal") << "row " << i;
        }
    }

    static TempDir* s_models;
    std::unique_ptr<RunningProcess> m_run;
};

TempDir* KilledRun::s_models = nullptr;

TEST_F(KilledRun, ACompleteRunHoldsEveryRow)
{
    TempDir output;
    const ProcessResult run = start(output)->finish();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(completeReports(run.out), static_cast<std::size_t>(kModels));
    std::vector<ExpectedRow> rows;
    for (int i = 0; i < kModels; ++i)
        rows.push_back(expectedRow(i));
    EXPECT_TRUE(holdsRows(readFile(output.file("sol_stat.csv")), rows));
}

TEST_F(KilledRun, AfterSomeReports)
{
    for (const std::size_t reports : {0, 1, 2, 57, 150, 298}) {
        SCOPED_TRACE("killed after " + std::to_string(reports) + " reports");
        TempDir output;
        RunningProcess* run = start(output);
        // The output question is the last thing shown before the first model.
        ASSERT_TRUE(run->readUntil([reports](const std::string& out) {
            return out.find(kAskOutput) != std::string::npos && completeReports(out) >= reports;
        }));
        run->kill(SIGKILL);
        checkAfterEnd(run->finish(), output);
    }
}

TEST_F(KilledRun, AfterRandomDelays)
{
    // Moments spread over the length of a whole run on this machine.
    TempDir first;
    const auto begin = std::chrono::steady_clock::now();
    start(first)->finish();
    const double wholeRun = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();

    std::mt19937 random(20240607);
    std::uniform_real_distribution<double> moment(0, wholeRun);
    for (int i = 0; i < 8; ++i) {
        const double delay = moment(random);
        SCOPED_TRACE("killed after " + std::to_string(delay) + " s");
        TempDir output;
        RunningProcess* run = start(output);
        run->readFor(delay);
        run->kill(SIGKILL);
        checkAfterEnd(run->finish(), output);
    }
}

// The console pipe is kept full so that the program stops inside a write to it with a
// known part of its output shown: whatever that part reports must already be on file.
TEST_F(KilledRun, WhileTheConsoleIsFull)
{
    if (!systemTellsBlockedWrites())
        GTEST_SKIP() << "this system does not show which call a process waits in";
    TempDir first;
    const std::size_t wholeOutput = start(first)->finish().out.size();
    constexpr int kPipe = 4096;
    ASSERT_GT(wholeOutput, 4u * kPipe);

    std::mt19937 random(777);
    std::uniform_int_distribution<std::size_t> shown(0, wholeOutput - 2u * kPipe);
    for (int i = 0; i < 8; ++i) {
        const std::size_t taken = shown(random);
        SCOPED_TRACE("killed with " + std::to_string(taken) + " bytes read");
        TempDir output;
        RunningProcess* run = start(output, kPipe);
        const pid_t pid = run->pid();
        ASSERT_TRUE(run->readUntil(
            [taken, pid](const std::string& out) { return out.size() >= taken && isBlockedWritingOutput(pid); }, 120,
            taken));
        run->kill(SIGKILL);
        const ProcessResult result = run->finish();
        EXPECT_EQ(result.signal, SIGKILL);
        checkAfterEnd(result, output);
    }
}

}  // namespace
