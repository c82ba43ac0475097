// Shards, merge, resume and the SLURM job's scripts on the command line, without a cluster.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <map>
#include <set>
#include <thread>

#include "FaultSupport.h"
#include "Process.h"
#include "RunningProcess.h"
#include "TempDir.h"

namespace {

ProcessResult lumbrix(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), lumbrixBinary());
    return runProcess(arguments);
}

std::vector<CsvRecord> results(const std::string& path)
{
    std::vector<CsvRecord> records;
    std::string problem;
    EXPECT_TRUE(parseResultsFile(readFile(path), records, problem)) << path << ": " << problem;
    return records;
}

std::vector<CsvRecord> details(const std::string& path)
{
    std::vector<CsvRecord> records;
    std::string problem;
    EXPECT_TRUE(parseDetailsFile(readFile(path), records, problem)) << path << ": " << problem;
    return records;
}

// Solver, name, status and objective of every row: what two runs of the same models share.
std::vector<std::string> withoutTimes(const std::vector<CsvRecord>& records)
{
    std::vector<std::string> rows;
    for (const CsvRecord& record : records)
        rows.push_back(record.size() == 6 ? record[0] + ";" + record[1] + ";" + record[3] + ";" + record[4]
                                          : "bad row");
    return rows;
}

// model, status, objective of every details row.
std::vector<std::string> detailsKeys(const std::vector<CsvRecord>& records)
{
    std::vector<std::string> rows;
    for (const CsvRecord& record : records)
        rows.push_back(record.size() == 26 ? record[0] + "," + record[3] + "," + record[4] : "bad row");
    return rows;
}

// Nine models and two entries that are no models, one of them a name that needs quoting.
void fillModels(const TempDir& models)
{
    for (int i = 0; i < 9; ++i)
        models.write("m" + std::to_string(i) + ".lp", i == 4 ? brokenModel() : lpWithOptimum(i));
    models.write("m5;\"x\".lp", mipWithOptimum(2));
    models.write("a-leia.txt", "nada\n");
}

TEST(Shards, ShardsMergedEqualTheWholeRun)
{
    TempDir models, whole, parts;
    fillModels(models);
    ASSERT_EQ(lumbrix({"opt", models.path(), whole.path(), "--quiet"}).exitCode, 1);

    // Listing: a-leia.txt 0, m0.lp 1, ..., m5.lp 6, m5;"x".lp 7, m6.lp 8, m7.lp 9, m8.lp 10.
    const std::map<std::string, std::string> banners = {
        {"1/3", "MODELO 0 \nMODELO 3 \nMODELO 6 \nMODELO 9 \n"},
        {"2/3", "MODELO 1 \nMODELO 4 \nMODELO 7 \nMODELO 10 \n"},
        {"3/3", "MODELO 2 \nMODELO 5 \nMODELO 8 \n"},
    };
    for (const auto& [shard, expected] : banners) {
        const ProcessResult run = lumbrix({"opt", models.path(), parts.path(), "--quiet", "--shard", shard});
        std::string shown;
        for (std::size_t at = run.out.find("MODELO "); at != std::string::npos; at = run.out.find("MODELO ", at + 1))
            shown += run.out.substr(at, run.out.find('\n', at) + 1 - at);
        EXPECT_EQ(shown, expected) << shard;
    }
    EXPECT_EQ(readFile(parts.file("sol_modelos.txt")),
              "1\tm0.lp\n2\tm1.lp\n3\tm2.lp\n4\tm3.lp\n5\tm4.lp\n6\tm5.lp\n7\tm5;\"x\".lp\n8\tm6.lp\n9\tm7.lp\n10\tm8.lp\n");
    EXPECT_EQ(readFile(parts.file("sol_modelos.txt")), readFile(whole.file("sol_modelos.txt")));
    EXPECT_EQ(results(parts.file("sol_stat.shard-3-of-3.csv")).size(), 4u);  // the header and 3 rows

    const ProcessResult merged = lumbrix({"merge", parts.path()});
    EXPECT_EQ(merged.exitCode, 0);
    EXPECT_EQ(merged.out, "");
    EXPECT_EQ(merged.err, "");
    EXPECT_EQ(withoutTimes(results(parts.file("sol_stat.csv"))), withoutTimes(results(whole.file("sol_stat.csv"))));
    EXPECT_EQ(detailsKeys(details(parts.file("sol_detalhes.csv"))),
              detailsKeys(details(whole.file("sol_detalhes.csv"))));

    // A run over the output folder itself: none of the run's own files is a model.
    const ProcessResult over = lumbrix({"opt", parts.path(), whole.path(), "--quiet"});
    EXPECT_EQ(over.exitCode, 0) << over.err;
    EXPECT_EQ(over.out, "");
}

TEST(Shards, MergeNamesTheModelsOfAMissingShard)
{
    TempDir models, parts;
    fillModels(models);
    lumbrix({"opt", models.path(), parts.path(), "--quiet", "--shard", "1/3"});
    lumbrix({"opt", models.path(), parts.path(), "--quiet", "--shard", "3/3"});
    // A row in sol_stat but none in the details file (a kill between the two) is no result.
    TempDir other;
    const std::string detailsPath = parts.file("sol_detalhes.shard-3-of-3.csv");
    std::string text = readFile(detailsPath);
    text.erase(text.rfind("m6.lp,"));
    other.write("d", text);
    ASSERT_EQ(std::rename(other.file("d").c_str(), detailsPath.c_str()), 0);

    const ProcessResult merged = lumbrix({"merge", parts.path()});
    EXPECT_EQ(merged.exitCode, 1);
    EXPECT_EQ(merged.out, "");
    EXPECT_EQ(merged.err, "Modelo sem resultado: m0.lp\nModelo sem resultado: m3.lp\n"
                          "Modelo sem resultado: m5;\"x\".lp\nModelo sem resultado: m6.lp\n"
                          "Modelo sem resultado: m8.lp\n");
    const std::string detailsText = readFile(parts.file("sol_detalhes.csv"));
    EXPECT_NE(detailsText.find("\nm0.lp,,,not_run,,,,,,,,,,,,,,,,,,,,,,\n"), std::string::npos) << detailsText;
    EXPECT_NE(detailsText.find("\n\"m5;\"\"x\"\".lp\",,,not_run,,,,,,,,,,,,,,,,,,,,,,\n"), std::string::npos);
    const std::vector<CsvRecord> rows = results(parts.file("sol_stat.csv"));
    std::vector<std::string> names;
    for (std::size_t i = 1; i < rows.size(); ++i)
        names.push_back(rows[i].at(1));
    EXPECT_EQ(names, (std::vector<std::string>{"m1.lp", "m2.lp", "m4.lp", "m5.lp", "m7.lp"}));
    EXPECT_EQ(detailsKeys(details(parts.file("sol_detalhes.csv"))).size(), 11u);  // header and every model
}

TEST(Shards, UsageErrors)
{
    TempDir models, output, empty;
    fillModels(models);
    for (const std::string shard : {"0/3", "4/3", "3", "a/b", "1/0", "-1/2", "1/2/3"}) {
        const ProcessResult run = lumbrix({"opt", models.path(), output.path(), "--shard", shard});
        EXPECT_EQ(run.exitCode, 2) << shard;
        EXPECT_NE(run.err.find("--shard: esperava K/N com 1 <= K <= N, recebeu '" + shard + "'"), std::string::npos)
            << run.err;
    }
    EXPECT_EQ(folderEntries(output.path()), std::vector<std::string>{});

    const ProcessResult noManifest = lumbrix({"merge", empty.path()});
    EXPECT_EQ(noManifest.exitCode, 2);
    EXPECT_EQ(noManifest.err, "Erro ao ler " + empty.file("sol_modelos.txt") + ": No such file or directory\n");
    lumbrix({"opt", models.path(), output.path(), "--quiet"});
    const ProcessResult noShards = lumbrix({"merge", output.path()});
    EXPECT_EQ(noShards.exitCode, 2);
    EXPECT_EQ(noShards.err, "Nenhum arquivo de parte (sol_stat.shard-K-of-N.csv) em " + output.path() + "\n");
    EXPECT_EQ(lumbrix({"merge", empty.file("nenhuma")}).exitCode, 2);
    EXPECT_EQ(lumbrix({"slurm", models.path(), output.path()}).exitCode, 2);  // --tasks is required
    EXPECT_EQ(lumbrix({"slurm", models.path(), output.path(), "--tasks", "0"}).exitCode, 2);
}

// Every model exactly once in both files, whatever was cut.
void expectEveryModelOnce(const TempDir& output, const std::string& shardName)
{
    std::multiset<std::string> inResults, inDetails;
    const std::vector<CsvRecord> rows = results(output.file("sol_stat" + shardName + ".csv"));
    for (std::size_t i = 1; i < rows.size(); ++i)
        inResults.insert(rows[i].at(1));
    const std::vector<CsvRecord> detailRows = details(output.file("sol_detalhes" + shardName + ".csv"));
    for (std::size_t i = 1; i < detailRows.size(); ++i)
        inDetails.insert(detailRows[i].at(0));
    const std::multiset<std::string> all = {"m0.lp", "m1.lp", "m2.lp", "m3.lp", "m4.lp", "m5.lp", "m5;\"x\".lp",
                                            "m6.lp", "m7.lp", "m8.lp"};
    EXPECT_EQ(inResults, all);
    EXPECT_EQ(inDetails, all);
}

// The details file of a folder with names that are not UTF-8 stays UTF-8, and such a model
// is still found by its name: a resumed run solves nothing again, and shards merge whole.
TEST(Shards, NamesThatAreNotUtf8KeepTheDetailsFileUtf8ThroughResumeAndMerge)
{
    TempDir models, whole, parts;
    models.write("a.lp", lpWithOptimum(1));
    models.write("s\xe3o.lp", lpWithOptimum(2));
    models.write("c\\\xff.lp", mipWithOptimum(3));
    // Valid names that read like those escapes are fields of their own.
    models.write("s\\xe3o.lp", lpWithOptimum(4));
    const auto escapedRows = [](const std::string& path) {
        const std::string text = readFile(path);
        EXPECT_EQ(text.find('\xe3'), std::string::npos);
        EXPECT_EQ(text.find('\xff'), std::string::npos);
        return detailsKeys(details(path));
    };
    const std::vector<std::string> expected = {"model,status,objective", "a.lp,optimal,1", "c\\\\\\xff.lp,optimal,3",
                                               "s\\\\xe3o.lp,optimal,4", "s\\xe3o.lp,optimal,2"};
    ASSERT_EQ(lumbrix({"opt", models.path(), whole.path(), "--quiet"}).exitCode, 0);
    EXPECT_EQ(escapedRows(whole.file("sol_detalhes.csv")), expected);
    // sol_stat.csv keeps the names' own bytes.
    EXPECT_EQ(results(whole.file("sol_stat.csv"))[4][1], "s\xe3o.lp");
    const ProcessResult resumed = lumbrix({"opt", models.path(), whole.path(), "--quiet", "--resume"});
    EXPECT_EQ(resumed.exitCode, 0);
    EXPECT_EQ(resumed.out, "");
    EXPECT_EQ(escapedRows(whole.file("sol_detalhes.csv")), expected);

    for (const std::string shard : {"1/2", "2/2"})
        ASSERT_EQ(lumbrix({"opt", models.path(), parts.path(), "--quiet", "--shard", shard}).exitCode, 0);
    const ProcessResult merged = lumbrix({"merge", parts.path()});
    EXPECT_EQ(merged.exitCode, 0) << merged.err;
    EXPECT_EQ(merged.err, "");
    EXPECT_EQ(escapedRows(parts.file("sol_detalhes.csv")), expected);
}

// A merge that cannot write its files is no "models missing" (1): 2, with the reason.
TEST(Shards, AMergeThatCannotWriteExitsWithTwo)
{
    TempDir models, parts;
    fillModels(models);
    for (const std::string shard : {"1/2", "2/2"})
        lumbrix({"opt", models.path(), parts.path(), "--quiet", "--shard", shard});
    parts.folder(".sol_stat.csv.tmp");  // where the new sol_stat.csv is written first
    const ProcessResult merged = lumbrix({"merge", parts.path()});
    EXPECT_EQ(merged.exitCode, 2);
    EXPECT_EQ(merged.out, "");
    EXPECT_EQ(merged.err, "Erro ao gravar " + parts.file("sol_stat.csv") + ": Is a directory\n");
    EXPECT_FALSE(fileExists(parts.file("sol_stat.csv")));
}

TEST(Resume, AKilledRunResumedGivesEveryModelOnce)
{
    TempDir models, output;
    fillModels(models);
    for (const std::string name : {"m1.lp", "m3.lp", "m6.lp", "m8.lp"})
        models.write(name, hardModel());
    RunningProcess run({lumbrixBinary(), "opt", models.path(), output.path(), "--quiet", "--time-limit", "0.4"});
    const std::string stat = output.file("sol_stat.csv");
    run.readUntil([&](const std::string&) { return results(stat).size() >= 4; }, 60);
    run.kill(SIGKILL);
    run.finish();
    const std::size_t before = results(stat).size();
    ASSERT_GE(before, 4u);
    ASSERT_LT(before, 11u);
    const std::string keptRows = readFile(stat);

    const ProcessResult resumed =
        lumbrix({"opt", models.path(), output.path(), "--quiet", "--time-limit", "0.4", "--resume"});
    EXPECT_NE(resumed.exitCode, 2);
    EXPECT_TRUE(readFile(stat).starts_with(keptRows));
    expectEveryModelOnce(output, "");
    // Only the models solved now are reported.
    EXPECT_EQ(completeReports(resumed.out), 11 - before);

    // A line cut in the middle goes, and its model is solved again; a resumed complete run
    // solves nothing.
    std::string text = readFile(stat);
    const std::size_t lastLine = text.rfind("SCIP;", text.size() - 3);
    text.resize(lastLine + 8);
    TempDir other;
    other.write("s", text);
    ASSERT_EQ(std::rename(other.file("s").c_str(), stat.c_str()), 0);
    const ProcessResult again =
        lumbrix({"opt", models.path(), output.path(), "--quiet", "--time-limit", "0.4", "--resume"});
    EXPECT_EQ(completeReports(again.out), 1u) << again.out;
    expectEveryModelOnce(output, "");
    const ProcessResult done = lumbrix({"opt", models.path(), output.path(), "--quiet", "--resume"});
    EXPECT_EQ(done.exitCode, 1);  // m4.lp cannot be read
    EXPECT_EQ(done.out, kRule + "MODELO 0 \n");  // a-leia.txt, no model
}

// A resumed run answers for the whole run: rows it keeps with a read error or a wrong check
// make its exit status 1 even when it solves nothing more.
TEST(Resume, TheExitStatusIsTheWholeRuns)
{
    TempDir models, solu;
    models.write("a.lp", brokenModel());
    models.write("b.lp", lpWithOptimum(2));
    solu.write("wrong.solu", "=opt= b 99\n");
    solu.write("right.solu", "=opt= b 2\n");
    for (const char* known : {"", "wrong.solu"}) {
        SCOPED_TRACE(known);
        TempDir output;
        std::vector<std::string> arguments{"opt", models.path(), output.path(), "--quiet"};
        if (*known) {
            models.write("a.lp", lpWithOptimum(1));
            arguments.insert(arguments.end(), {"--solu", solu.file(known)});
        }
        EXPECT_EQ(lumbrix(arguments).exitCode, 1);
        arguments.push_back("--resume");
        const ProcessResult resumed = lumbrix(arguments);
        EXPECT_EQ(resumed.exitCode, 1) << resumed.err;
        EXPECT_EQ(completeReports(resumed.out), 0u);
        EXPECT_NE(resumed.err.find("Resumo: 2 modelos"), std::string::npos) << resumed.err;
    }
    TempDir output;
    EXPECT_EQ(lumbrix({"opt", models.path(), output.path(), "--quiet", "--solu", solu.file("right.solu")}).exitCode, 0);
    EXPECT_EQ(lumbrix({"opt", models.path(), output.path(), "--quiet", "--solu", solu.file("right.solu"), "--resume"})
                  .exitCode,
              0);
}

TEST(Resume, AShardResumesIntoItsOwnFiles)
{
    TempDir models, output;
    fillModels(models);
    lumbrix({"opt", models.path(), output.path(), "--quiet", "--shard", "2/2"});
    const std::string shard = output.file("sol_stat.shard-2-of-2.csv");
    std::string text = readFile(shard);
    text.resize(text.size() - 3);  // the last row without its line end
    TempDir other;
    other.write("s", text);
    ASSERT_EQ(std::rename(other.file("s").c_str(), shard.c_str()), 0);
    const ProcessResult resumed = lumbrix({"opt", models.path(), output.path(), "--quiet", "--shard", "2/2", "--resume"});
    EXPECT_EQ(completeReports(resumed.out), 1u) << resumed.out;
    lumbrix({"opt", models.path(), output.path(), "--quiet", "--shard", "1/2", "--resume"});
    EXPECT_EQ(lumbrix({"merge", output.path()}).exitCode, 0);
    expectEveryModelOnce(output, "");
    EXPECT_FALSE(fileExists(output.file("sol_stat.shard-1-of-1.csv")));
}

TEST(SlurmScripts, DryRunWritesTheScriptsAndPrintsTheCommands)
{
    TempDir models, output;
    fillModels(models);
    const std::string out = output.folder("saída com espaço");
    const ProcessResult run =
        lumbrix({"slurm", models.path(), out, "--quiet", "--time-limit", "60", "--memory-limit", "1000,5", "--jobs",
                 "2", "--tasks", "3", "--partition", "curta", "--sbatch-arg", "--account=lab", "--sbatch-arg=--qos=x",
                 "--dry-run"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // 4 models in the largest shard, 2 at a time: 2 x (1.1 x 60 + 15) + 300 = 462 s.
    EXPECT_EQ(run.out, "job=$(sbatch --parsable --job-name=lumbrix --array=0-2 '--output=" + out
                           + "/sol_slurm_opt-%A_%a.out' --cpus-per-task=2 --time=0-00:07:42 --mem=2001M "
                             "--partition=curta --account=lab --qos=x '"
                           + out + "/sol_slurm_opt.sh')\n"
                           "sbatch --parsable --job-name=lumbrix-merge --dependency=afterany:\"${job%%;*}\" '--output="
                           + out + "/sol_slurm_merge-%j.out' --partition=curta --account=lab --qos=x '" + out
                           + "/sol_slurm_merge.sh'\n");
    EXPECT_EQ(readFile(out + "/sol_slurm_opt.sh"),
              "#!/bin/sh\n#SBATCH --job-name=lumbrix\n#SBATCH --output=\"" + out
                  + "/sol_slurm_opt-%A_%a.out\"\n#SBATCH --cpus-per-task=2\n#SBATCH --time=0-00:07:42\n"
                    "#SBATCH --mem=2001M\n#SBATCH --partition=curta\n#SBATCH --account=lab\n#SBATCH --qos=x\n"
                    "# A task of a Lumbrix run: shard SLURM_ARRAY_TASK_ID + 1 of 3, resumed where an earlier "
              "attempt of the task stopped.\nexec "
                  + lumbrixBinary() + " opt " + models.path() + " '" + out
                  + "' --solver scip --time-limit 60 --memory-limit 1000,5 --jobs 2 --quiet --shard "
                    "\"$((SLURM_ARRAY_TASK_ID + 1))/3\" --resume\n");
    // Without limits: neither time nor memory is asked for.
    // A user's argument whose value is a word of its own stays out of the scripts.
    // The check's options go to the tasks as given.
    const ProcessResult plain = lumbrix({"slurm", models.path(), out, "--quiet", "--tasks", "2", "--sbatch-arg=-A",
                                         "--sbatch-arg=lab", "--dry-run", "--feasibility-tolerance", "1e-5",
                                         "--integrality-tolerance", "0,001", "--save-solutions"});
    EXPECT_NE(readFile(out + "/sol_slurm_opt.sh")
                  .find(" --quiet --feasibility-tolerance 1e-5 --integrality-tolerance 0,001 --save-solutions --shard "),
              std::string::npos)
        << readFile(out + "/sol_slurm_opt.sh");
    EXPECT_NE(plain.out.find(" -A lab "), std::string::npos) << plain.out;
    EXPECT_TRUE(readFile(out + "/sol_slurm_opt.sh").starts_with("#!/bin/sh\n#SBATCH --job-name=lumbrix\n#SBATCH --output=\""
                                                              + out + "/sol_slurm_opt-%A_%a.out\"\n#SBATCH --cpus-per-task=1\n# A task"));
    EXPECT_EQ(plain.out.find("--time="), std::string::npos) << plain.out;
    EXPECT_EQ(plain.out.find("--mem="), std::string::npos) << plain.out;
    EXPECT_NE(plain.out.find("--array=0-1 "), std::string::npos) << plain.out;

    // The task script runs as SLURM would run task 1: shard 2 of 2; the merge then misses
    // shard 1.
    ProcessOptions options;
    options.environment = {{"SLURM_ARRAY_TASK_ID", "1"}};
    const ProcessResult task = runProcess({"/bin/sh", out + "/sol_slurm_opt.sh"}, options);
    EXPECT_EQ(task.exitCode, 1) << task.err;  // m4.lp, which the reader refuses, is in shard 2
    EXPECT_TRUE(fileExists(out + "/sol_stat.shard-2-of-2.csv"));
    EXPECT_TRUE(fileExists(out + "/solutions/m0.lp.sol"));  // listing number 1 is shard 2's first model
    const ProcessResult merge = runProcess({"/bin/sh", out + "/sol_slurm_merge.sh"});
    EXPECT_EQ(merge.exitCode, 1);
    EXPECT_EQ(merge.err, "Modelo sem resultado: m1.lp\nModelo sem resultado: m3.lp\nModelo sem resultado: m5.lp\n"
                         "Modelo sem resultado: m6.lp\nModelo sem resultado: m8.lp\n");
}

// A '%' in OUTPUT is a '%' for SLURM too, wherever it reads a pattern; --jobs asks the
// cluster's nodes for cores, so only a fixed bound holds it, not this machine's cores.
TEST(SlurmScripts, APercentInTheOutputFolderAndJobsForTheClustersNodes)
{
    TempDir models, output;
    fillModels(models);
    const std::string out = output.folder("100%_%j");
    const ProcessResult run = lumbrix({"slurm", models.path(), out, "--quiet", "--tasks", "2", "--jobs", "16", "--dry-run"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string pattern = output.path() + "/100%%_%%j/";
    EXPECT_EQ(run.out, "job=$(sbatch --parsable --job-name=lumbrix --array=0-1 --output=" + pattern
                           + "sol_slurm_opt-%A_%a.out --cpus-per-task=16 " + out
                           + "/sol_slurm_opt.sh)\n"
                             "sbatch --parsable --job-name=lumbrix-merge --dependency=afterany:\"${job%%;*}\" --output="
                           + pattern + "sol_slurm_merge-%j.out " + out + "/sol_slurm_merge.sh\n");
    EXPECT_NE(readFile(out + "/sol_slurm_opt.sh").find("\n#SBATCH --output=" + pattern + "sol_slurm_opt-%A_%a.out\n"),
              std::string::npos);
    EXPECT_NE(readFile(out + "/sol_slurm_merge.sh").find("\n#SBATCH --output=" + pattern + "sol_slurm_merge-%j.out\n"),
              std::string::npos);
    // The task's own command line keeps the folder as it is.
    EXPECT_NE(readFile(out + "/sol_slurm_opt.sh").find(" " + out + " --solver scip --jobs 16 --quiet "), std::string::npos);

    const ProcessResult tooMany = lumbrix({"slurm", models.path(), out, "--tasks", "2", "--jobs", "1025", "--dry-run"});
    EXPECT_EQ(tooMany.exitCode, 2);
    EXPECT_NE(tooMany.err.find("--jobs: esperava um número inteiro de 1 a 1024, recebeu '1025'"), std::string::npos)
        << tooMany.err;
}

TEST(SlurmScripts, ASubmissionWithoutSbatchFails)
{
    TempDir models, output;
    fillModels(models);
    ProcessOptions options;
    options.environment = {{"PATH", output.path()}};
    const ProcessResult run = runProcess({lumbrixBinary(), "slurm", models.path(), output.path(), "--tasks", "2"}, options);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Erro ao executar sbatch: No such file or directory\n");
}

}  // namespace
