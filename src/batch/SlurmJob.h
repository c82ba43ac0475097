#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// A run handed to SLURM: an array job whose task i solves shard i + 1 of N with --resume (a
// task submitted again goes on where it stopped), and a merge job that runs after it.
struct SlurmRequest {
    std::string lumbrix;       // this program, by absolute path
    std::string modelFolder;   // absolute, as every node sees it
    std::string outputFolder;  // absolute, as every node sees it
    std::vector<std::string> optOptions;  // handed on to every task's `opt`
    std::size_t tasks = 1;
    std::size_t mostModels = 0;  // in the largest shard
    std::optional<double> timeLimit;
    std::optional<double> memoryLimitMb;
    int jobs = 1;
    std::string partition;
    std::vector<std::string> sbatchArguments;  // after ours, so that they win
    bool dryRun = false;
};

// The wall time a task may need: every model at 1.1 times the limit plus the hard stop's 15 s
// of grace, the models shared by its jobs, and 5 minutes to start and end. nullopt without a
// time limit, or with one beyond what SLURM can ask for (the partition's default applies).
std::optional<long long> taskSeconds(std::optional<double> timeLimit, std::size_t models, int jobs);

// SLURM's "days-hours:minutes:seconds".
std::string slurmTime(long long seconds);

// The word as the shell reads it back: as it is when it holds only safe characters,
// otherwise in single quotes.
std::string shellWord(const std::string& word);

// The sbatch command lines of the two jobs, without the program name; the merge job's
// dependency ends in `arrayJob`.
std::vector<std::string> arrayJobArguments(const SlurmRequest& request);
std::vector<std::string> mergeJobArguments(const SlurmRequest& request, const std::string& arrayJob);

// Writes both job scripts into the output folder, then submits them (their job ids on standard
// output, one a line: the array job's, then the merge job's) or, with dryRun, prints the
// sbatch commands. 0, or 1 when a script cannot be written or sbatch fails (its own message
// and ours on standard error).
int submitSlurmRun(const SlurmRequest& request);
