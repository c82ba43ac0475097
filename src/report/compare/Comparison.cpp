#include "report/compare/Comparison.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace {

bool isProvenAnswer(const std::string& status)
{
    return status == "optimal" || status == "infeasible" || status == "unbounded" || status == "infeasible_or_unbounded";
}

bool hasWrongAnswer(const ModelRecord& record)
{
    return record.check == "wrong" || record.solutionCheck == "infeasible";
}

Verdict verdictOf(const ModelRecord& record)
{
    if (isProvenAnswer(record.status))
        return hasWrongAnswer(record) ? Verdict::Wrong : Verdict::Solved;
    return record.status == "time_limit" ? Verdict::TimeOut : Verdict::Failure;
}

bool differ(double a, double b)
{
    return std::fabs(a - b) > kValueTolerance * std::max({1.0, std::fabs(a), std::fabs(b)});
}

// The models in order of first appearance, each with its row in every run.
std::vector<ComparedModel> matchModels(const std::vector<ComparedRun>& runs)
{
    std::vector<ComparedModel> models;
    std::unordered_map<std::string, std::size_t> byName;
    for (std::size_t run = 0; run < runs.size(); ++run) {
        for (std::size_t row = 0; row < runs[run].models.size(); ++row) {
            const std::string& name = runs[run].models[row].model;
            const auto [found, added] = byName.emplace(name, models.size());
            if (added) {
                models.push_back({name, std::vector<std::size_t>(runs.size(), ComparedModel::kAbsent),
                                  std::vector<Verdict>(runs.size(), Verdict::Absent), std::vector<double>(runs.size())});
            }
            models[found->second].rows[run] = row;
        }
    }
    return models;
}

void countVerdicts(Comparison& comparison)
{
    for (std::size_t run = 0; run < comparison.runs.size(); ++run) {
        RunStatistics& statistics = comparison.statistics[run];
        for (const ModelRecord& record : comparison.runs[run].models) {
            ++statistics.rows;
            statistics.wrong += hasWrongAnswer(record);
            if (record.timeLimit)
                statistics.timeLimit = std::max(statistics.timeLimit.value_or(0), *record.timeLimit);
            if (record.solveSeconds)
                comparison.largestSeconds = std::max(comparison.largestSeconds, *record.solveSeconds);
        }
        statistics.penaltySeconds = statistics.timeLimit.value_or(comparison.largestSeconds);
    }
    for (ComparedModel& model : comparison.models) {
        for (std::size_t run = 0; run < comparison.runs.size(); ++run) {
            RunStatistics& statistics = comparison.statistics[run];
            const ModelRecord* record = comparison.record(model, run);
            const Verdict verdict = record ? verdictOf(*record) : Verdict::Absent;
            model.verdicts[run] = verdict;
            statistics.solved += verdict == Verdict::Solved;
            statistics.timeOuts += verdict == Verdict::TimeOut;
            statistics.failures += verdict == Verdict::Failure || verdict == Verdict::Absent;
            const bool timed = verdict == Verdict::Solved && record->solveSeconds;
            model.seconds[run] = timed ? *record->solveSeconds : statistics.penaltySeconds;
        }
    }
}

bool solvedByAll(const ComparedModel& model)
{
    return std::all_of(model.verdicts.begin(), model.verdicts.end(), [](Verdict v) { return v == Verdict::Solved; });
}

// The virtual best's time for a model, and whether any run solved it.
std::pair<double, bool> bestSeconds(const ComparedModel& model)
{
    double best = std::numeric_limits<double>::infinity();
    double leastPenalty = best;
    for (std::size_t run = 0; run < model.seconds.size(); ++run) {
        if (model.verdicts[run] == Verdict::Solved)
            best = std::min(best, model.seconds[run]);
        else
            leastPenalty = std::min(leastPenalty, model.seconds[run]);
    }
    return std::isfinite(best) ? std::pair{best, true} : std::pair{leastPenalty, false};
}

void computeMeans(Comparison& comparison)
{
    const std::size_t runCount = comparison.runs.size();
    std::vector<std::vector<double>> all(runCount + 1);
    std::vector<std::vector<double>> common(runCount + 1);
    for (const ComparedModel& model : comparison.models) {
        const bool everyRun = solvedByAll(model);
        comparison.commonSolved += everyRun;
        for (std::size_t run = 0; run < runCount; ++run) {
            all[run].push_back(model.seconds[run]);
            if (everyRun)
                common[run].push_back(model.seconds[run]);
        }
        const auto [best, solved] = bestSeconds(model);
        comparison.virtualBest.solved += solved;
        all[runCount].push_back(best);
        if (everyRun)
            common[runCount].push_back(best);
    }
    for (std::size_t run = 0; run <= runCount; ++run) {
        const double mean = shiftedGeometricMean(all[run], comparison.shift);
        std::optional<double> commonMean;
        if (comparison.commonSolved > 0)
            commonMean = shiftedGeometricMean(common[run], comparison.shift);
        if (run < runCount) {
            comparison.statistics[run].shiftedMean = mean;
            comparison.statistics[run].commonMean = commonMean;
        } else {
            comparison.virtualBest.shiftedMean = mean;
            comparison.virtualBest.commonMean = commonMean;
        }
    }
}

// Whether run a was faster than run b on the model.
bool beats(const ComparedModel& model, std::size_t a, std::size_t b)
{
    if (model.verdicts[a] != Verdict::Solved)
        return false;
    if (model.verdicts[b] != Verdict::Solved)
        return true;
    const double mine = model.seconds[a];
    const double theirs = model.seconds[b];
    return theirs > kWinFactor * mine && theirs - mine >= kWinSeconds;
}

void countWins(Comparison& comparison)
{
    for (std::size_t first = 0; first < comparison.runs.size(); ++first) {
        for (std::size_t second = first + 1; second < comparison.runs.size(); ++second) {
            PairWins pair{first, second, 0, 0};
            for (const ComparedModel& model : comparison.models) {
                pair.firstWins += beats(model, first, second);
                pair.secondWins += beats(model, second, first);
            }
            comparison.pairs.push_back(pair);
        }
    }
}

enum class Direction { Unknown, Minimize, Maximize, Conflicting };

// What one run claims about a model, for holding the runs against each other.
struct Claim {
    const std::string* label = nullptr;
    const ModelRecord* record = nullptr;
    std::optional<double> primal;  // the objective of a solution not found infeasible
    std::optional<double> dual;    // the dual bound, or an optimum's objective when there is none
};

Claim claimOf(const std::string& label, const ModelRecord& record)
{
    Claim claim{&label, &record, {}, record.dualBound};
    if (record.objective && record.solutionCheck != "infeasible")
        claim.primal = record.objective;
    if (!claim.dual && record.status == "optimal")
        claim.dual = record.objective;
    return claim;
}

// The direction shows where a run's dual bound lies from its own solution: below it for a
// minimisation. Runs that say nothing leave it unknown, runs that contradict each other too.
Direction directionOf(const std::vector<Claim>& claims)
{
    Direction sense = Direction::Unknown;
    for (const Claim& claim : claims) {
        if (!claim.primal || !claim.record->dualBound || !differ(*claim.primal, *claim.record->dualBound))
            continue;
        const Direction shown = *claim.record->dualBound < *claim.primal ? Direction::Minimize : Direction::Maximize;
        if (sense != Direction::Unknown && sense != shown)
            return Direction::Conflicting;
        sense = shown;
    }
    return sense;
}

// An optimum's interval: between its objective and its dual bound (a solver's gap tolerance
// lets them part a little).
std::pair<double, double> optimumInterval(const ModelRecord& record)
{
    const double objective = *record.objective;
    const double dual = record.dualBound.value_or(objective);
    return {std::min(objective, dual), std::max(objective, dual)};
}

bool intervalsApart(const std::pair<double, double>& a, const std::pair<double, double>& b)
{
    return (a.first > b.second && differ(a.first, b.second)) || (b.first > a.second && differ(b.first, a.second));
}

// A status that rules out what the other run found: no solution where one was found, a
// bounded or an unbounded model against the other.
std::optional<std::string> statusConflict(const Claim& a, const Claim& b)
{
    const std::string& statusA = a.record->status;
    const std::string& statusB = b.record->status;
    if (statusA == "infeasible" && statusB == "unbounded")
        return "inviável em " + *a.label + ", ilimitado em " + *b.label;
    if (statusA == "infeasible" && b.primal)
        return "inviável em " + *a.label + ", com solução em " + *b.label + " (" + exactNumber(*b.primal) + ")";
    if (statusB != "optimal" || !b.record->objective)
        return std::nullopt;
    if (statusA == "unbounded")
        return "ilimitado em " + *a.label + ", ótimo em " + *b.label + " (" + exactNumber(*b.record->objective) + ")";
    if (statusA == "infeasible_or_unbounded")
        return "inviável ou ilimitado em " + *a.label + ", ótimo em " + *b.label + " ("
            + exactNumber(*b.record->objective) + ")";
    return std::nullopt;
}

// a's dual bound beyond b's solution: no solution can be better than a valid bound.
std::optional<std::string> boundConflict(const Claim& a, const Claim& b, Direction sense)
{
    if (!a.dual || !b.primal || !differ(*a.dual, *b.primal))
        return std::nullopt;
    const bool beyond = sense == Direction::Minimize ? *a.dual > *b.primal : *a.dual < *b.primal;
    if (!beyond)
        return std::nullopt;
    return "o limite dual de " + *a.label + " (" + exactNumber(*a.dual) + ") passa da solução de " + *b.label + " ("
        + exactNumber(*b.primal) + ")" + (sense == Direction::Minimize ? ", minimização" : ", maximização");
}

std::optional<std::string> pairConflict(const Claim& a, const Claim& b, Direction sense)
{
    if (auto text = statusConflict(a, b))
        return text;
    if (auto text = statusConflict(b, a))
        return text;
    const ModelRecord& ra = *a.record;
    const ModelRecord& rb = *b.record;
    if (ra.status == "optimal" && rb.status == "optimal" && ra.objective && rb.objective) {
        if (!intervalsApart(optimumInterval(ra), optimumInterval(rb)))
            return std::nullopt;
        return "ótimos diferentes: " + *a.label + " " + exactNumber(*ra.objective) + ", " + *b.label + " "
            + exactNumber(*rb.objective);
    }
    if (sense != Direction::Minimize && sense != Direction::Maximize)
        return std::nullopt;
    if (auto text = boundConflict(a, b, sense))
        return text;
    return boundConflict(b, a, sense);
}

void findDisagreements(Comparison& comparison)
{
    for (std::size_t index = 0; index < comparison.models.size(); ++index) {
        const ComparedModel& model = comparison.models[index];
        std::vector<Claim> claims;
        for (std::size_t run = 0; run < comparison.runs.size(); ++run) {
            const ModelRecord* record = comparison.record(model, run);
            if (!record)
                continue;
            claims.push_back(claimOf(comparison.runs[run].label, *record));
            if (hasWrongAnswer(*record)) {
                const bool checkWrong = record->check == "wrong";
                const bool infeasible = record->solutionCheck == "infeasible";
                comparison.wrongAnswers.push_back(
                    {index, run, checkWrong && infeasible ? "check wrong, solução inviável"
                                 : checkWrong             ? "check wrong"
                                                          : "solução inviável"});
            }
        }
        const Direction sense = directionOf(claims);
        for (std::size_t a = 0; a < claims.size(); ++a)
            for (std::size_t b = a + 1; b < claims.size(); ++b)
                if (auto text = pairConflict(claims[a], claims[b], sense))
                    comparison.disagreements.push_back({index, std::move(*text)});
    }
}

}  // namespace

const ModelRecord* Comparison::record(const ComparedModel& model, std::size_t run) const
{
    const std::size_t row = model.rows[run];
    return row == ComparedModel::kAbsent ? nullptr : &runs[run].models[row];
}

int Comparison::exitStatus() const
{
    return disagreements.empty() && wrongAnswers.empty() ? 0 : 1;
}

Comparison compareRuns(std::vector<ComparedRun> runs, double shift)
{
    Comparison comparison;
    comparison.shift = shift;
    comparison.runs = std::move(runs);
    comparison.statistics.resize(comparison.runs.size());
    comparison.models = matchModels(comparison.runs);
    countVerdicts(comparison);
    computeMeans(comparison);
    countWins(comparison);
    findDisagreements(comparison);
    return comparison;
}

double shiftedGeometricMean(const std::vector<double>& seconds, double shift)
{
    if (seconds.empty())
        return 0;
    double sum = 0;
    for (const double t : seconds)
        sum += std::log(t + shift);
    return std::exp(sum / static_cast<double>(seconds.size())) - shift;
}

std::vector<std::vector<double>> performanceRatios(const Comparison& comparison)
{
    std::vector<std::vector<double>> ratios(comparison.runs.size());
    for (const ComparedModel& model : comparison.models) {
        const auto [best, solved] = bestSeconds(model);
        if (!solved)
            continue;
        for (std::size_t run = 0; run < model.seconds.size(); ++run)
            if (model.verdicts[run] == Verdict::Solved)
                ratios[run].push_back(std::max(model.seconds[run], kProfileFloorSeconds)
                                      / std::max(best, kProfileFloorSeconds));
    }
    for (auto& run : ratios)
        std::sort(run.begin(), run.end());
    return ratios;
}

std::string exactNumber(double value)
{
    // Whole digits where they stay readable (1000000 rather than 1e+06).
    const double size = std::fabs(value);
    const bool plain = value == 0 || (size >= 1e-4 && size < 1e15);
    char text[64];
    const auto result = plain ? std::to_chars(text, text + sizeof text, value, std::chars_format::fixed)
                              : std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}
