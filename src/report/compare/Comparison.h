#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "report/compare/RunRecords.h"

// One run of a comparison: its label, the file it was read from, its rows.
struct ComparedRun {
    std::string label;
    std::string source;
    std::vector<ModelRecord> models;
};

// What a run's row of a model comes to. Solved: optimal, infeasible, unbounded or
// infeasible_or_unbounded without a wrong answer. Wrong: one of those with a wrong answer
// (check `wrong`, or solution_check `infeasible`). TimeOut: time_limit. Failure: any other
// status, not_run included. Absent: the run has no row for the model.
enum class Verdict { Solved, Wrong, TimeOut, Failure, Absent };

// Two times count as different only when the slower is more than kWinFactor times the faster
// and at least kWinSeconds longer.
inline constexpr double kWinFactor = 1.1;
inline constexpr double kWinSeconds = 0.5;
// Values agree within this relative tolerance, with the same absolute floor.
inline constexpr double kValueTolerance = 1e-6;
// Performance ratios take times below this as this, so that ratios of tiny times do not rule.
inline constexpr double kProfileFloorSeconds = 0.01;

struct RunStatistics {
    std::size_t rows = 0;  // the models the run has a row for
    std::size_t solved = 0;
    std::size_t timeOuts = 0;
    std::size_t failures = 0;  // Failure and Absent
    std::size_t wrong = 0;     // rows with a wrong answer, whatever their status
    std::optional<double> timeLimit;  // the largest time_limit of its rows
    double penaltySeconds = 0;        // what a model it did not solve counts
    double shiftedMean = 0;           // over every model of the comparison
    std::optional<double> commonMean;  // over the models every run solved; none when there is none
};

// A model across the runs, in the order the models first appear (the first run's order,
// then models only later runs have).
struct ComparedModel {
    static constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);
    std::string name;
    std::vector<std::size_t> rows;  // per run: the index of its record, or kAbsent
    std::vector<Verdict> verdicts;  // per run
    std::vector<double> seconds;    // per run: the solving time when solved, else the run's penalty
};

// Run `first` against run `second` (first < second): the models each was faster on (see
// kWinFactor), a model solved by one and not the other counting for the one.
struct PairWins {
    std::size_t first = 0;
    std::size_t second = 0;
    std::size_t firstWins = 0;
    std::size_t secondWins = 0;
};

// The best of the runs for each model: the least solving time among the runs that solved it,
// or, for a model none solved, the least penalty.
struct VirtualBest {
    std::size_t solved = 0;
    double shiftedMean = 0;
    std::optional<double> commonMean;
};

// Runs that contradict each other on a model, in Portuguese: "ótimos diferentes: a 12, b 13".
struct Disagreement {
    std::size_t model = 0;  // index into Comparison::models
    std::string text;
};

struct WrongAnswer {
    std::size_t model = 0;
    std::size_t run = 0;
    std::string reason;  // "check wrong", "solução inviável" or both
};

struct Comparison {
    double shift = 10;
    std::vector<ComparedRun> runs;
    std::vector<RunStatistics> statistics;  // per run
    std::vector<ComparedModel> models;
    std::size_t commonSolved = 0;  // models every run solved
    double largestSeconds = 0;     // the largest solving time of any row: the penalty of a run without a limit
    std::vector<PairWins> pairs;
    VirtualBest virtualBest;
    std::vector<Disagreement> disagreements;
    std::vector<WrongAnswer> wrongAnswers;

    const ModelRecord* record(const ComparedModel& model, std::size_t run) const;
    // 1 when any runs disagree or any answer is wrong, else 0.
    int exitStatus() const;
};

// Compares runs (one or more) model by model, matched by name. `shift` is the shift of the
// shifted geometric means, exp(mean(ln(t + shift))) - shift, in seconds.
Comparison compareRuns(std::vector<ComparedRun> runs, double shift);

// exp(mean(ln(t + shift))) - shift; 0 for no times.
double shiftedGeometricMean(const std::vector<double>& seconds, double shift);

// Per run, the sorted performance ratios of the models it solved: its time over the least
// time any run solved the model in (times floored at kProfileFloorSeconds).
std::vector<std::vector<double>> performanceRatios(const Comparison& comparison);

// The shortest text that reads back as the same double, with a decimal point and without an
// exponent from 1e-4 to 1e15: "12", "0.1", "1000000", "1e+20".
std::string exactNumber(double value);
