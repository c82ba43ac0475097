// Model names as the file system allows them: any bytes but '/' and NUL, up to 255 of
// them. The console shows them raw; the results file keeps six columns per row.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "FaultSupport.h"
#include "Process.h"
#include "TempDir.h"

namespace {

TEST(ModelNames, RawOnTheConsoleAndQuotedOnlyWhereTheRowNeedsIt)
{
    // Each name with the NOME field as it must stand in the file.
    const std::vector<std::pair<std::string, std::string>> names = {
        {"\xff\xfe inv\xe1lido.lp", "\xff\xfe inv\xe1lido.lp"},
        {"corte\xc3.lp", "corte\xc3.lp"},
        {"\xe2\x82.lp", "\xe2\x82.lp"},
        {std::string(252, 'n') + ".lp", std::string(252, 'n') + ".lp"},
        {std::string(250, 'x') + "\xc3\xa9.lp", std::string(250, 'x') + "\xc3\xa9.lp"},
        {" com  brancos .lp", " com  brancos .lp"},
        {"-a.lp", "-a.lp"},
        {"--help.lp", "--help.lp"},
        {"a;b.lp", "\"a;b.lp\""},
        {";.lp", "\";.lp\""},
        {"aspas \"x\".lp", "\"aspas \"\"x\"\".lp\""},
        {"\"inicio.lp", "\"\"\"inicio.lp\""},
        {"linha\nquebrada.lp", "\"linha\nquebrada.lp\""},
        {"retorno\r.lp", "\"retorno\r.lp\""},
        {"-;\"\".lp", "\"-;\"\"\"\".lp\""},
    };
    TempDir models, output;
    std::vector<std::string> sorted;
    for (std::size_t i = 0; i < names.size(); ++i) {
        ASSERT_LE(names[i].first.size(), 255u);
        models.write(names[i].first, lpWithOptimum(static_cast<int>(i) + 1));
        sorted.push_back(names[i].first);
    }
    ASSERT_EQ(names[3].first.size(), 255u);
    ASSERT_EQ(names[4].first.size(), 255u);
    std::sort(sorted.begin(), sorted.end());

    const ProcessResult run = runLumbrix(quietOpt(models.path(), output.path()));
    std::string console = quietStart();
    std::string file = kHeader;
    for (std::size_t number = 0; number < sorted.size(); ++number) {
        const auto at = std::find_if(names.begin(), names.end(), [&](const auto& n) { return n.first == sorted[number]; });
        const int optimum = static_cast<int>(at - names.begin()) + 1;
        console += solvedBlock(number, at->first, kOptimal, kLpReadLog);
        file += "SCIP;" + at->second + ";T;SOL OTIMA;" + std::to_string(optimum) + ",000000;R\r\n";
    }
    EXPECT_EQ(withoutTimes(run.out), console + kPrompt + kBye);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.exitCode, 0);

    // The rows' bytes, with the two times put aside.
    const std::string written = readFile(output.file("sol_stat.csv"));
    std::string masked = std::regex_replace(written, std::regex(";[0-9]+,[0-9]{6};SOL OTIMA;"), ";T;SOL OTIMA;");
    masked = std::regex_replace(masked, std::regex(";[0-9]+,[0-9]{6}\r\n"), ";R\r\n");
    EXPECT_EQ(masked, file);

    // Read back as CSV, every row has six fields and gives the name back unchanged.
    std::vector<CsvRecord> records;
    std::string problem;
    ASSERT_TRUE(parseResultsFile(written, records, problem)) << problem;
    ASSERT_EQ(records.size(), sorted.size() + 1);
    for (std::size_t i = 1; i < records.size(); ++i) {
        ASSERT_EQ(records[i].size(), 6u) << "row " << i;
        EXPECT_EQ(records[i][1], sorted[i - 1]);
    }
}

}  // namespace
