// `opt` with GUROBI, end to end, over the test double of the library.

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "GurobiTestSupport.h"

namespace {

constexpr const char* kHeader = "SOLVER;NOME;TEMPO;STATUS;Z;TEMPO LEITUR\r\n";

struct GurobiRun {
    TempDir dir;
    std::string models;
    std::string output;
    ProcessResult result;

    GurobiRun() : models(dir.folder("models")), output(dir.folder("out")) {}

    void add(const std::string& name, const std::string& contents) { dir.write("models/" + name, contents); }

    void opt(const std::string& settings = "verbose\nn\n", std::vector<std::pair<std::string, std::string>> env = {})
    {
        result = runWithDouble(dir, settings + optCommands(models, output), std::move(env));
        ASSERT_FALSE(result.timedOut);
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }

    std::string section(int index) const { return modelSection(result.out, index); }
    std::string results() const { return readFile(output + "/sol_stat.csv"); }
    std::string log() const { return doubleLog(dir); }
};

// The double's own line when an environment is made, before the log can be switched off.
std::string ready(int environment)
{
    return "Gurobi test double: environment env" + std::to_string(environment) + " ready\n";
}

void expectCleanLibraryUse(const std::string& log)
{
    EXPECT_EQ(log.find("MISUSE"), std::string::npos) << log;
    EXPECT_EQ(log.find("LEAK"), std::string::npos) << log;
}

}  // namespace

TEST(GurobiBackend, ReportsEachSolvedOutcome)
{
    GurobiRun run;
    run.add("a_optimal.lp", kOptimalLp);
    run.add("b_infeasible.lp", kInfeasibleLp);
    run.add("c_unbounded.lp", kUnboundedLp);
    run.add("d_either.lp", kUnboundedRelaxationMip);
    run.add("e_mip.lp", kOptimalMip);
    run.add("f_model.mod", kOptimalLp);
    run.opt();

    EXPECT_TRUE(matchesPattern(run.section(0), ready(1) + "Optimal objective: 42\nTime: <T>\n"
                                                 "NOME: a_optimal.lp\nTEMPO: <T>\nSTATUS: SOL OTIMA\n"))
        << run.section(0);
    EXPECT_TRUE(matchesPattern(run.section(1), ready(2) + "Model is infeasible\n"
                                                 "NOME: b_infeasible.lp\nTEMPO: <T>\nSTATUS: PROBLEMA INFACTIVEL\n"))
        << run.section(1);
    EXPECT_TRUE(matchesPattern(run.section(2), ready(3) + "NOME: c_unbounded.lp\nTEMPO: <T>\nSTATUS: PROBLEMA ILIMITADO\n"))
        << run.section(2);
    EXPECT_TRUE(matchesPattern(run.section(3), ready(4) + "NOME: d_either.lp\nTEMPO: <T>\n"
                                                 "STATUS: PROBLEMA ILIMITADO OU INFACTIVEL\n"))
        << run.section(3);
    EXPECT_TRUE(matchesPattern(run.section(4), ready(5) + "Optimal objective: 4\nTime: <T>\n"
                                                 "NOME: e_mip.lp\nTEMPO: <T>\nSTATUS: SOL OTIMA\n"))
        << run.section(4);
    // Not a model: no environment, no row.
    EXPECT_EQ(run.section(5), "");

    EXPECT_TRUE(matchesPattern(run.results(), std::string(kHeader)
                                                  + "GUROBI;a_optimal.lp;<R>;SOL OTIMA;42,000000;<R>\r\n"
                                                    "GUROBI;b_infeasible.lp;<R>;PROBLEMA INFACTIVEL;-;<R>\r\n"
                                                    "GUROBI;c_unbounded.lp;<R>;PROBLEMA ILIMITADO;-;<R>\r\n"
                                                    "GUROBI;d_either.lp;<R>;PROBLEMA ILIMITADO OU INFACTIVEL;-;<R>\r\n"
                                                    "GUROBI;e_mip.lp;<R>;SOL OTIMA;4,000000;<R>\r\n"))
        << run.results();
    EXPECT_EQ(run.result.err, "");
    expectCleanLibraryUse(run.log());
}

TEST(GurobiBackend, StatusesOutsideTheCommonTableHaveTexts)
{
    const std::vector<std::pair<int, std::string>> statuses = {
        {6, "LIMITE DE CORTE"},
        {7, "PROCESSO INTERROMPIDO - LIMITE DE ITERACOES"},
        {8, "PROCESSO INTERROMPIDO - LIMITE DE NOS"},
        {9, "PROCESSO INTERROMPIDO - LIMITE DE TEMPO"},
        {10, "PROCESSO INTERROMPIDO - LIMITE DE SOLUCOES"},
        {11, "PROCESSO INTERROMPIDO - USUARIO"},
        {12, "ERRO NUMERICO"},
        {13, "SOLUCAO SUBOTIMA"},
        {14, "STATUS DESCONHECIDO"},
        {15, "LIMITE DE OBJETIVO"},
        {16, "PROCESSO INTERROMPIDO - LIMITE DE TRABALHO"},
        {17, "PROCESSO INTERROMPIDO - LIMITE DE MEMORIA"},
        {18, "STATUS DESCONHECIDO"},
    };
    // Two digits keep the models in the order of the table.
    const auto name = [](int code) { return (code < 10 ? "s0" : "s") + std::to_string(code) + ".lp"; };
    GurobiRun run;
    for (const auto& [code, text] : statuses)
        run.add(name(code), optimalWith("status=" + std::to_string(code)));
    run.opt();
    std::string expected = kHeader;
    for (std::size_t i = 0; i < statuses.size(); ++i) {
        const auto& [code, text] = statuses[i];
        const std::string section = run.section(static_cast<int>(i));
        EXPECT_TRUE(matchesPattern(section, ready(static_cast<int>(i) + 1) + "NOME: " + name(code)
                                                + "\nTEMPO: <T>\nSTATUS: " + text + "\n"))
            << section;
        expected += "GUROBI;" + name(code) + ";<R>;" + text + ";42,000000;<R>\r\n";
    }
    EXPECT_TRUE(matchesPattern(run.results(), expected)) << run.results();
}

TEST(GurobiBackend, CallsTheLibraryInTheRequiredOrder)
{
    GurobiRun run;
    const std::string first = run.dir.write("models/a.lp", kOptimalLp);
    const std::string second = run.dir.write("models/b.lp", kInfeasibleLp);
    run.opt("verbose\nn\ntime_limit\n60\n");
    // One environment per model; the model is read with it, then counted, then given its
    // limit on its own environment, solved, read and freed before the environment.
    const auto callsFor = [](int n, const std::string& path, const std::vector<std::string>& values) {
        const std::string env = "env" + std::to_string(n), model = "model" + std::to_string(n);
        std::vector<std::string> calls = {"GRBloadenvadv " + env, "GRBsetintparam " + env + " OutputFlag 0",
                                          "GRBstartenv " + env, "GRBreadmodel " + env + " " + path + " -> " + model,
                                          "GRBgetenv " + model};
        for (const char* call : {"GRBprefetchattr ", "GRBgetintattr "})
            for (const char* count : {"NumVars", "NumConstrs", "NumSOS", "NumQConstrs", "NumGenConstrs"})
                calls.push_back(call + model + " " + count);
        calls.push_back("GRBsetdblparam " + model + ".env TimeLimit 60");
        calls.push_back("GRBupdatemodel " + model);
        calls.push_back("GRBoptimize " + model);
        for (const std::string& value : values)
            calls.push_back(value.substr(0, value.find(' ') + 1) + model + value.substr(value.find(' ')));
        calls.push_back("GRBfreemodel " + model);
        calls.push_back("GRBfreeenv " + env);
        return calls;
    };
    // The search figures of an LP: the MIP ones refused, as the library does.
    const std::vector<std::string> figures = {"GRBgetdblattr ObjBound -> 10005", "GRBgetdblattr MIPGap -> 10005",
                                              "GRBgetdblattr NodeCount -> 10005", "GRBgetdblattr IterCount",
                                              "GRBgetintattr ModelSense"};
    std::vector<std::string> firstValues = {"GRBgetintattr Status", "GRBgetdblattr ObjVal", "GRBgetdblattr Runtime",
                                            "GRBgetintattr Status", "GRBgetdblattr ObjVal", "GRBgetdblattr Runtime"};
    std::vector<std::string> secondValues = {"GRBgetintattr Status", "GRBgetintattr Status",
                                             "GRBgetdblattr ObjVal -> 10005", "GRBgetdblattr Runtime"};
    firstValues.insert(firstValues.end(), figures.begin(), figures.end());
    secondValues.insert(secondValues.end(), figures.begin(), figures.end());
    // The solution, when there is one, for the check.
    firstValues.insert(firstValues.end(), {"GRBgetintattr SolCount", "GRBgetdblattrarray X",
                                           "GRBgetstrattrarray VarName"});
    secondValues.push_back("GRBgetintattr SolCount");
    // The run asks the library's version once, for the details file.
    std::vector<std::string> expected = {"GRBversion"};
    for (const std::string& call : callsFor(1, first, firstValues))
        expected.push_back(call);
    for (const std::string& call : callsFor(2, second, secondValues))
        expected.push_back(call);
    EXPECT_EQ(loggedCalls(run.dir), expected);
    expectCleanLibraryUse(run.log());
}

TEST(GurobiBackend, DefaultSettingsSetNoParameterAndShowTheLibraryLog)
{
    GurobiRun run;
    run.add("a.lp", kOptimalLp);
    run.opt("");
    const std::vector<std::string> calls = loggedCalls(run.dir);
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[0], "GRBversion");
    EXPECT_EQ(calls[2], "GRBstartenv env1");
    EXPECT_EQ(run.log().find("param"), std::string::npos) << run.log();
    EXPECT_TRUE(matchesPattern(run.section(0), ready(1) + "Gurobi test double: reading " + run.models + "/a.lp\n"
                                                 "Gurobi test double: read 2 rows, 2 columns\n"
                                                 "Gurobi test double: solving with GLPK <T>, time limit 1e+100\n"
                                                 "Gurobi test double: status 2\n"
                                                 "Optimal objective: 42\nTime: <T>\n"
                                                 "NOME: a.lp\nTEMPO: <T>\nSTATUS: SOL OTIMA\n"))
        << run.section(0);
}

TEST(GurobiBackend, TimeLimitStopsTheModelItWasGivenTo)
{
    GurobiRun run;
    run.add("hard.lp", hardMip());
    run.opt("verbose\nn\ntime_limit\n1\n");
    EXPECT_TRUE(matchesPattern(run.section(0), ready(1) + "NOME: hard.lp\nTEMPO: <T>\n"
                                                 "STATUS: PROCESSO INTERROMPIDO - LIMITE DE TEMPO\n"))
        << run.section(0);
    EXPECT_TRUE(matchesPattern(run.results(), std::string(kHeader)
                                                  + "GUROBI;hard.lp;<R>;PROCESSO INTERROMPIDO - LIMITE DE TEMPO;-;<R>\r\n"))
        << run.results();
}

TEST(GurobiBackend, RefusedTimeLimitIsReportedAndTheModelSolvedWithoutIt)
{
    GurobiRun run;
    run.add("a.lp", kOptimalLp);
    run.opt("verbose\nn\ntime_limit\n-5\n");
    EXPECT_EQ(run.result.err, "Gurobi error: Unable to set parameter TimeLimit to value -5 (minimum is 0)\n");
    EXPECT_TRUE(matchesPattern(run.section(0), ready(1) + "Optimal objective: 42\nTime: <T>\n"
                                                 "NOME: a.lp\nTEMPO: <T>\nSTATUS: SOL OTIMA\n"))
        << run.section(0);
}

TEST(GurobiBackend, EnvironmentFailuresReportTheModelAsNotSolved)
{
    for (const std::string failure : {"loadenv", "startenv"}) {
        SCOPED_TRACE(failure);
        GurobiRun run;
        run.add("a.lp", kOptimalLp);
        run.add("b.lp", kOptimalLp);
        run.opt("verbose\nn\n", {{"GRB_DOUBLE_FAIL", failure}});
        const std::string message = failure == "loadenv" ? "No Gurobi license found (test double)"
                                                         : "License expired (test double)";
        EXPECT_EQ(run.result.err, "Gurobi error: " + message + "\nGurobi error: " + message + "\n");
        const std::string created = failure == "loadenv" ? "" : ready(1);
        EXPECT_EQ(run.section(0), created + "NOME: a.lp\nSTATUS: ERRO DO SOLVER\n");
        EXPECT_EQ(run.results(), std::string(kHeader) + "GUROBI;a.lp;-;ERRO DO SOLVER;-;0,000000\r\n"
                                                        "GUROBI;b.lp;-;ERRO DO SOLVER;-;0,000000\r\n");
        EXPECT_EQ(run.log().find("GRBreadmodel"), std::string::npos);
        EXPECT_NE(run.log().find("GRBfreeenv env1"), std::string::npos);
        expectCleanLibraryUse(run.log());
    }
}

TEST(GurobiBackend, ModelsThatCannotBeReadAreReportedAndTheRunGoesOn)
{
    GurobiRun run;
    run.add("a_malformed.lp", kMalformedLp);
    run.dir.folder("models/b_folder.lp");
    ASSERT_EQ(symlink("nowhere.lp", (run.models + "/c_dangling.lp").c_str()), 0);
    ASSERT_EQ(mkfifo((run.models + "/d_fifo.lp").c_str(), 0600), 0);
    run.add("e_good.lp", kOptimalLp);
    run.opt();
    EXPECT_EQ(run.result.err, "Gurobi error: Unable to read LP file '" + run.models + "/a_malformed.lp'\n");
    const char* const names[] = {"a_malformed.lp", "b_folder.lp", "c_dangling.lp", "d_fifo.lp"};
    std::string expected = kHeader;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(run.section(i), ready(i + 1) + "NOME: " + names[i] + "\nSTATUS: ERRO DE LEITURA\n");
        expected += std::string("GUROBI;") + names[i] + ";-;ERRO DE LEITURA;-;<R>\r\n";
    }
    expected += "GUROBI;e_good.lp;<R>;SOL OTIMA;42,000000;<R>\r\n";
    EXPECT_TRUE(matchesPattern(run.results(), expected)) << run.results();
    // Only the regular file went to the library's reader.
    const std::string log = run.log();
    EXPECT_NE(log.find("a_malformed.lp -> 10012"), std::string::npos) << log;
    EXPECT_EQ(log.find("GRBreadmodel env2"), std::string::npos) << log;
    EXPECT_EQ(log.find("GRBreadmodel env3"), std::string::npos) << log;
    EXPECT_EQ(log.find("GRBreadmodel env4"), std::string::npos) << log;
    expectCleanLibraryUse(log);
}

TEST(GurobiBackend, OutOfMemoryGivesItsOwnRowAndTheRunGoesOn)
{
    GurobiRun run;
    run.add("a.lp", optimalWith("optimize=oom"));
    run.add("b.lp", kOptimalLp);
    run.opt();
    EXPECT_EQ(run.result.err, "Out of memory error: Out of memory (test double)\n");
    EXPECT_EQ(run.section(0), ready(1) + "NOME: a.lp\n");
    EXPECT_TRUE(matchesPattern(run.results(), std::string(kHeader) + "GUROBI;a.lp;-;SEM MEMORIA;-;<R>\r\n"
                                                                     "GUROBI;b.lp;<R>;SOL OTIMA;42,000000;<R>\r\n"))
        << run.results();
    const std::string log = run.log();
    EXPECT_LT(log.find("GRBfreemodel model1"), log.find("GRBfreeenv env1")) << log;
    expectCleanLibraryUse(log);
}

TEST(GurobiBackend, OtherOptimisationFailuresAreSolverErrors)
{
    GurobiRun run;
    run.add("a.lp", optimalWith("optimize=error"));
    run.add("b.lp", optimalWith("optimize=error runtime=refuse"));
    run.opt();
    EXPECT_EQ(run.result.err, "Gurobi error: Numerical trouble (test double)\n"
                              "Gurobi error: Numerical trouble (test double)\n");
    EXPECT_TRUE(matchesPattern(run.section(0), ready(1) + "NOME: a.lp\nTEMPO: <T>\nSTATUS: ERRO DO SOLVER\n"))
        << run.section(0);
    EXPECT_EQ(run.section(1), ready(2) + "NOME: b.lp\nTEMPO: -\nSTATUS: ERRO DO SOLVER\n");
    EXPECT_TRUE(matchesPattern(run.results(), std::string(kHeader) + "GUROBI;a.lp;<R>;ERRO DO SOLVER;-;<R>\r\n"
                                                                     "GUROBI;b.lp;-;ERRO DO SOLVER;-;<R>\r\n"))
        << run.results();
    expectCleanLibraryUse(run.log());
}

TEST(GurobiBackend, RefusedValuesAreShownAsDashes)
{
    GurobiRun run;
    run.add("a.lp", optimalWith("runtime=refuse"));
    run.opt();
    // The summary needs the time too; the report still shows what it has.
    EXPECT_EQ(run.result.err, "Gurobi error: Unable to retrieve attribute 'Runtime'\n");
    EXPECT_EQ(run.section(0), ready(1) + "NOME: a.lp\nTEMPO: -\nSTATUS: SOL OTIMA\n");
    EXPECT_TRUE(matchesPattern(run.results(), std::string(kHeader) + "GUROBI;a.lp;-;SOL OTIMA;42,000000;<R>\r\n"))
        << run.results();
}
