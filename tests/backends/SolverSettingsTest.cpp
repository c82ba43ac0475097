// Settings as the details file records them, the names a settings file sets, and the
// parameters the program keeps for its own options.
#include <gtest/gtest.h>

#include "TempDir.h"
#include "backends/SolverSettings.h"
#include "batch/RunRequest.h"

namespace {

TEST(SettingsText, TheFileByItsNameThenTheValuesInOrderWithSeparatorsEscaped)
{
    SolverSettings settings;
    EXPECT_EQ(settingsText(settings), "");
    settings.values = {{"limits/gap", "0.01"}, {"limits/nodes", "1000"}};
    EXPECT_EQ(settingsText(settings), "limits/gap=0.01;limits/nodes=1000");
    settings.file = "/home/u/ajustes;v=2\\b.set";
    settings.values.push_back({"LogFile", "a=b;c.log"});
    EXPECT_EQ(settingsText(settings),
              "@ajustes\\;v\\=2\\\\b.set;limits/gap=0.01;limits/nodes=1000;LogFile=a\\=b\\;c.log");
    settings.values.clear();
    EXPECT_EQ(settingsText(settings), "@ajustes\\;v\\=2\\\\b.set");
}

TEST(SettingsFile, NamesOfEveryLineThatSetsOne)
{
    TempDir dir;
    const std::string file = dir.write("a.set", "# comentário\n\nlimits/gap = 0.1\n\tlimits/nodes=5 # x\r\n"
                                                "MIPGap 0.2\n  # só comentário\nSemFim");
    EXPECT_EQ(settingsFileNames(file), (std::vector<std::string>{"limits/gap", "limits/nodes", "MIPGap", "SemFim"}));
    EXPECT_EQ(settingsFileNames(dir.file("nenhum.set")), std::nullopt);
}

TEST(OwnParameters, RefusedByNameWithTheOptionThatSetsThem)
{
    TempDir dir;
    const std::vector<OwnParameter> own = {{"TimeLimit", "--time-limit"}};
    SolverSettings settings;
    settings.values = {{"MIPGap", "0.1"}, {"timelimit", "5"}};
    EXPECT_EQ(refuseOwnParameters(settings, own, true), "parâmetro definido pelo programa: timelimit (use --time-limit)");
    EXPECT_EQ(refuseOwnParameters(settings, own, false), std::nullopt);
    settings.values.clear();
    settings.file = dir.write("a.prm", "MIPGap 0.1\nTimeLimit 5\n");
    EXPECT_EQ(refuseOwnParameters(settings, own, false), "parâmetro definido pelo programa: TimeLimit (use --time-limit)");
    settings.file = dir.file("nenhum.prm");
    EXPECT_EQ(refuseOwnParameters(settings, own, false), "arquivo de parâmetros ilegível: " + dir.file("nenhum.prm"));
}

TEST(SettingArgument, SplitAtTheFirstEquals)
{
    const auto setting = parseSetting("LogFile=a=b");
    ASSERT_TRUE(setting);
    EXPECT_EQ(setting->name, "LogFile");
    EXPECT_EQ(setting->value, "a=b");
    EXPECT_EQ(parseSetting("limits/gap=")->value, "");
    EXPECT_FALSE(parseSetting("limits/gap"));
    EXPECT_FALSE(parseSetting("=1"));
    EXPECT_FALSE(parseSetting(""));
}

}  // namespace
