// The results file after every model: whole, CR LF, never half a line, never lost.
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "TempDir.h"
#include "report/ResultRows.h"
#include "report/ResultsFile.h"
#include "shell/Settings.h"

namespace {

const std::string kHeader = "SOLVER;NOME;TEMPO;STATUS;Z;TEMPO LEITUR\r\n";

class ResultsFile : public testing::Test {
protected:
    void SetUp() override
    {
        g_resultRows.clear();
        g_solverName = "SCIP";
    }
    void TearDown() override
    {
        finishResultsFile();
        g_resultRows.clear();
    }

    // Reports one more model and writes the file, as the batch run does.
    std::string report(const std::string& row, const std::string& folder)
    {
        g_resultRows.emplace_back(row);
        testing::internal::CaptureStderr();
        writeResultsFile(folder);
        return testing::internal::GetCapturedStderr();
    }

    std::string lines(std::initializer_list<const char*> rows) const
    {
        std::string text = kHeader;
        for (const char* row : rows)
            text += std::string("SCIP;") + row + "\r\n";
        return text;
    }

    TempDir dir;
};

TEST_F(ResultsFile, HoldsTheHeaderAndEveryRowSoFar)
{
    const std::string file = dir.file("sol_stat.csv");
    EXPECT_EQ(report("a.lp;1,000000;SOL OTIMA;2,000000;0,000000", dir.path()), "");
    EXPECT_EQ(readFile(file), lines({"a.lp;1,000000;SOL OTIMA;2,000000;0,000000"}));
    EXPECT_EQ(report("b.lp;-;ERRO DE LEITURA;-;0,001000", dir.path()), "");
    EXPECT_EQ(report("c.lp;3,000000;PROBLEMA INFACTIVEL;100000000000000000000,000000;0,000000", dir.path()), "");
    EXPECT_EQ(readFile(file), lines({"a.lp;1,000000;SOL OTIMA;2,000000;0,000000", "b.lp;-;ERRO DE LEITURA;-;0,001000",
                                     "c.lp;3,000000;PROBLEMA INFACTIVEL;100000000000000000000,000000;0,000000"}));
    // Nothing but the results file is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(ResultsFile, TheSolverInFrontIsTheCurrentSetting)
{
    g_solverName = "GUROBI";
    report("a.lp;1,000000;SOL OTIMA;2,000000;0,000000", dir.path() + "/");
    EXPECT_EQ(readFile(dir.file("sol_stat.csv")), kHeader + "GUROBI;a.lp;1,000000;SOL OTIMA;2,000000;0,000000\r\n");
}

TEST_F(ResultsFile, AnOldFileIsReplacedNotOverwrittenInPlace)
{
    const std::string file = dir.write("sol_stat.csv", "old contents\r\n");
    // A second name of the old file shows whether its bytes were touched.
    ASSERT_EQ(link(file.c_str(), dir.file("previous.csv").c_str()), 0);
    report("a.lp;1,000000;SOL OTIMA;2,000000;0,000000", dir.path());
    EXPECT_EQ(readFile(file), lines({"a.lp;1,000000;SOL OTIMA;2,000000;0,000000"}));
    EXPECT_EQ(readFile(dir.file("previous.csv")), "old contents\r\n");
}

TEST_F(ResultsFile, ANewRunStartsAgainFromTheHeader)
{
    report("a.lp;1,000000;SOL OTIMA;2,000000;0,000000", dir.path());
    finishResultsFile();
    g_resultRows.clear();
    report("z.lp;1,000000;SOL OTIMA;5,000000;0,000000", dir.path());
    EXPECT_EQ(readFile(dir.file("sol_stat.csv")), lines({"z.lp;1,000000;SOL OTIMA;5,000000;0,000000"}));
}

TEST_F(ResultsFile, AFileRemovedDuringTheRunComesBackWhole)
{
    report("a.lp;1;S;2;0", dir.path());
    unlink(dir.file("sol_stat.csv").c_str());
    report("b.lp;1;S;2;0", dir.path());
    EXPECT_EQ(readFile(dir.file("sol_stat.csv")), lines({"a.lp;1;S;2;0", "b.lp;1;S;2;0"}));

    // Replaced by someone else's file: ours is written again in its place.
    std::filesystem::remove(dir.file("sol_stat.csv"));
    dir.write("sol_stat.csv", "foreign\r\n");
    report("c.lp;1;S;2;0", dir.path());
    EXPECT_EQ(readFile(dir.file("sol_stat.csv")), lines({"a.lp;1;S;2;0", "b.lp;1;S;2;0", "c.lp;1;S;2;0"}));
}

TEST_F(ResultsFile, AFailureIsReportedAndTheNextModelTriesAgain)
{
    const std::string out = dir.folder("saida");
    report("a.lp;1;S;2;0", out);
    std::filesystem::remove_all(out);
    EXPECT_EQ(report("b.lp;1;S;2;0", out), "Erro ao gravar " + out + "/sol_stat.csv: No such file or directory\n");
    EXPECT_EQ(report("c.lp;1;S;2;0", out), "Erro ao gravar " + out + "/sol_stat.csv: No such file or directory\n");
    std::filesystem::create_directory(out);
    EXPECT_EQ(report("d.lp;1;S;2;0", out), "");
    EXPECT_EQ(readFile(out + "/sol_stat.csv"), lines({"a.lp;1;S;2;0", "b.lp;1;S;2;0", "c.lp;1;S;2;0", "d.lp;1;S;2;0"}));
}

TEST_F(ResultsFile, AFolderInTheWayIsReported)
{
    dir.folder("sol_stat.csv/inside");
    EXPECT_EQ(report("a.lp;1;S;2;0", dir.path()),
              "Erro ao gravar " + dir.path() + "/sol_stat.csv: Is a directory\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
