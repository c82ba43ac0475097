// Ctrl-C between two conversions of a run, in this test process.
#include <csignal>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ConvertSession.h"
#include "TempDir.h"
#include "convert/ConvertModFile.h"

namespace {

using Handler = void (*)(int);

Handler currentInterruptHandler()
{
    struct sigaction current = {};
    EXPECT_EQ(sigaction(SIGINT, nullptr, &current), 0);
    return current.sa_handler;
}

// Converts one model here, standard output and error captured.
std::string convertCapturingErrors(const std::string& model)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    convertModFile(model);
    static_cast<void>(testing::internal::GetCapturedStdout());
    return testing::internal::GetCapturedStderr();
}

TEST(ConversionRun, CtrlCBetweenModelsStopsTheNextConversionOnly)
{
    TempDir dir;
    const std::string first = dir.write("a.mod", tinyModel("3"));
    const std::string second = dir.write("b.mod", tinyModel("5"));
    const std::string old = dir.write("a.lp", "old\n");
    const Handler before = std::signal(SIGINT, SIG_DFL);
    {
        const ConversionRun run;
        ASSERT_EQ(std::raise(SIGINT), 0);  // would end this test program without the run
        EXPECT_EQ(convertCapturingErrors(first), "Erro ao tranformar modelo\n");
        EXPECT_EQ(readFile(old), "old\n");
        EXPECT_EQ(convertCapturingErrors(second), "");
        EXPECT_NE(readFile(dir.file("b.lp")).find(tinyObjective(5)), std::string::npos);
        // Caught after the last model: nothing is left to stop.
        ASSERT_EQ(std::raise(SIGINT), 0);
    }
    EXPECT_EQ(currentInterruptHandler(), SIG_DFL);
    EXPECT_EQ(convertCapturingErrors(first), "");
    EXPECT_NE(readFile(old).find(tinyObjective(3)), std::string::npos);
    EXPECT_EQ(folderNames(dir.path()), (std::vector<std::string>{"a.lp", "a.mod", "b.lp", "b.mod"}));

    // A program that ignores SIGINT keeps ignoring it, during the run and after it.
    std::signal(SIGINT, SIG_IGN);
    {
        const ConversionRun run;
        EXPECT_EQ(currentInterruptHandler(), SIG_IGN);
        EXPECT_EQ(convertCapturingErrors(second), "");
    }
    EXPECT_EQ(currentInterruptHandler(), SIG_IGN);
    std::signal(SIGINT, before);
}

}  // namespace
