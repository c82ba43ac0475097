// Settings as the details file records them; the rest of their handling is tested end to end
// (tests/cli/SettingsTest.cpp).
#include <gtest/gtest.h>

#include "backends/SolverSettings.h"

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

}  // namespace
