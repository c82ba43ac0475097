// Every model kind end to end: the same models as LP, fixed MPS and free MPS, each plain,
// gzipped and bzip2ed, give the same answers and match their known results by stem; files
// that are not what their names say are read errors naming the file; the shell keeps its
// rule.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>


#include "FaultSupport.h"
#include "Process.h"
#include "Compressed.h"
#include "TempDir.h"

namespace {

const std::string kFormats = std::string(LUMBRIX_SOURCE_DIR) + "/tests/cli/formats/";

ProcessResult lumbrix(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), lumbrixBinary());
    return runProcess(arguments);
}

// Rows of sol_stat.csv by model name: status and Z.
std::map<std::string, std::pair<std::string, std::string>> resultsByName(const std::string& file)
{
    std::vector<CsvRecord> rows;
    std::string problem;
    EXPECT_TRUE(parseResultsFile(readFile(file), rows, problem)) << problem;
    std::map<std::string, std::pair<std::string, std::string>> byName;
    for (std::size_t k = 1; k < rows.size(); ++k)
        byName[rows[k][1]] = {rows[k][3], rows[k][4]};
    return byName;
}

TEST(ModelFormats, EveryKindGivesTheSameAnswer)
{
    TempDir models, output, other;
    struct Known {
        const char* model;
        const char* status;
        const char* z;
        const char* solu;
    };
    const std::vector<Known> known = {
        {"diet", "SOL OTIMA", "13,500000", "=opt= {} 13.5"},
        {"plan", "SOL OTIMA", "27,000000", "=opt= {} 27"},
        {"knapsack", "SOL OTIMA", "42,000000", "=opt= {} 42"},
        {"none", "PROBLEMA INFACTIVEL", "100000000000000000000,000000", "=inf= {}"},
    };
    std::string solu;
    std::vector<std::pair<std::string, const Known*>> files;
    for (const Known& model : known) {
        for (const std::string& name : {std::string(model.model) + ".lp", std::string(model.model) + "-fixed.mps",
                                       std::string(model.model) + "-free.mps"}) {
            const std::string text = readFile(kFormats + name);
            models.write(name, text);
            models.write(name + ".gz", gzipped(text));
            models.write(name + ".bz2", bzipped(text));
            for (const std::string& file : {name, name + ".gz", name + ".bz2"})
                files.emplace_back(file, &model);
            // MIPLIB's .solu files name "air04.mps.gz" "air04".
            std::string line = model.solu;
            line.replace(line.find("{}"), 2, name.substr(0, name.find('.')));
            solu += line + "\n";
        }
    }
    const ProcessResult run = lumbrix({"opt", models.path(), output.path(), "--quiet", "--solu",
                                       other.write("known.solu", solu)});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("verificação (.solu): ok 36, wrong 0, better 0, unknown 0\n"), std::string::npos) << run.err;
    const auto results = resultsByName(output.file("sol_stat.csv"));
    EXPECT_EQ(results.size(), files.size());
    for (const auto& [file, model] : files) {
        ASSERT_TRUE(results.count(file)) << file;
        EXPECT_EQ(results.at(file).first, model->status) << file;
        EXPECT_EQ(results.at(file).second, model->z) << file;
    }
}

// A file that is not what its name says is ERRO DE LEITURA, with the reason naming it on
// standard error; the run goes on with the next model.
TEST(ModelFormats, FilesNotWhatTheirNamesSayAreReadErrors)
{
#ifndef LUMBRIX_SCIP_COMPAT
    GTEST_SKIP() << "the reasons are the engine's";
#endif
    TempDir models, output;
    const std::string lp = readFile(kFormats + "diet.lp");
    const std::string gz = gzipped(readFile(kFormats + "diet-free.mps"));
    const std::string lpAsMps = models.write("a-lp-as.mps", lp);
    const std::string truncated = models.write("b-truncated.mps.gz", gz.substr(0, gz.size() / 2));
    const std::string plain = models.write("c-plain.lp.bz2", lp);
    models.write("d-good.lp.gz", gzipped(lp));
    const ProcessResult run = lumbrix({"opt", models.path(), output.path(), "--quiet"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_FALSE(run.timedOut);
    const auto results = resultsByName(output.file("sol_stat.csv"));
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results.at("a-lp-as.mps").first, kReadError);
    EXPECT_EQ(results.at("b-truncated.mps.gz").first, kReadError);
    EXPECT_EQ(results.at("c-plain.lp.bz2").first, kReadError);
    EXPECT_EQ(results.at("d-good.lp.gz"), std::make_pair(kOptimal, std::string("13,500000")));
    for (const std::string& line : {
             "error reading file <" + lpAsMps + ">: " + lpAsMps + ":1: Syntax error: an MPS file starts with a NAME line\n",
             "error reading file <" + truncated + ">: " + truncated
                 + ": the gzip data ends before the end of its stream (truncated file?)\n",
             "error reading file <" + plain + ">: " + plain
                 + ": not bzip2 data (the file does not start as a bzip2 file does)\n"})
        EXPECT_NE(run.err.find(line), std::string::npos) << line << "\nin\n" << run.err;
}

// At the shell only names that end in "lp" are models, as ever; the command line takes the
// other kinds too, and both number every entry alike.
TEST(ModelFormats, TheShellKeepsItsRule)
{
    TempDir models, atShell, fromCommandLine;
    const std::string lp = readFile(kFormats + "diet.lp");
    models.write("a.lp", lp);
    models.write("b.mps", readFile(kFormats + "diet-free.mps"));
    models.write("c.lp.gz", gzipped(lp));
    models.write("d.xlp", lp);
    const ProcessResult shell = runLumbrix(quietOpt(models.path(), atShell.path()));
    EXPECT_EQ(shell.exitCode, 0) << shell.err;
    const auto shellRows = resultsByName(atShell.file("sol_stat.csv"));
    EXPECT_EQ(shellRows.size(), 2u);
    EXPECT_TRUE(shellRows.count("a.lp"));
    EXPECT_TRUE(shellRows.count("d.xlp"));  // a name ending in "lp" is handed to the solver
    EXPECT_NE(shell.out.find("MODELO 3 \n"), std::string::npos) << shell.out;

    const ProcessResult run = lumbrix({"opt", models.path(), fromCommandLine.path(), "--quiet"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const auto rows = resultsByName(fromCommandLine.file("sol_stat.csv"));
    EXPECT_EQ(rows.size(), 3u);
    for (const char* name : {"a.lp", "b.mps", "c.lp.gz"})
        EXPECT_EQ(rows.at(name), std::make_pair(kOptimal, std::string("13,500000"))) << name;
    EXPECT_EQ(readFile(fromCommandLine.file("sol_modelos.txt")), "0\ta.lp\n1\tb.mps\n2\tc.lp.gz\n");
}

// Gurobi reads MPS and compressed files itself: it gets the file under its own name, and
// chooses its reader by that name. (The test double reads LP and MPS, gzipped too.)
TEST(ModelFormats, GurobiGetsTheFilesAsTheyAre)
{
    TempDir models, output, logs;
    const std::string mps = readFile(kFormats + "diet-free.mps");
    models.write("a.lp", readFile(kFormats + "diet.lp"));
    models.write("b.mps", mps);
    models.write("c.mps.gz", gzipped(mps));
    ProcessOptions options;
    options.environment = {{"LD_LIBRARY_PATH", GUROBI_DOUBLE_DIR}, {"GRB_DOUBLE_LOG", logs.file("calls.log")}};
    const ProcessResult run =
        runProcess({lumbrixBinary(), "opt", models.path(), output.path(), "--quiet", "--solver", "gurobi"}, options);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const auto rows = resultsByName(output.file("sol_stat.csv"));
    ASSERT_EQ(rows.size(), 3u);
    for (const char* name : {"a.lp", "b.mps", "c.mps.gz"}) {
        EXPECT_EQ(rows.at(name), std::make_pair(kOptimal, std::string("13,500000"))) << name;
        EXPECT_NE(readFile(logs.file("calls.log")).find(" " + models.file(name) + " -> model"), std::string::npos)
            << name;
    }
}

}  // namespace
