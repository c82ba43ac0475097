#include "report/ModelReport.h"

#include "report/Formats.h"

namespace {

std::string quotedIfNeeded(const std::string& field)
{
    if (field.find_first_of(";\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string rowValue(const std::optional<double>& value)
{
    return value ? rowNumber(*value) : "-";
}

}  // namespace

std::string consoleReport(const ModelOutcome& outcome)
{
    std::string text = "NOME: " + outcome.name + '\n';
    const ReportLines lines = reportLines(outcome);
    if (lines == ReportLines::NameOnly)
        return text;
    if (lines == ReportLines::NameTimeStatus)
        text += "TEMPO: " + (outcome.solveSeconds ? consoleNumber(*outcome.solveSeconds) : "-") + '\n';
    return text + "STATUS: " + statusText(outcome.status) + '\n';
}

std::string resultRow(const ModelOutcome& outcome)
{
    std::string row = quotedIfNeeded(outcome.name);
    row += ';';
    row += rowValue(outcome.solveSeconds);
    row += ';';
    row += statusText(outcome.status);
    row += ';';
    row += rowValue(outcome.objective);
    row += ';';
    row += rowValue(outcome.readSeconds);
    return row;
}
