// Numbers and rows as the console and the results file show them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "batch/Folders.h"
#include "report/Formats.h"
#include "report/ModelReport.h"
#include "report/ResultRows.h"
#include "report/ScipReport.h"

namespace {

TEST(ConsoleNumber, SixSignificantDigitsWithAPoint)
{
    EXPECT_EQ(consoleNumber(0.0156), "0.0156");
    EXPECT_EQ(consoleNumber(2), "2");
    EXPECT_EQ(consoleNumber(0), "0");
    EXPECT_EQ(consoleNumber(123.456789), "123.457");
    EXPECT_EQ(consoleNumber(1.5e6), "1.5e+06");
    EXPECT_EQ(consoleNumber(-0.5), "-0.5");
}

TEST(RowNumber, SixDecimalsAfterAComma)
{
    EXPECT_EQ(rowNumber(2), "2,000000");
    EXPECT_EQ(rowNumber(-3), "-3,000000");
    EXPECT_EQ(rowNumber(0), "0,000000");
    EXPECT_EQ(rowNumber(0.1234567), "0,123457");
    EXPECT_EQ(rowNumber(1.5e6), "1500000,000000");
    EXPECT_EQ(rowNumber(1e20), "100000000000000000000,000000");
    EXPECT_EQ(rowNumber(-1e20), "-100000000000000000000,000000");
    EXPECT_EQ(rowNumber(1.7976931348623157e308).size(), 309u + 7u);
}

TEST(ResultRow, FieldsInOrderWithTheReadingTimeLast)
{
    g_readTime = 1;
    EXPECT_EQ(makeResultRow("modelo1.lp", rowNumber(3), "SOL OTIMA", rowNumber(42)),
              "modelo1.lp;3,000000;SOL OTIMA;42,000000;1,000000");
    g_readTime = 0.004;
    EXPECT_EQ(makeResultRow("m.lp", "-", "ERRO DO SOLVER", "-"), "m.lp;-;ERRO DO SOLVER;-;0,004000");
}

TEST(ResultRow, NamesThatWouldBreakTheColumnsAreQuoted)
{
    g_readTime = 0;
    EXPECT_EQ(makeResultRow("a;b.lp", "1", "S", "2"), "\"a;b.lp\";1;S;2;0,000000");
    EXPECT_EQ(makeResultRow("diz \"oi\".lp", "1", "S", "2"), "\"diz \"\"oi\"\".lp\";1;S;2;0,000000");
    EXPECT_EQ(makeResultRow("linha\nnova.lp", "1", "S", "2"), "\"linha\nnova.lp\";1;S;2;0,000000");
    EXPECT_EQ(makeResultRow("cr\r.lp", "1", "S", "2"), "\"cr\r.lp\";1;S;2;0,000000");
    EXPECT_EQ(makeResultRow("-com espaço, e vírgula.lp", "1", "S", "2"), "-com espaço, e vírgula.lp;1;S;2;0,000000");
}

TEST(UnsolvedReport, NameAndStatusLinesAndADashedRow)
{
    g_resultRows.clear();
    g_readTime = 0.25;
    testing::internal::CaptureStdout();
    reportUnsolved("/dados/modelos/quebrado.lp", kStatusReadError);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "NOME: quebrado.lp\nSTATUS: ERRO DE LEITURA\n");
    ASSERT_EQ(g_resultRows.size(), 1u);
    EXPECT_EQ(g_resultRows[0], "quebrado.lp;-;ERRO DE LEITURA;-;0,250000");
    g_resultRows.clear();
}

TEST(ScipStatusText, EveryStatusHasAText)
{
    const std::pair<SCIP_STATUS, const char*> table[] = {
        {SCIP_STATUS_OPTIMAL, "SOL OTIMA"},
        {SCIP_STATUS_TIMELIMIT, "PROCESSO INTERROMPIDO - LIMITE DE TEMPO"},
        {SCIP_STATUS_INFEASIBLE, "PROBLEMA INFACTIVEL"},
        {SCIP_STATUS_UNBOUNDED, "PROBLEMA ILIMITADO"},
        {SCIP_STATUS_INFORUNBD, "PROBLEMA ILIMITADO OU INFACTIVEL"},
        {SCIP_STATUS_USERINTERRUPT, "PROCESSO INTERROMPIDO - USUARIO"},
        {SCIP_STATUS_NODELIMIT, "PROCESSO INTERROMPIDO - LIMITE DE NOS"},
        {SCIP_STATUS_TOTALNODELIMIT, "PROCESSO INTERROMPIDO - LIMITE DE NOS"},
        {SCIP_STATUS_STALLNODELIMIT, "PROCESSO INTERROMPIDO - LIMITE DE NOS"},
        {SCIP_STATUS_MEMLIMIT, "PROCESSO INTERROMPIDO - LIMITE DE MEMORIA"},
        {SCIP_STATUS_GAPLIMIT, "PROCESSO INTERROMPIDO - LIMITE DE GAP"},
        {SCIP_STATUS_SOLLIMIT, "PROCESSO INTERROMPIDO - LIMITE DE SOLUCOES"},
        {SCIP_STATUS_BESTSOLLIMIT, "PROCESSO INTERROMPIDO - LIMITE DE SOLUCOES"},
        {SCIP_STATUS_RESTARTLIMIT, "PROCESSO INTERROMPIDO - LIMITE DE REINICIOS"},
        {SCIP_STATUS_PRIMALLIMIT, "PROCESSO INTERROMPIDO - LIMITE DE OBJETIVO"},
        {SCIP_STATUS_DUALLIMIT, "PROCESSO INTERROMPIDO - LIMITE DE OBJETIVO"},
        {SCIP_STATUS_TERMINATE, "PROCESSO INTERROMPIDO - SINAL DE TERMINO"},
        {SCIP_STATUS_UNKNOWN, "STATUS DESCONHECIDO"},
    };
    for (const auto& [status, text] : table)
        EXPECT_STREQ(scipStatusText(status), text) << status;
}

}  // namespace

namespace {

TEST(FailedSolveReport, TimeWhenTheSolverHasOneElseADash)
{
    g_resultRows.clear();
    g_readTime = 0.002;
    testing::internal::CaptureStdout();
    reportFailedSolve("pasta/falhou.lp", 1.25);
    reportFailedSolve("pasta/sem-tempo.lp", std::nullopt);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "NOME: falhou.lp\nTEMPO: 1.25\nSTATUS: ERRO DO SOLVER\n"
              "NOME: sem-tempo.lp\nTEMPO: -\nSTATUS: ERRO DO SOLVER\n");
    EXPECT_EQ(std::vector<std::string>(g_resultRows.begin(), g_resultRows.end()), (std::vector<std::string>{"falhou.lp;1,250000;ERRO DO SOLVER;-;0,002000",
                                                      "sem-tempo.lp;-;ERRO DO SOLVER;-;0,002000"}));
    g_resultRows.clear();
}

}  // namespace

namespace {

// Both forms are defined as printf's %g and %f in the C locale; check that over a wide
// spread of values, the comma aside.
TEST(NumberFormats, AgreeWithPrintfEverywhere)
{
    std::vector<double> values{0.0, -0.0, 0.5, 2.5, 0.0000005, 0.0000015, 1e-7, 123456.5, 999999.5, 1e15, 1e20,
                               -1e20, 1.7976931348623157e308, 4.9e-324};
    unsigned seed = 7;
    for (int i = 0; i < 2000; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int exponent = static_cast<int>(seed % 40) - 20;
        seed = seed * 1103515245u + 12345u;
        values.push_back((static_cast<double>(seed) / 4294967296.0 - 0.5) * std::pow(10.0, exponent));
    }
    for (const double value : values) {
        char expected[400];
        std::snprintf(expected, sizeof expected, "%g", value);
        EXPECT_EQ(consoleNumber(value), expected) << value;
        std::snprintf(expected, sizeof expected, "%f", value);
        std::string withComma = expected;
        std::replace(withComma.begin(), withComma.end(), '.', ',');
        EXPECT_EQ(rowNumber(value), withComma) << value;
    }
}

}  // namespace

namespace {

// The name is cut from the path without building every piece; it must stay the last one.
TEST(ModelName, IsTheLastPieceOfThePath)
{
    for (const char* path : {"/dados/modelos/teste.lp", "teste.lp", "modelos/", "", "//x.lp", "a b/;c\".lp"})
        EXPECT_EQ(modelName(path), splitPath(path).back()) << path;
}

}  // namespace
