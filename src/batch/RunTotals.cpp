#include "batch/RunTotals.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "backends/ModelFiles.h"
#include "report/DetailsFile.h"
#include "report/RunFiles.h"

namespace {

std::string seconds(double value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.3f s", value);
    return text;
}

// A number field of a details row; none when empty or not a finite number.
std::optional<double> numberOf(const std::string& text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace

void RunTotals::add(const ModelOutcome& outcome, Check check, bool rowWritten)
{
    ++models;
    ++statuses[statusCode(outcome.status)];
    failures += isFailure(outcome.status);
    unwrittenRows += !rowWritten;
    ++checks[static_cast<std::size_t>(check)];
    if (outcome.check) {
        ++solutionChecks[static_cast<std::size_t>(outcome.check->result)];
        unsavedSolutions += outcome.check->unsaved;
        if (const auto result = verifiedResult(statusCode(outcome.status), solutionCheckCode(outcome.check->result),
                                               outcome.check->objective))
            verified.byName[std::string(modelStem(outcome.name))] = *result;
    }
    if (outcome.solveSeconds && std::isfinite(*outcome.solveSeconds) && *outcome.solveSeconds >= 0) {
        ++timedModels;
        sumLogShiftedTimes += std::log(*outcome.solveSeconds + 1.0);
    }
}

void RunTotals::addKept(const std::string& detailsLine)
{
    const std::vector<std::string> fields = detailsLineFields(detailsLine);
    const auto field = [&fields](const char* column) {
        const std::optional<std::size_t> at = detailsColumn(column);
        return at && *at < fields.size() ? fields[*at] : std::string();
    };
    const std::string status = field("status");
    ++models;
    ++statuses[status];
    for (const StatusInfo& info : statusTable())
        if (info.failure && status == info.code) {
            ++failures;
            break;
        }
    const std::string check = field("check");
    for (const Check kind : {Check::Ok, Check::Wrong, Check::Better, Check::Unknown})
        checks[static_cast<std::size_t>(kind)] += check == checkCode(kind);
    const std::string solutionCheck = field("solution_check");
    for (const SolutionCheck kind :
         {SolutionCheck::Feasible, SolutionCheck::Infeasible, SolutionCheck::NoSolution, SolutionCheck::NotChecked})
        solutionChecks[static_cast<std::size_t>(kind)] += solutionCheck == solutionCheckCode(kind);
    if (const auto result = verifiedResult(status, solutionCheck, numberOf(field("objective_recomputed"))))
        verified.byName[std::string(modelStem(field("model")))] = *result;
    const std::optional<double> seconds = numberOf(field("solve_seconds"));
    if (seconds && *seconds >= 0) {
        ++timedModels;
        sumLogShiftedTimes += std::log(*seconds + 1.0);
    }
}

void RunTotals::detailsFailed(int error)
{
    ++unwrittenDetails;
    detailsError = error;
}

double RunTotals::shiftedGeometricMean() const
{
    if (timedModels == 0)
        return 0;
    return std::exp(sumLogShiftedTimes / static_cast<double>(timedModels)) - 1.0;
}

int RunTotals::exitStatus() const
{
    if (!started)
        return 2;
    return failures || unwrittenRows || unwrittenDetails || count(Check::Wrong)
            || count(SolutionCheck::Infeasible) || unsavedSolutions
        ? 1
        : 0;
}

std::string summaryText(const RunTotals& totals)
{
    std::string text = "Resumo: " + std::to_string(totals.models) + " modelos em " + seconds(totals.wallSeconds)
        + " (relógio)\n  status:";
    const char* separator = " ";
    for (const char* code : statusCodes()) {
        const auto found = totals.statuses.find(code);
        if (found == totals.statuses.end())
            continue;
        text += separator + std::string(code) + " " + std::to_string(found->second);
        separator = ", ";
    }
    if (totals.models == 0)
        text += " nenhum modelo";
    text += "\n";
    if (totals.checked) {
        text += "  verificação (.solu):";
        separator = " ";
        for (const Check check : {Check::Ok, Check::Wrong, Check::Better, Check::Unknown}) {
            text += separator + std::string(checkCode(check)) + " " + std::to_string(totals.count(check));
            separator = ", ";
        }
        text += "\n";
    }
    if (totals.solutionChecks != decltype(totals.solutionChecks){}) {
        text += "  verificação das soluções:";
        separator = " ";
        for (const SolutionCheck check :
             {SolutionCheck::Feasible, SolutionCheck::Infeasible, SolutionCheck::NoSolution, SolutionCheck::NotChecked}) {
            text += separator + std::string(solutionCheckCode(check)) + " " + std::to_string(totals.count(check));
            separator = ", ";
        }
        text += "\n";
    }
    if (totals.unsavedSolutions)
        text += "  soluções não gravadas: " + std::to_string(totals.unsavedSolutions) + "\n";
    if (totals.unwrittenDetails)
        text += "  " + std::string(kDetailsFileName) + ": " + std::to_string(totals.unwrittenDetails)
            + " linhas não gravadas (" + std::strerror(totals.detailsError) + ")\n";
    text += "  média geométrica deslocada dos tempos de solução (deslocamento de 1 s, " + std::to_string(totals.timedModels)
        + " modelos): " + seconds(totals.shiftedGeometricMean()) + "\n";
    return text;
}
