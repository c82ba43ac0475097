#include "batch/RunTotals.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "report/DetailsFile.h"
#include "report/RunFiles.h"

namespace {

std::string seconds(double value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.3f s", value);
    return text;
}

}  // namespace

void RunTotals::add(const ModelOutcome& outcome, Check check, bool rowWritten)
{
    ++models;
    ++statuses[statusCode(outcome.status)];
    failures += isFailure(outcome.status);
    unwrittenRows += !rowWritten;
    ++checks[static_cast<std::size_t>(check)];
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
    double seconds = 0;
    const std::string solve = field("solve_seconds");
    const auto [end, error] = std::from_chars(solve.data(), solve.data() + solve.size(), seconds);
    if (!solve.empty() && error == std::errc() && end == solve.data() + solve.size() && std::isfinite(seconds)
        && seconds >= 0) {
        ++timedModels;
        sumLogShiftedTimes += std::log(seconds + 1.0);
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
    return failures || unwrittenRows || unwrittenDetails || count(Check::Wrong) ? 1 : 0;
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
    if (totals.unwrittenDetails)
        text += "  " + std::string(kDetailsFileName) + ": " + std::to_string(totals.unwrittenDetails)
            + " linhas não gravadas (" + std::strerror(totals.detailsError) + ")\n";
    text += "  média geométrica deslocada dos tempos de solução (deslocamento de 1 s, " + std::to_string(totals.timedModels)
        + " modelos): " + seconds(totals.shiftedGeometricMean()) + "\n";
    return text;
}
