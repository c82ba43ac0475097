// An output folder where the results file cannot be written, or that goes away during a
// run: each failed write is named on standard error, the run goes on, nothing is half
// written, and a later write that can succeed brings the whole file back.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FaultSupport.h"
#include "Process.h"
#include "RunningProcess.h"
#include "TempDir.h"

namespace {

namespace fs = std::filesystem;

std::string writeFailure(const std::string& folder, const std::string& reason)
{
    return "Erro ao gravar " + folder + "/sol_stat.csv: " + reason + "\n";
}

std::string repeated(const std::string& text, std::size_t times)
{
    std::string all;
    for (std::size_t i = 0; i < times; ++i)
        all += text;
    return all;
}

// Hours of solving with nothing kept: the run does not start.
TEST(UnwritableOutput, NothingIsSolvedWhenTheResultsFileCannotBeCreated)
{
    TempDir models, output;
    chmod(models.path().c_str(), 0755);
    models.write("a.lp", lpWithOptimum(3));
    models.folder("b-pasta");
    models.write("c.lp", mipWithOptimum(4));
    models.write("d.lp", lpWithOptimum(5));
    output.write("sol_stat.csv", "de antes\r\n");
    chmod(output.path().c_str(), 0555);

    const ProcessResult run = runAsNobody(quietOpt(models.path(), output.path()));
    if (run.exitCode == 125)
        GTEST_SKIP() << "cannot drop privileges here";

    EXPECT_EQ(run.out, quietStart() + kPrompt + kBye);
    EXPECT_EQ(run.err, writeFailure(output.path(), "Permission denied"));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(readFile(output.file("sol_stat.csv")), "de antes\r\n");
    EXPECT_EQ(folderEntries(output.path()), std::vector<std::string>{"sol_stat.csv"});
}

TEST(UnwritableOutput, AWritableResultsFileInAClosedFolderIsRewrittenInPlace)
{
    TempDir models, output;
    chmod(models.path().c_str(), 0755);
    models.write("a.lp", lpWithOptimum(3));
    models.write("b.lp", lpWithOptimum(5));
    output.write("sol_stat.csv", "de antes\r\n");
    chmod(output.file("sol_stat.csv").c_str(), 0666);
    chmod(output.path().c_str(), 0555);

    const ProcessResult run = runAsNobody(quietOpt(models.path(), output.path()));
    if (run.exitCode == 125)
        GTEST_SKIP() << "cannot drop privileges here";

    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(holdsRows(readFile(output.file("sol_stat.csv")),
                          {{"a.lp", kOptimal, "3,000000"}, {"b.lp", kOptimal, "5,000000"}}));
    EXPECT_EQ(folderEntries(output.path()), std::vector<std::string>{"sol_stat.csv"});
}

TEST(UnwritableOutput, AFolderInThePlaceOfTheResultsFile)
{
    TempDir models, output;
    models.write("a.lp", lpWithOptimum(3));
    models.write("b.lp", lpWithOptimum(4));
    output.write("sol_stat.csv/dentro", "x");
    const ProcessResult run = runLumbrix(quietOpt(models.path(), output.path()));
    EXPECT_EQ(run.out, quietStart() + kPrompt + kBye);
    EXPECT_EQ(run.err, writeFailure(output.path(), "Is a directory"));
    EXPECT_EQ(run.exitCode, 0);
    // The new file written beside it for the swap is gone again.
    EXPECT_EQ(folderEntries(output.path()), std::vector<std::string>{"sol_stat.csv"});
    EXPECT_EQ(readFile(output.file("sol_stat.csv/dentro")), "x");
}

// Limits the size of files that this process and its children write, the way a full disk
// does; a write past the limit then fails with EFBIG instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_ok = getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_ok = m_ok && setrlimit(RLIMIT_FSIZE, &limit) == 0;
        m_oldHandler = signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit()
    {
        signal(SIGXFSZ, m_oldHandler);
        setrlimit(RLIMIT_FSIZE, &m_old);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    bool m_ok = false;
    sighandler_t m_oldHandler = SIG_DFL;
};

TEST(UnwritableOutput, AFullDiskLeavesOnlyWholeRows)
{
    TempDir models, output;
    constexpr int kCount = 20;
    std::vector<ExpectedRow> all;
    for (int i = 0; i < kCount; ++i) {
        const std::string name = "modelo-" + std::to_string(10 + i) + ".lp";
        models.write(name, lpWithOptimum(i));
        all.push_back({name, kOptimal, std::to_string(i) + ",000000"});
    }
    constexpr rlim_t kLimit = 400;  // room for the header and a few rows
    ProcessResult run;
    {
        FileSizeLimit limit(kLimit);
        ASSERT_TRUE(limit.ok());
        run = runLumbrix(quietOpt(models.path(), output.path()));
    }
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(completeReports(run.out), static_cast<std::size_t>(kCount));

    const std::string text = readFile(output.file("sol_stat.csv"));
    EXPECT_LE(text.size(), kLimit);
    std::vector<CsvRecord> records;
    std::string problem;
    ASSERT_TRUE(parseResultsFile(text, records, problem)) << problem << " in:\n" << text;
    const std::size_t rows = records.size() - 1;
    ASSERT_GT(rows, 0u);
    ASSERT_LT(rows, static_cast<std::size_t>(kCount));
    EXPECT_TRUE(holdsRows(text, std::vector<ExpectedRow>(all.begin(), all.begin() + static_cast<long>(rows))));
    // Once the file is full every later model fails, and tries the whole file again.
    EXPECT_EQ(run.err, repeated(writeFailure(output.path(), "File too large"), kCount - rows));
    // The details file fills up too, silently at the shell, and keeps only whole lines.
    EXPECT_EQ(folderEntries(output.path()), (std::vector<std::string>{"sol_detalhes.csv", "sol_stat.csv"}));
    const std::string details = readFile(output.file("sol_detalhes.csv"));
    EXPECT_LE(details.size(), kLimit);
    EXPECT_TRUE(details.starts_with("model,solver,")) << details;
    EXPECT_TRUE(details.ends_with("\n")) << details;
}

// The run's window: a model that a 1 s time limit stops, solved while the test changes
// the output folder.
TEST(OutputFolderGone, TheRunGoesOnAndARecreatedFolderGetsTheWholeFile)
{
    TempDir models, output;
    const std::vector<ExpectedRow> rows = {
        {"0.lp", kOptimal, "1,000000"}, {"1-dificil.lp", kTimeLimit, kAnyNumber}, {"2.lp", kOptimal, "3,000000"},
        {"3-dificil.lp", kTimeLimit, kAnyNumber}, {"4.lp", kOptimal, "5,000000"}, {"5-dificil.lp", kTimeLimit, kAnyNumber},
        {"6.lp", kOptimal, "7,000000"},
    };
    for (std::size_t i = 0; i < rows.size(); ++i)
        models.write(rows[i].name, rows[i].status == kTimeLimit ? hardModel() : lpWithOptimum(static_cast<int>(i) + 1));

    ProcessOptions options;
    options.input = quietOpt(models.path(), output.path(), "1");
    RunningProcess run({lumbrixBinary()}, options);
    const auto reportsShown = [](std::size_t count) {
        return [count](const std::string& out) { return completeReports(out) >= count; };
    };
    // Model 0 is on file and model 1 is being solved.
    ASSERT_TRUE(run.readUntil(reportsShown(1)));
    ASSERT_TRUE(fs::remove_all(output.path()) > 0);
    // Models 1 and 2 could not be written; model 3 is being solved.
    ASSERT_TRUE(run.readUntil(reportsShown(3)));
    EXPECT_FALSE(fileExists(output.path()));
    ASSERT_TRUE(fs::create_directory(output.path()));
    // Model 3 brought the file back whole, model 4 was added, model 5 is being solved.
    ASSERT_TRUE(run.readUntil(reportsShown(5)));
    const std::string restored = readFile(output.file("sol_stat.csv"));
    // Someone else's file in its place is not added to but replaced.
    ASSERT_TRUE(fs::remove(output.file("sol_stat.csv")));
    output.write("sol_stat.csv", "outro arquivo\r\n");
    const ProcessResult result = run.finish();

    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, repeated(writeFailure(output.path(), "No such file or directory"), 2));
    std::string expected = quietStart(true);
    for (std::size_t i = 0; i < rows.size(); ++i)
        expected += solvedBlock(i, rows[i].name, rows[i].status, i % 2 == 0 ? kLpReadLog : kHardReadLog);
    EXPECT_EQ(withoutTimes(result.out), expected + kPrompt + kBye);
    EXPECT_TRUE(holdsRows(readFile(output.file("sol_stat.csv")), rows));
    EXPECT_TRUE(holdsRows(restored, std::vector<ExpectedRow>(rows.begin(), rows.begin() + 5)));
}

// Another program may empty the results file, or add to it, where it stands (same file,
// same inode) while the run goes on. The next write must still leave the header and
// every row so far, as if the file were written whole.
TEST(ResultsFileChangedInPlace, TheNextWriteGivesTheWholeFileBack)
{
    TempDir models, output;
    const std::vector<ExpectedRow> rows = {
        {"0.lp", kOptimal, "1,000000"}, {"1-dificil.lp", kTimeLimit, kAnyNumber}, {"2.lp", kOptimal, "3,000000"},
        {"3-dificil.lp", kTimeLimit, kAnyNumber}, {"4.lp", kOptimal, "5,000000"},
    };
    for (std::size_t i = 0; i < rows.size(); ++i)
        models.write(rows[i].name, rows[i].status == kTimeLimit ? hardModel() : lpWithOptimum(static_cast<int>(i) + 1));
    const std::string path = output.file("sol_stat.csv");

    ProcessOptions options;
    options.input = quietOpt(models.path(), output.path(), "1");
    RunningProcess run({lumbrixBinary()}, options);
    // Emptied while model 1 is solved.
    ASSERT_TRUE(run.readUntil([](const std::string& out) { return completeReports(out) >= 1; }));
    ASSERT_EQ(truncate(path.c_str(), 0), 0);
    // Added to while model 3 is solved.
    ASSERT_TRUE(run.readUntil([](const std::string& out) { return completeReports(out) >= 3; }));
    const std::string afterEmptied = readFile(path);
    {
        std::ofstream note(path, std::ios::binary | std::ios::app);
        note << "nota de outro programa\r\n";
    }
    const ProcessResult result = run.finish();

    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(holdsRows(afterEmptied, std::vector<ExpectedRow>(rows.begin(), rows.begin() + 3)));
    EXPECT_TRUE(holdsRows(readFile(path), rows));
}

}  // namespace
