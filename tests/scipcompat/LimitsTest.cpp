// The time limit and Ctrl-C, as SCIP 9 handles them; these hold for SCIP itself too.
#include <atomic>
#include <csignal>
#include <cstring>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"

namespace {

TEST(TimeLimit, AcceptsZeroToInfinityAndRefusesTheRest)
{
    ScipInstance scip;
    EXPECT_EQ(SCIPsetRealParam(scip.get(), "limits/time", 0.0), SCIP_OKAY);
    EXPECT_EQ(SCIPsetRealParam(scip.get(), "limits/time", 30.0), SCIP_OKAY);
    EXPECT_EQ(SCIPsetRealParam(scip.get(), "limits/time", 1e20), SCIP_OKAY);
    OutputCapture capture;
    EXPECT_EQ(SCIPsetRealParam(scip.get(), "limits/time", -5.0), SCIP_PARAMETERWRONGVAL);
    EXPECT_EQ(SCIPsetRealParam(scip.get(), "limits/time", 1.5e20), SCIP_PARAMETERWRONGVAL);
    EXPECT_EQ(SCIPsetRealParam(scip.get(), "limits/tempo", 30.0), SCIP_PARAMETERUNKNOWN);
    const std::string err = capture.err();
    EXPECT_NE(err.find("] ERROR: Invalid value <-5> for real parameter <limits/time>. Must be in range [0,1e+20].\n"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("] ERROR: Invalid value <1.5e+20> for real parameter <limits/time>. Must be in range [0,1e+20].\n"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("] ERROR: parameter <limits/tempo> unknown\n"), std::string::npos) << err;
    EXPECT_EQ(capture.out(), "");
}

TEST(TimeLimit, AHugeLimitIsNoLimit)
{
    TempDir dir;
    const std::string path = dir.write("small.lp", "Maximize\n obj: x + y\nSubject To\n c1: 2 x + 2 y <= 7\nGenerals\n x y\nEnd\n");
    for (const double limit : {1e19, 1e20}) {
        ScipInstance scip;
        ASSERT_EQ(SCIPsetRealParam(scip.get(), "limits/time", limit), SCIP_OKAY);
        EXPECT_EQ(readAndSolve(scip.get(), path), SCIP_STATUS_OPTIMAL) << limit;
        EXPECT_EQ(SCIPgetPrimalbound(scip.get()), 3.0);
    }
}

TEST(TimeLimit, ARefusedValueLeavesTheOldLimit)
{
    TempDir dir;
    const std::string path = dir.write("hard.lp", hardModel());
    ScipInstance scip;
    ASSERT_EQ(SCIPsetRealParam(scip.get(), "limits/time", 1.0), SCIP_OKAY);
    {
        OutputCapture capture;
        ASSERT_EQ(SCIPsetRealParam(scip.get(), "limits/time", -1.0), SCIP_PARAMETERWRONGVAL);
    }
    HangGuard guard(120);
    EXPECT_EQ(readAndSolve(scip.get(), path), SCIP_STATUS_TIMELIMIT);
}

TEST(TimeLimit, StopsALongLp)
{
    TempDir dir;
    const std::string path = dir.write("hard.lp", hardLpModel());
    ScipInstance scip;
    ASSERT_EQ(SCIPsetRealParam(scip.get(), "limits/time", 1.0), SCIP_OKAY);
    HangGuard guard(120);
    EXPECT_EQ(readAndSolve(scip.get(), path), SCIP_STATUS_TIMELIMIT);
}

TEST(TimeLimit, StopsALongMipAndKeepsItsBestSolution)
{
    TempDir dir;
    const std::string path = dir.write("hard.lp", hardModel());
    ScipInstance scip;
    ASSERT_EQ(SCIPsetRealParam(scip.get(), "limits/time", 1.0), SCIP_OKAY);
    HangGuard guard(120);
    EXPECT_EQ(readAndSolve(scip.get(), path), SCIP_STATUS_TIMELIMIT);
    // Slacks make every 0/1 point feasible, and the objective is a sum of slacks.
    const double bound = SCIPgetPrimalbound(scip.get());
    EXPECT_GE(bound, 0.0);
    EXPECT_LT(bound, 1e20);
}

// Ctrl-C arrives from another thread once the solve has put its handler in place.
std::atomic<int> g_beforeSolveSignals{0};

extern "C" void countSignal(int)
{
    g_beforeSolveSignals.fetch_add(1);
}

void (*currentHandler())(int)
{
    struct sigaction current;
    EXPECT_EQ(sigaction(SIGINT, nullptr, &current), 0);
    return current.sa_handler;
}

void pressCtrlCDuringTheSolve(std::atomic<bool>& solving)
{
    while (solving.load() && currentHandler() == countSignal)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    if (solving.load())
        std::raise(SIGINT);
}

class Interrupt : public testing::Test {
protected:
    void SetUp() override
    {
        struct sigaction action;
        std::memset(&action, 0, sizeof action);
        action.sa_handler = countSignal;
        ASSERT_EQ(sigemptyset(&action.sa_mask), 0);
        ASSERT_EQ(sigaction(SIGINT, &action, &m_previous), 0);
        g_beforeSolveSignals.store(0);
    }
    void TearDown() override { EXPECT_EQ(sigaction(SIGINT, &m_previous, nullptr), 0); }

    // Solves `model` while a second thread presses Ctrl-C.
    void solveInterrupted(const std::string& model)
    {
        TempDir dir;
        const std::string path = dir.write("hard.lp", model);
        ScipInstance scip;
        ASSERT_EQ(SCIPsetMessagehdlr(scip.get(), nullptr), SCIP_OKAY);
        ASSERT_EQ(SCIPreadProb(scip.get(), path.c_str(), nullptr), SCIP_OKAY);
        ASSERT_EQ(SCIPsetRealParam(scip.get(), "limits/time", 60.0), SCIP_OKAY);  // guards against a lost signal
        std::atomic<bool> solving{true};
        HangGuard guard(180);
        OutputCapture capture;
        std::thread presser(pressCtrlCDuringTheSolve, std::ref(solving));
        const SCIP_RETCODE code = SCIPsolve(scip.get());
        solving.store(false);
        presser.join();
        EXPECT_EQ(code, SCIP_OKAY);
        EXPECT_EQ(SCIPgetStatus(scip.get()), SCIP_STATUS_USERINTERRUPT);
        EXPECT_EQ(capture.out(), "pressed CTRL-C 1 times (5 times for forcing termination)\n");
        EXPECT_EQ(g_beforeSolveSignals.load(), 0);
    }

private:
    struct sigaction m_previous;
};

TEST_F(Interrupt, StopsAMipSolveAndRestoresTheHandler)
{
    solveInterrupted(hardModel());
    EXPECT_EQ(currentHandler(), countSignal);
    std::raise(SIGINT);
    EXPECT_EQ(g_beforeSolveSignals.load(), 1);
}

TEST_F(Interrupt, StopsAnLpSolve)
{
    solveInterrupted(hardLpModel());
    EXPECT_EQ(currentHandler(), countSignal);
}

TEST_F(Interrupt, AnIgnoredSignalStaysIgnoredAfterASolve)
{
    ASSERT_NE(std::signal(SIGINT, SIG_IGN), SIG_ERR);
    TempDir dir;
    const std::string path = dir.write("small.lp", "Maximize\n obj: x\nSubject To\n c1: x <= 4\nGenerals\n x\nEnd\n");
    ScipInstance scip;
    EXPECT_EQ(readAndSolve(scip.get(), path), SCIP_STATUS_OPTIMAL);
    EXPECT_EQ(currentHandler(), SIG_IGN);
}

}  // namespace
