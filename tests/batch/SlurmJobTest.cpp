// What a SLURM task asks for, and how its script quotes.
#include <gtest/gtest.h>

#include "batch/SlurmJob.h"

namespace {

TEST(SlurmJob, TimeAskedForATask)
{
    EXPECT_FALSE(taskSeconds(std::nullopt, 10, 1));
    EXPECT_EQ(taskSeconds(100, 10, 1), 10 * (110 + 15) + 300);
    EXPECT_EQ(taskSeconds(100, 10, 4), 3 * (110 + 15) + 300);  // 10 models on 4 jobs: 3 rounds
    EXPECT_EQ(taskSeconds(0.5, 1, 1), 316);                     // rounded up
    // A limit beyond what SLURM can ask for asks for nothing (and never overflows).
    EXPECT_FALSE(taskSeconds(1e12, 240, 1));
    EXPECT_FALSE(taskSeconds(1e300, 1, 1));
    EXPECT_EQ(slurmTime(316), "0-00:05:16");
    EXPECT_EQ(slurmTime(2 * 86400 + 3 * 3600 + 4 * 60 + 5), "2-03:04:05");
    EXPECT_EQ(shellWord("/a/b-c_d.lp"), "/a/b-c_d.lp");
    EXPECT_EQ(shellWord("it's $HOME"), "'it'\\''s $HOME'");
    EXPECT_EQ(shellWord(""), "''");
}

}  // namespace
