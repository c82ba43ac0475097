// The pure parts of shards, the list of models and the reading of table files back.
#include <gtest/gtest.h>

#include "report/RunFiles.h"

namespace {

TEST(RunFiles, ShardsAndTheirFileNames)
{
    ASSERT_TRUE(parseShard("2/3"));
    EXPECT_EQ(*parseShard("2/3"), (Shard{2, 3}));
    for (const char* bad : {"0/3", "4/3", "3", "/3", "2/", "a/3", "2/3x", "+2/3", "-1/3", " 2/3", "2/0"})
        EXPECT_FALSE(parseShard(bad)) << bad;
    const Shard second{2, 3};
    EXPECT_TRUE(second.owns(1));
    EXPECT_TRUE(second.owns(4));
    EXPECT_FALSE(second.owns(0));
    EXPECT_FALSE(second.owns(2));

    EXPECT_EQ(resultsFileName(Shard{12, 40}), "sol_stat.shard-12-of-40.csv");
    EXPECT_EQ(detailsFileName(std::nullopt), "sol_detalhes.csv");
    const auto file = parseShardFileName("sol_detalhes.shard-12-of-40.csv");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->table, ShardTable::Details);
    EXPECT_EQ(file->shard, (Shard{12, 40}));
    for (const char* other : {"sol_stat.shard-5-of-4.csv", "sol_stat.shard-1-of-4.csv.bak", "sol_stat.shard-x-of-4.csv"})
        EXPECT_FALSE(parseShardFileName(other)) << other;

    for (const char* own : {"sol_stat.csv", ".sol_stat.csv.tmp", "sol_detalhes.shard-1-of-2.csv",
                            ".sol_stat.shard-1-of-2.csv.tmp", "sol_modelos.txt", "sol_modelos.txt.vm.42.tmp",
                            "sol_slurm_opt.sh", "sol_slurm_opt-17_3.out", "solutions"})
        EXPECT_TRUE(isRunOwnFile(own)) << own;
    for (const char* model : {"sol_stat.lp", ".tmp", "sol.lp", "x.sol_stat.csv", "solutions.lp"})
        EXPECT_FALSE(isRunOwnFile(model)) << model;
}

TEST(RunFiles, TheListOfModelsReadsBackWhateverTheNames)
{
    const std::vector<ListedModel> models = {{0, "a.lp"}, {3, "linha\nnova\\.lp"}, {12, "tab\tem;\"x\".lp"}};
    const std::string text = manifestText(models);
    EXPECT_EQ(text, "0\ta.lp\n3\tlinha\\nnova\\\\.lp\n12\ttab\tem;\"x\".lp\n");
    const auto back = parseManifest(text);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ((*back)[i].number, models[i].number);
        EXPECT_EQ((*back)[i].name, models[i].name);
    }
    for (const char* bad : {"0\ta.lp", "x\ta.lp\n", "1\tb\\x.lp\n", "1\tb\\\n"})
        EXPECT_FALSE(parseManifest(bad)) << bad;
}

TEST(RunFiles, TableLinesBackWithoutALineCutByAKill)
{
    const std::string results = "SOLVER;NOME;TEMPO;STATUS;Z;TEMPO LEITUR\r\n"
                                "SCIP;a.lp;1;SOL OTIMA;2;0\r\n"
                                "SCIP;\"b\r\n;\"\"c\"\".lp\";-;ERRO DE LEITURA;-;-\r\n"
                                "SCIP;c.lp;1;SOL";
    const std::vector<std::string> lines = resultsFileLines(results);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "SCIP;\"b\r\n;\"\"c\"\".lp\";-;ERRO DE LEITURA;-;-\r\n");
    EXPECT_EQ(resultsLineModel(lines[0]), "a.lp");
    EXPECT_EQ(resultsLineModel(lines[1]), "b\r\n;\"c\".lp");

    const std::string details = "model,solver\n\"x,\n\"\"y\"\"\",SCIP\nz.lp,SCIP\nw.lp,SC";
    const std::vector<std::string> rows = detailsFileLines(details);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(detailsLineModel(rows[0]), "x,\n\"y\"");
    EXPECT_EQ(detailsLineModel(rows[1]), "z.lp");
    EXPECT_TRUE(resultsFileLines("SOLVER;NOME;TEMPO;STATUS;Z;TEMPO LEITUR\r").empty());
}

}  // namespace
