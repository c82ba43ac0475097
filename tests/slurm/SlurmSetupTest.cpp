// The SLURM suite's entry as CTest runs it, over a cluster that cannot start: a failure,
// never a skip (which `./lumbrix.sh test` would count as a pass).
#include <gtest/gtest.h>

#include "Process.h"

namespace {

TEST(SlurmSuite, AClusterThatCannotStartFailsTheSuite)
{
    ProcessOptions options;
    options.timeoutSeconds = 300;
    const ProcessResult run = runProcess({CTEST_COMMAND, "--test-dir", BROKEN_CLUSTER_DIR, "--verbose"}, options);
    ASSERT_FALSE(run.timedOut);
    if (run.out.find("***Skipped") != std::string::npos) {
        // Not root, or the programs are missing: the suite says which before it runs anything.
        EXPECT_NE(run.out.find("SLURM suite skipped: "), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("[ RUN      ]"), std::string::npos) << run.out;
        EXPECT_EQ(run.exitCode, 0) << run.out;
        return;
    }
    EXPECT_NE(run.out.find("***Failed"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("a daemon ended as it started"), std::string::npos) << run.out;
    EXPECT_NE(run.exitCode, 0) << run.out;
}

}  // namespace
