// Numbers and rows as the console and the results file show them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "backends/scip/ScipBackend.h"
#include "report/Formats.h"
#include "report/ModelReport.h"

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

ModelOutcome outcome(const std::string& name, ModelStatus status, std::optional<double> solve,
                     std::optional<double> objective, std::optional<double> read,
                     ReportLines lines = ReportLines::NameTimeStatus)
{
    ModelOutcome result;
    result.name = name;
    result.status = status;
    result.solveSeconds = solve;
    result.objective = objective;
    result.readSeconds = read;
    result.lines = lines;
    return result;
}

TEST(ResultRow, FieldsInOrderWithTheReadingTimeLastAndDashesForWhatIsMissing)
{
    EXPECT_EQ(resultRow(outcome("modelo1.lp", ModelStatus::Optimal, 3, 42, 1)),
              "modelo1.lp;3,000000;SOL OTIMA;42,000000;1,000000");
    EXPECT_EQ(resultRow(outcome("m.lp", ModelStatus::SolverError, std::nullopt, std::nullopt, 0.004)),
              "m.lp;-;ERRO DO SOLVER;-;0,004000");
    EXPECT_EQ(resultRow(outcome("m.lp", ModelStatus::Crashed, 2.5, std::nullopt, std::nullopt)),
              "m.lp;2,500000;ERRO DO SOLVER;-;-");
    EXPECT_EQ(resultRow(outcome("i.lp", ModelStatus::Infeasible, 0, 1e20, 0)),
              "i.lp;0,000000;PROBLEMA INFACTIVEL;100000000000000000000,000000;0,000000");
}

TEST(ResultRow, NamesThatWouldBreakTheColumnsAreQuoted)
{
    const auto row = [](const std::string& name) {
        return resultRow(outcome(name, ModelStatus::Optimal, 1, 2, 0));
    };
    const std::string rest = ";1,000000;SOL OTIMA;2,000000;0,000000";
    EXPECT_EQ(row("a;b.lp"), "\"a;b.lp\"" + rest);
    EXPECT_EQ(row("diz \"oi\".lp"), "\"diz \"\"oi\"\".lp\"" + rest);
    EXPECT_EQ(row("linha\nnova.lp"), "\"linha\nnova.lp\"" + rest);
    EXPECT_EQ(row("cr\r.lp"), "\"cr\r.lp\"" + rest);
    EXPECT_EQ(row("-com espaço, e vírgula.lp"), "-com espaço, e vírgula.lp" + rest);
}

TEST(ConsoleReport, LinesAsTheOutcomeSays)
{
    EXPECT_EQ(consoleReport(outcome("a.lp", ModelStatus::Optimal, 0.0156, 2, 0)),
              "NOME: a.lp\nTEMPO: 0.0156\nSTATUS: SOL OTIMA\n");
    EXPECT_EQ(consoleReport(outcome("f.lp", ModelStatus::SolverError, std::nullopt, std::nullopt, 0)),
              "NOME: f.lp\nTEMPO: -\nSTATUS: ERRO DO SOLVER\n");
    EXPECT_EQ(consoleReport(outcome("q.lp", ModelStatus::ReadError, std::nullopt, std::nullopt, 0.25,
                                    ReportLines::NameStatus)),
              "NOME: q.lp\nSTATUS: ERRO DE LEITURA\n");
    EXPECT_EQ(consoleReport(outcome("o.lp", ModelStatus::OutOfMemory, std::nullopt, std::nullopt, 0.25,
                                    ReportLines::NameOnly)),
              "NOME: o.lp\n");
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
        EXPECT_STREQ(statusText(scipModelStatus(status)), text) << status;
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

