// The check of a solution against a model of 1,000,000 non-zeros, against reading that
// model through the SCIP interface the program links (what read_seconds measures), in
// alternating rounds. The check is timed as the solver process does it for a solver that
// read the file itself: reading it again with Lumbrix's reader, finding the values by name,
// checking; and without the reading, as for a model the engine kept. Prints the medians and
// the ratios to the reading.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <scip/scip.h>
#include <scip/scipdefplugins.h>

#include "engines/model/ModelFile.h"
#include "engines/model/SolutionCheck.h"
#include "Median.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRows = 50000;
constexpr int kTermsPerRow = 20;
constexpr int kColumns = 100000;

struct Generator {
    unsigned seed = 11;
    int next(int high)
    {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<unsigned>(high));
    }
};

// The solution: integers on the integer columns, eighths elsewhere, so that the activities
// are exact decimals the file can state; a third of the rows are tight at the solution.
double solutionValue(int column)
{
    return column % 5 == 0 ? column % 4 : (column % 13) / 8.0;
}

std::string decimal(long long tenths)
{
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0)
        text += "." + std::to_string(tenths % 10);
    return text;
}

bool writeModel(const char* path)
{
    std::FILE* file = std::fopen(path, "w");
    if (file == nullptr)
        return false;
    Generator random;
    std::string text = "\\ check benchmark\nMinimize\n obj:";
    for (int j = 0; j < kColumns; ++j)
        text += " + " + decimal(1 + random.next(500)) + " x" + std::to_string(j) + (j % 8 == 7 ? "\n" : "");
    text += "\nSubject To\n";
    for (int i = 0; i < kRows; ++i) {
        text += " c" + std::to_string(i) + ":";
        // Activity in 80ths: tenths of coefficients times eighths of values.
        long long activity = 0;
        std::vector<int> used;
        for (int k = 0; k < kTermsPerRow; ++k) {
            int column = random.next(kColumns);
            while (std::find(used.begin(), used.end(), column) != used.end())
                column = (column + 1) % kColumns;
            used.push_back(column);
            const int tenths = 1 + random.next(999);
            activity += static_cast<long long>(tenths) * static_cast<long long>(solutionValue(column) * 8);
            text += (k == 0 ? " " : " + ") + decimal(tenths) + " x" + std::to_string(column);
        }
        // Tight rows get the activity itself, an exact decimal (80ths end in at most four
        // decimals); the others room to spare.
        const long long slack = i % 3 == 0 ? 0 : 80 * (1 + random.next(100));
        char rhs[64];
        std::snprintf(rhs, sizeof rhs, "%.4f", static_cast<double>(activity + slack) / 80.0);
        text += std::string(" <= ") + rhs + "\n";
    }
    text += "Bounds\n";
    for (int j = 0; j < kColumns; ++j)
        text += " x" + std::to_string(j) + " <= " + std::to_string(3 + j % 4) + "\n";
    text += "Generals\n";
    for (int j = 0; j < kColumns; j += 5)
        text += " x" + std::to_string(j) + "\n";
    text += "End\n";
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

double readWithScipInterface(const char* path)
{
    SCIP* scip = nullptr;
    const Clock::time_point start = Clock::now();
    if (SCIPcreate(&scip) != SCIP_OKAY || SCIPincludeDefaultPlugins(scip) != SCIP_OKAY
        || SCIPsetMessagehdlr(scip, nullptr) != SCIP_OKAY || SCIPreadProb(scip, path, nullptr) != SCIP_OKAY) {
        std::fprintf(stderr, "the SCIP interface failed to read %s\n", path);
        return -1.0;
    }
    SCIPfree(&scip);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Solved {
    std::vector<std::string> names;
    std::vector<double> values;
};

// What the back end hands over: the values by the solver's names.
Solved solutionOf(const char* path)
{
    LpModel model;
    LpReadError error;
    Solved solved;
    if (readModelFile(path, model, error) != 0)
        return solved;
    for (const LpColumn& column : model.columns) {
        solved.names.emplace_back(column.name);
        solved.values.push_back(solutionValue(std::stoi(std::string(column.name.substr(1)))));
    }
    return solved;
}

// Seconds of the check; `feasible` tells what it found.
double check(const char* path, const Solved& solution, bool readAgain, const LpModel& kept, bool& feasible)
{
    const Clock::time_point start = Clock::now();
    LpModel fresh;
    LpReadError error;
    if (readAgain && readModelFile(path, fresh, error) != 0)
        return -1.0;
    const LpModel& model = readAgain ? fresh : kept;
    std::vector<double> values;
    std::string missing;
    if (!valuesByColumn(model, solution.names, solution.values, values, missing))
        return -1.0;
    feasible = checkSolution(model, values, CheckTolerances{}).feasible;
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <file to write the model to>\n", argv[0]);
        return 2;
    }
    const char* path = argv[1];
    if (!writeModel(path)) {
        std::perror(path);
        return 1;
    }
    const Solved solution = solutionOf(path);
    LpModel kept;
    LpReadError error;
    if (solution.names.size() != static_cast<std::size_t>(kColumns) || readModelFile(path, kept, error) != 0) {
        std::fprintf(stderr, "the model was not read back\n");
        return 1;
    }
    std::vector<double> reading, checking, checkingKept;
    bool feasible = false;
    bool keptFeasible = false;
    for (int round = 0; round < 5; ++round) {
        reading.push_back(readWithScipInterface(path));
        checking.push_back(check(path, solution, true, kept, feasible));
        checkingKept.push_back(check(path, solution, false, kept, keptFeasible));
        if (reading.back() < 0 || checking.back() < 0 || checkingKept.back() < 0)
            return 1;
    }
    if (!feasible || !keptFeasible) {
        std::fprintf(stderr, "the check refused a feasible solution\n");
        return 1;
    }
    const double read = median(reading);
    const double withReading = median(checking);
    const double alone = median(checkingKept);
    std::printf("check      %d non-zeros: reading through the engine %.4f s; check with its own reading %.4f s, "
                "ratio %.3f; check of a kept model %.4f s, ratio %.3f\n",
                kRows * kTermsPerRow, read, withReading, withReading / read, alone, alone / read);
    return 0;
}
