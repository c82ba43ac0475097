// The results file after every model: whole, CR LF, never half a line, never lost.
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "TempDir.h"
#include "report/ResultsFile.h"

namespace {

const std::string kHeader = "SOLVER;NOME;TEMPO;STATUS;Z;TEMPO LEITUR\r\n";

class ResultsFileTest : public testing::Test {
protected:
    std::string lines(std::initializer_list<const char*> rows) const
    {
        std::string text = kHeader;
        for (const char* row : rows)
            text += std::string("SCIP;") + row + "\r\n";
        return text;
    }

    TempDir dir;
};

TEST_F(ResultsFileTest, HoldsTheHeaderAndEveryRowSoFar)
{
    const std::string file = dir.file("sol_stat.csv");
    ResultsFile results(dir.path(), "SCIP");
    EXPECT_EQ(results.create(), 0);
    EXPECT_EQ(readFile(file), kHeader);
    EXPECT_EQ(results.append("a.lp;1,000000;SOL OTIMA;2,000000;0,000000"), 0);
    EXPECT_EQ(readFile(file), lines({"a.lp;1,000000;SOL OTIMA;2,000000;0,000000"}));
    EXPECT_EQ(results.append("b.lp;-;ERRO DE LEITURA;-;0,001000"), 0);
    EXPECT_EQ(results.append("c.lp;3,000000;PROBLEMA INFACTIVEL;100000000000000000000,000000;0,000000"), 0);
    EXPECT_EQ(readFile(file), lines({"a.lp;1,000000;SOL OTIMA;2,000000;0,000000", "b.lp;-;ERRO DE LEITURA;-;0,001000",
                                     "c.lp;3,000000;PROBLEMA INFACTIVEL;100000000000000000000,000000;0,000000"}));
    // Nothing but the results file is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(ResultsFileTest, TheSolverInFrontIsTheRunsSolver)
{
    ResultsFile results(dir.path() + "/", "GUROBI");
    EXPECT_EQ(results.create(), 0);
    EXPECT_EQ(results.append("a.lp;1,000000;SOL OTIMA;2,000000;0,000000"), 0);
    EXPECT_EQ(readFile(dir.file("sol_stat.csv")), kHeader + "GUROBI;a.lp;1,000000;SOL OTIMA;2,000000;0,000000\r\n");
}

TEST_F(ResultsFileTest, AnOldFileIsReplacedNotOverwrittenInPlace)
{
    const std::string file = dir.write("sol_stat.csv", "old contents\r\n");
    // A second name of the old file shows whether its bytes were touched.
    ASSERT_EQ(link(file.c_str(), dir.file("previous.csv").c_str()), 0);
    ResultsFile results(dir.path(), "SCIP");
    EXPECT_EQ(results.create(), 0);
    EXPECT_EQ(readFile(file), kHeader);
    EXPECT_EQ(readFile(dir.file("previous.csv")), "old contents\r\n");
}

TEST_F(ResultsFileTest, ANewRunStartsAgainFromTheHeader)
{
    {
        ResultsFile first(dir.path(), "SCIP");
        EXPECT_EQ(first.create(), 0);
        EXPECT_EQ(first.append("a.lp;1,000000;SOL OTIMA;2,000000;0,000000"), 0);
    }
    ResultsFile second(dir.path(), "SCIP");
    EXPECT_EQ(second.create(), 0);
    EXPECT_EQ(second.append("z.lp;1,000000;SOL OTIMA;5,000000;0,000000"), 0);
    EXPECT_EQ(readFile(dir.file("sol_stat.csv")), lines({"z.lp;1,000000;SOL OTIMA;5,000000;0,000000"}));
}

TEST_F(ResultsFileTest, AFileRemovedDuringTheRunComesBackWhole)
{
    ResultsFile results(dir.path(), "SCIP");
    EXPECT_EQ(results.create(), 0);
    EXPECT_EQ(results.append("a.lp;1;S;2;0"), 0);
    unlink(dir.file("sol_stat.csv").c_str());
    EXPECT_EQ(results.append("b.lp;1;S;2;0"), 0);
    EXPECT_EQ(readFile(dir.file("sol_stat.csv")), lines({"a.lp;1;S;2;0", "b.lp;1;S;2;0"}));

    // Replaced by someone else's file: ours is written again in its place.
    std::filesystem::remove(dir.file("sol_stat.csv"));
    dir.write("sol_stat.csv", "foreign\r\n");
    EXPECT_EQ(results.append("c.lp;1;S;2;0"), 0);
    EXPECT_EQ(readFile(dir.file("sol_stat.csv")), lines({"a.lp;1;S;2;0", "b.lp;1;S;2;0", "c.lp;1;S;2;0"}));
}

TEST_F(ResultsFileTest, AFailureIsReturnedAndTheNextRowTriesAgain)
{
    const std::string out = dir.folder("saida");
    ResultsFile results(out, "SCIP");
    EXPECT_EQ(results.create(), 0);
    EXPECT_EQ(results.append("a.lp;1;S;2;0"), 0);
    std::filesystem::remove_all(out);
    EXPECT_EQ(results.append("b.lp;1;S;2;0"), ENOENT);
    EXPECT_EQ(results.append("c.lp;1;S;2;0"), ENOENT);
    std::filesystem::create_directory(out);
    EXPECT_EQ(results.append("d.lp;1;S;2;0"), 0);
    EXPECT_EQ(readFile(out + "/sol_stat.csv"), lines({"a.lp;1;S;2;0", "b.lp;1;S;2;0", "c.lp;1;S;2;0", "d.lp;1;S;2;0"}));
}

TEST_F(ResultsFileTest, AFolderInTheWayIsReported)
{
    dir.folder("sol_stat.csv/inside");
    ResultsFile results(dir.path(), "SCIP");
    EXPECT_EQ(results.create(), EISDIR);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
