// Solver settings on the command line end to end: refused settings are usage errors before
// anything is solved, a setting reaches the solver, the details file records them, the SLURM
// job's script repeats them, and details files of the version before them still resume.
#include <gtest/gtest.h>

#include "FaultSupport.h"
#include "Process.h"
#include "TempDir.h"

namespace {

// Branch and bound needs several nodes for it (GLPK's search, as the engine runs it).
const std::string kKnapsack =
    "Maximize\n obj: 5 x1 + 4 x2 + 3 x3 + 7 x4 + 6 x5 + 8 x6 + 2 x7 + 9 x8\nSubject To\n"
    " c1: 3 x1 + 5 x2 + 2 x3 + 6 x4 + 4 x5 + 7 x6 + 3 x7 + 8 x8 <= 17\n"
    " c2: 2 x1 + 3 x2 + 4 x3 + 1 x4 + 5 x5 + 2 x6 + 6 x7 + 3 x8 <= 13\nBinaries\n x1 x2 x3 x4 x5 x6 x7 x8\nEnd\n";
const std::string kNodeLimit = "STATUS: PROCESSO INTERROMPIDO - LIMITE DE NOS\n";

enum Column { Model = 0, Status = 3, Nodes = 7, Settings = 25 };

ProcessResult lumbrix(std::vector<std::string> arguments, bool withGurobi = false)
{
    arguments.insert(arguments.begin(), lumbrixBinary());
    ProcessOptions options;
    if (withGurobi)
        options.environment.emplace_back("LD_LIBRARY_PATH", GUROBI_DOUBLE_DIR);
    else
        options.unsetEnvironment = {"LD_LIBRARY_PATH"};
    return runProcess(arguments, options);
}

std::vector<CsvRecord> detailsRows(const std::string& path)
{
    std::vector<CsvRecord> records;
    std::string problem;
    EXPECT_TRUE(parseDetailsFile(readFile(path), records, problem)) << problem;
    return records;
}

TEST(SolverSettings, RefusedSettingsAreUsageErrorsBeforeAnythingIsSolved)
{
    TempDir models, output, other;
    models.write("a.lp", kKnapsack);
    const std::string m = models.path(), o = output.path();
    const std::string missing = other.file("nenhum.set");
    const std::string unknown = other.write("desconhecido.set", "# SCIP\nlimits/gap = 0.1\ndisplay/verblevel = 3\n");
    const std::string own = other.write("tempo.set", "limits/time = 3 # já é do programa\n");
    const std::string prm = other.write("g.prm", "MIPGap 0.1\nFoo 1\n");
    struct Case {
        std::vector<std::string> arguments;
        std::string err;
        bool gurobi = false;
    };
    const std::vector<Case> cases = {
        {{"--set", "limits/foo=1"}, "Erro: parâmetro desconhecido: limits/foo\n"},
        {{"--set", "limits/gap=0.01", "--set", "limits/nodes=dez"}, "Erro: valor inválido para o parâmetro limits/nodes: dez\n"},
        {{"--set", "limits/nodes=-2"}, "Erro: valor inválido para o parâmetro limits/nodes: -2\n"},
        {{"--set", "limits/gap=0,01"}, "Erro: valor inválido para o parâmetro limits/gap: 0,01\n"},
        {{"--set", "randomization/randomseedshift=3"}, "Erro: parâmetro desconhecido: randomization/randomseedshift\n"},
        {{"--set", "limits/time=10"}, "Erro: parâmetro definido pelo programa: limits/time (use --time-limit)\n"},
        {{"--set", "limits/memory=10"}, "Erro: parâmetro definido pelo programa: limits/memory (use --memory-limit)\n"},
        {{"--set", "semigual"}, "--set: esperava NOME=VALOR, recebeu 'semigual'\nRun with --help for more information.\n"},
        {{"--set", "=1"}, "--set: esperava NOME=VALOR, recebeu '=1'\nRun with --help for more information.\n"},
        {{"--settings", missing}, "Erro ao ler " + missing + ": No such file or directory\n"},
        {{"--settings", other.path()}, "Erro ao ler " + other.path() + ": Is a directory\n"},
        {{"--settings", unknown}, "Erro: parâmetro desconhecido: display/verblevel (em " + unknown + ")\n"},
        {{"--settings", own}, "Erro: parâmetro definido pelo programa: limits/time (use --time-limit)\n"},
        {{"--solver", "gurobi", "--set", "Foo=1"}, "Erro: parâmetro desconhecido: Foo\n", true},
        {{"--solver", "gurobi", "--set", "NodeLimit=x"}, "Erro: valor inválido para o parâmetro NodeLimit: x\n", true},
        {{"--solver", "gurobi", "--set", "NodeLimit=-1"}, "Erro: valor inválido para o parâmetro NodeLimit: -1\n", true},
        {{"--solver", "gurobi", "--set", "timelimit=5"},
         "Erro: parâmetro definido pelo programa: timelimit (use --time-limit)\n", true},
        {{"--solver", "gurobi", "--settings", prm}, "Erro: parâmetro desconhecido: Foo (em " + prm + ")\n", true},
    };
    for (const std::string command : {"opt", "slurm"}) {
        for (const Case& c : cases) {
            std::vector<std::string> arguments{command, m, o, "--quiet"};
            if (command == "slurm")
                arguments.insert(arguments.end(), {"--tasks", "2", "--dry-run"});
            arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
            SCOPED_TRACE(command + " " + c.arguments.back());
            const ProcessResult run = lumbrix(arguments, c.gurobi);
            EXPECT_EQ(run.exitCode, 2);
            EXPECT_EQ(run.err, c.err);
            EXPECT_EQ(folderEntries(o), std::vector<std::string>{});
        }
    }

    // A value SCIP cannot read in a file: SCIP's own messages, then the file named.
    const std::string bad = other.write("ruim.set", "\nlimits/nodes = dez\n");
    const ProcessResult run = lumbrix({"opt", m, o, "--settings", bad});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("ERROR: invalid parameter value <dez> for Longint parameter <limits/nodes>\n"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("ERROR: input error in file <" + bad + "> line 2\n"), std::string::npos) << run.err;
    EXPECT_TRUE(run.err.ends_with("Erro: parâmetros não aceitos: " + bad + "\n")) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(folderEntries(o), std::vector<std::string>{});
}

// The engine and the Gurobi double: without a limit the MIP takes several nodes; with a node
// limit of 1 it stops with the node-limit status after the root.
TEST(SolverSettings, ANodeLimitOfOneStopsAMipThatNeedsMoreNodes)
{
    TempDir models, output;
    models.write("mochila.lp", kKnapsack);
    const std::string prm = output.write("nos.prm", "# Gurobi\nNodeLimit 1\n");
    struct Case {
        std::vector<std::string> arguments;
        bool gurobi;
        std::string settings;
    };
    const std::vector<Case> cases = {
        {{}, false, ""},
        {{"--set", "limits/nodes=1"}, false, "limits/nodes=1"},
        {{"--solver", "gurobi"}, true, ""},
        {{"--solver", "gurobi", "--set", "NodeLimit=1"}, true, "NodeLimit=1"},
        {{"--solver", "gurobi", "--settings", prm}, true, "@nos.prm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings + (c.gurobi ? " gurobi" : " scip"));
        const std::string out = output.folder("run" + std::to_string(&c - cases.data()));
        std::vector<std::string> arguments{"opt", models.path(), out};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const ProcessResult run = lumbrix(arguments, c.gurobi);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const std::vector<CsvRecord> rows = detailsRows(out + "/sol_detalhes.csv");
        ASSERT_EQ(rows.size(), 2u);
        ASSERT_EQ(rows[1].size(), 26u);
        EXPECT_EQ(rows[0][Settings], "settings");
        EXPECT_EQ(rows[1][Settings], c.settings);
        if (c.settings.empty()) {
            EXPECT_EQ(rows[1][Status], "optimal");
            EXPECT_GT(std::stoll(rows[1][Nodes]), 1);
            EXPECT_NE(run.out.find("STATUS: " + kOptimal + "\n"), std::string::npos) << run.out;
        } else {
            EXPECT_EQ(rows[1][Status], "node_limit");
            EXPECT_NE(run.out.find(kNodeLimit), std::string::npos) << run.out;
            if (!c.gurobi) {
                EXPECT_EQ(rows[1][Nodes], "1");
            }
        }
    }
}

// A settings file is applied first, so a value given with --set wins over it; the column
// shows the file by its name, then every value in order.
TEST(SolverSettings, TheFileFirstThenTheValuesAndTheDetailsColumnShowsBoth)
{
    TempDir models, output, other;
    models.write("mochila.lp", kKnapsack);
    const std::string file = other.write("nós;1.set", "limits/nodes = 1 FIX\n\n# nada\n   limits/gap=0\n");
    const ProcessResult limited = lumbrix({"opt", models.path(), output.path(), "--quiet", "--settings", file});
    EXPECT_EQ(limited.exitCode, 0) << limited.err;
    EXPECT_NE(limited.out.find(kNodeLimit), std::string::npos) << limited.out;
    EXPECT_EQ(detailsRows(output.file("sol_detalhes.csv"))[1][Settings], "@nós\\;1.set");

    const std::string again = other.folder("de novo");
    const ProcessResult overridden = lumbrix({"opt", models.path(), again, "--quiet", "--settings", file, "--set",
                                              "limits/solutions=-1", "--set", "limits/nodes=-1"});
    EXPECT_EQ(overridden.exitCode, 0) << overridden.err;
    EXPECT_NE(overridden.out.find("STATUS: " + kOptimal + "\n"), std::string::npos) << overridden.out;
    EXPECT_EQ(detailsRows(again + "/sol_detalhes.csv")[1][Settings],
              "@nós\\;1.set;limits/solutions=-1;limits/nodes=-1");
}

// The job's script repeats the settings, the file by its absolute path. A solver that this
// machine lacks is left to check them on the cluster, and its values are quoted for the shell.
TEST(SolverSettings, TheSlurmScriptRepeatsThem)
{
    TempDir models, output;
    models.write("a.lp", kKnapsack);
    output.write("nos.set", "limits/nodes = 1\n");
    const std::string out = output.folder("saída");
    ProcessOptions options;
    options.workingDirectory = output.path();
    const ProcessResult run =
        runProcess({lumbrixBinary(), "slurm", models.path(), out, "--tasks", "1", "--dry-run", "--set",
                    "limits/gap=0.01", "--settings", "nos.set", "--set", "limits/absgap=2"},
                   options);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(readFile(out + "/sol_slurm_opt.sh")
                    .ends_with(" --solver scip --set limits/gap=0.01 --set limits/absgap=2 --settings " + output.path()
                               + "/nos.set --shard \"$((SLURM_ARRAY_TASK_ID + 1))/1\" --resume\n"))
        << readFile(out + "/sol_slurm_opt.sh");

    const ProcessResult gurobi = lumbrix({"slurm", models.path(), out, "--tasks", "1", "--dry-run", "--solver",
                                          "gurobi", "--set", "LogFile=a b;c.log", "--set", "Qualquer=1"});
    ASSERT_EQ(gurobi.exitCode, 0) << gurobi.err;
    EXPECT_TRUE(readFile(out + "/sol_slurm_opt.sh")
                    .ends_with(" --solver gurobi --set 'LogFile=a b;c.log' --set Qualquer=1 --shard "
                               "\"$((SLURM_ARRAY_TASK_ID + 1))/1\" --resume\n"))
        << readFile(out + "/sol_slurm_opt.sh");
}

// A details file of the version before the settings column: a resumed run keeps its rows
// with the new column empty, a merge does the same, and the comparison reads both.
TEST(SolverSettings, DetailsFilesWithoutTheSettingsColumnStillResumeMergeAndCompare)
{
    TempDir models, output;
    models.write("a.lp", kKnapsack);
    const std::string old = output.folder("antigo");
    ASSERT_EQ(lumbrix({"opt", models.path(), old, "--quiet"}).exitCode, 0);
    ASSERT_EQ(lumbrix({"opt", models.path(), old, "--quiet", "--shard", "1/1"}).exitCode, 0);
    // Back to 25 columns, as the earlier version wrote them.
    for (const std::string name : {"sol_detalhes.csv", "sol_detalhes.shard-1-of-1.csv"}) {
        std::string text = readFile(old + "/" + name);
        text.replace(text.find(",settings\n"), 10, "\n");
        text.replace(text.find(",\n"), 2, "\n");
        output.write("antigo/" + name, text);
        ASSERT_EQ(detailsRows(old + "/" + name)[1].size(), 25u);
    }
    models.write("b.lp", kKnapsack);

    const ProcessResult resumed = lumbrix({"opt", models.path(), old, "--quiet", "--resume", "--set", "limits/gap=0.5"});
    EXPECT_EQ(resumed.exitCode, 0) << resumed.err;
    std::vector<CsvRecord> rows = detailsRows(old + "/sol_detalhes.csv");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].size(), 26u);
    EXPECT_EQ(rows[1][Model], "a.lp");
    EXPECT_EQ(rows[1].size(), 26u);
    EXPECT_EQ(rows[1][Settings], "");
    EXPECT_EQ(rows[2][Model], "b.lp");
    EXPECT_EQ(rows[2][Settings], "limits/gap=0.5");

    const std::string merged = output.folder("juntado");
    output.write("juntado/sol_modelos.txt", "0\ta.lp\n");
    for (const std::string name : {"sol_stat.shard-1-of-1.csv", "sol_detalhes.shard-1-of-1.csv"})
        output.write("juntado/" + name, readFile(old + "/" + name));
    EXPECT_EQ(lumbrix({"merge", merged}).exitCode, 0);
    rows = detailsRows(merged + "/sol_detalhes.csv");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].size(), 26u);

    const ProcessResult compared = lumbrix({"compare", old, merged, output.write("velho.csv", readFile(old + "/sol_detalhes.shard-1-of-1.csv"))});
    EXPECT_EQ(compared.exitCode, 0) << compared.err;
}

}  // namespace
