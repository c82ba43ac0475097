// CBC's parameters as a run gives them: checked against CBC's own table before anything is
// solved, from the command line's values and from a settings file.
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "backends/Solver.h"
#include "backends/cbc/CbcSettings.h"

namespace {

std::optional<std::string> refusal(const SolverSettings& settings)
{
    return solverByWord("cbc")->refuseSettings(settings);
}

std::optional<std::string> refusalOf(const std::string& name, const std::string& value)
{
    return refusal(SolverSettings{{{name, value}}, ""});
}

TEST(CbcSettings, TakesCbcsOwnParametersAndValues)
{
    // Names in any case or a long enough beginning, as CBC's command line takes them; numbers
    // within their ranges, keywords among their values.
    for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
             {"maxNodes", "1"}, {"maxnodes", "1000"}, {"ratioGap", "0.01"}, {"allowableGap", "1e-3"},
             {"seconds", "10"}, {"sec", "2.5"}, {"cuts", "off"}, {"preprocess", "sos"}, {"randomCbcSeed", "7"},
             {"maxSolutions", "3"}, {"strategy", "2"}, {"presolve", "on"}})
        EXPECT_EQ(refusalOf(name, value), std::nullopt) << name << " " << value;
    EXPECT_EQ(refusal(SolverSettings{}), std::nullopt);
}

TEST(CbcSettings, RefusesWhatCbcWouldNotTake)
{
    EXPECT_EQ(refusalOf("maxNodez", "1"), "parâmetro desconhecido: maxNodez");
    EXPECT_EQ(refusalOf("limits/gap", "0.01"), "parâmetro desconhecido: limits/gap");
    // Too short a beginning, and actions, are no settings.
    EXPECT_EQ(refusalOf("m", "1"), "parâmetro desconhecido: m");
    EXPECT_EQ(refusalOf("solve", "1"), "parâmetro desconhecido: solve");
    EXPECT_EQ(refusalOf("import", "x.mps"), "parâmetro desconhecido: import");
    EXPECT_EQ(refusalOf("maxNodes", "many"), "valor inválido para o parâmetro maxNodes: many");
    EXPECT_EQ(refusalOf("maxNodes", "-5"), "valor inválido para o parâmetro maxNodes: -5");
    EXPECT_EQ(refusalOf("maxNodes", "1.5"), "valor inválido para o parâmetro maxNodes: 1.5");
    EXPECT_EQ(refusalOf("ratioGap", "0.01x"), "valor inválido para o parâmetro ratioGap: 0.01x");
    EXPECT_EQ(refusalOf("cuts", "sometimes"), "valor inválido para o parâmetro cuts: sometimes");
    // The first refused one is named.
    EXPECT_EQ(refusal(SolverSettings{{{"cuts", "off"}, {"bogus", "1"}, {"other", "2"}}, ""}),
              "parâmetro desconhecido: bogus");
}

TEST(CbcSettings, ReadsItsFileFormat)
{
    TempDir dir;
    const std::string file = dir.write("run.cbc", "# CBC settings\n\nmaxNodes 10\n  ratioGap=0.5   # half\n"
                                                  "cuts = off\r\nsec\t3\n");
    std::string problem;
    const auto settings = cbcSettingsInOrder(SolverSettings{{{"maxNodes", "20"}}, file}, problem);
    ASSERT_TRUE(settings) << problem;
    std::vector<std::string> arguments = cbcArguments(*settings);
    EXPECT_EQ(arguments, (std::vector<std::string>{"-maxNodes", "10", "-ratioGap", "0.5", "-cuts", "off", "-sec",
                                                   "3", "-maxNodes", "20"}));
    EXPECT_EQ(refusal(SolverSettings{{}, file}), std::nullopt);

    const std::string unknown = dir.write("unknown.cbc", "maxNodes 10\nfoo 1\n");
    EXPECT_EQ(refusal(SolverSettings{{}, unknown}), "parâmetro desconhecido: foo");
    const std::string lonely = dir.write("lonely.cbc", "maxNodes\n");
    EXPECT_EQ(refusal(SolverSettings{{}, lonely}), "linha 1 de " + lonely + " não é um parâmetro: maxNodes");
    const std::string extra = dir.write("extra.cbc", "# x\ncuts off now\n");
    EXPECT_EQ(refusal(SolverSettings{{}, extra}), "linha 2 de " + extra + " não é um parâmetro: cuts off now");
    EXPECT_EQ(refusal(SolverSettings{{}, dir.file("absent.cbc")}),
              "arquivo de parâmetros não pode ser lido: " + dir.file("absent.cbc"));
}

}  // namespace
