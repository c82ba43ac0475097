// Writes runs for the comparison benchmark: <folder>/run1 ... run<R>, each with a details file
// of N models as opt writes it (its own row writer), times, statuses and bounds varying from
// model to model and from run to run like those of different solvers on the same models.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/stat.h>

#include "report/DetailsFile.h"

namespace {

constexpr double kTimeLimit = 300;

struct Random {
    unsigned long long state;
    double uniform()
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) / 9007199254740992.0;
    }
};

ModelOutcome outcomeOf(long model, int run, Random& random)
{
    Random base{static_cast<unsigned long long>(model) * 7919 + 17};
    const double modelSeconds = std::exp(-3 + 9 * base.uniform());
    const bool infeasible = base.uniform() < 0.05;
    const double value = static_cast<double>(model % 1000) + 0.5;

    ModelOutcome outcome;
    char name[32];
    std::snprintf(name, sizeof name, "m%06ld.lp", model);
    outcome.name = name;
    outcome.readSeconds = 0.001;
    const double seconds = modelSeconds * (0.6 + 0.9 * random.uniform()) * (run == 1 ? 0.8 : 1.0);
    if (random.uniform() < 0.01) {
        outcome.status = ModelStatus::ReadError;
        return outcome;
    }
    outcome.solveSeconds = std::min(seconds, kTimeLimit + 0.05);
    outcome.wallSeconds = *outcome.solveSeconds + 0.002;
    if (seconds > kTimeLimit) {
        outcome.status = ModelStatus::TimeLimit;
        if (!infeasible) {
            outcome.objective = value + 1;
            outcome.dualBound = value - 1;
        }
    } else if (infeasible) {
        outcome.status = ModelStatus::Infeasible;
    } else {
        outcome.status = ModelStatus::Optimal;
        outcome.objective = value;
        outcome.dualBound = value;
    }
    return outcome;
}

bool writeRun(const std::string& folder, int run, long models)
{
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
        return false;
    RunDescription description;
    description.solver = "SCIP";
    description.solverVersion = "SCIP 9.2.2";
    description.timeLimit = kTimeLimit;
    description.host = "bench";
    description.startedAt = isoUtcTime(1796661338);
    description.lumbrixVersion = "3.0";
    std::string text = kDetailsFileHeader;
    Random random{static_cast<unsigned long long>(run) * 104729 + 3};
    for (long model = 0; model < models; ++model) {
        // A few wrong checks, so that the lists below the table have lines too.
        const char* check = run == 2 && model % 500 == 7 ? "wrong" : "ok";
        text += detailsRow(outcomeOf(model, run, random), description, check) + "\n";
    }
    const std::string path = folder + "/" + kDetailsFileName;
    FILE* file = std::fopen(path.c_str(), "w");
    return file && std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <folder> <runs> <models>\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[2]);
    const long models = std::strtol(argv[3], nullptr, 10);
    if (runs < 1 || models < 0) {
        std::fprintf(stderr, "runs >= 1 and models >= 0\n");
        return 2;
    }
    if (mkdir(argv[1], 0755) != 0 && errno != EEXIST) {
        std::perror(argv[1]);
        return 1;
    }
    for (int run = 1; run <= runs; ++run) {
        const std::string folder = std::string(argv[1]) + "/run" + std::to_string(run);
        if (!writeRun(folder, run, models)) {
            std::perror(folder.c_str());
            return 1;
        }
    }
    return 0;
}
