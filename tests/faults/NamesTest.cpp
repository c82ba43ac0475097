// Model names as the file system allows them: any bytes but '/' and NUL, up to 255 of
// them. The console shows them raw; the results file keeps six columns per row.
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "FaultSupport.h"
#include "Process.h"
#include "TempDir.h"

namespace {

TEST(ModelNames, RawOnTheConsoleAndQuotedOnlyWhereTheRowNeedsIt)
{
    // 255 bytes: the longest name the file system takes.
    const std::string longest = std::string(252, 'n') + ".lp";
    const std::string longestAccented = std::string(250, 'x') + "\xc3\xa9.lp";
    // Each name with its NOME field as it must stand in the file.
    const std::vector<std::pair<std::string, std::string>> names = {
        {"\xff\xfe inv\xe1lido.lp", "\xff\xfe inv\xe1lido.lp"},
        {"corte\xc3.lp", "corte\xc3.lp"},
        {"\xe2\x82.lp", "\xe2\x82.lp"},
        {longest, longest},
        {longestAccented, longestAccented},
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
    ASSERT_EQ(longest.size(), 255u);
    ASSERT_EQ(longestAccented.size(), 255u);

    // Name order is byte order, as std::string compares.
    TempDir models, output;
    std::map<std::string, std::pair<std::string, int>> listed;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int optimum = static_cast<int>(i) + 1;
        models.write(names[i].first, lpWithOptimum(optimum));
        listed[names[i].first] = {names[i].second, optimum};
    }
    const ProcessResult run = runLumbrix(quietOpt(models.path(), output.path()));

    std::string console = quietStart();
    std::string file = kHeader;
    std::vector<std::string> sorted;
    for (const auto& [name, row] : listed) {
        console += solvedBlock(sorted.size(), name, kOptimal, kLpReadLog);
        file += "SCIP;" + row.first + ";T;SOL OTIMA;" + std::to_string(row.second) + ",000000;R\r\n";
        sorted.push_back(name);
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
