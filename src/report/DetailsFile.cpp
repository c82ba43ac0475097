#include "report/DetailsFile.h"

#include <charconv>
#include <cmath>
#include <ctime>

const char* const kDetailsFileHeader =
    "model,solver,solver_version,status,objective,dual_bound,gap,nodes,lp_iterations,solve_seconds,"
    "read_seconds,wall_seconds,peak_memory_mb,time_limit,memory_limit,jobs,host,started_at,lumbrix_version,check,"
    "solution_check,max_violation,violated,objective_recomputed,check_seconds\n";

namespace {

// SCIP's infinity: a bound this large is no value.
constexpr double kInfinity = 1e20;

void addField(std::string& row, std::string_view field)
{
    if (!row.empty())
        row += ',';
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        row += field;
        return;
    }
    row += '"';
    for (const char c : field) {
        if (c == '"')
            row += '"';
        row += c;
    }
    row += '"';
}

// The shortest text that reads back as the same double.
std::string number(const std::optional<double>& value)
{
    if (!value || !std::isfinite(*value) || std::fabs(*value) >= kInfinity)
        return {};
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, *value);
    return std::string(text, result.ptr);
}

std::string count(const std::optional<long long>& value)
{
    return value ? std::to_string(*value) : std::string();
}

}  // namespace

std::optional<std::size_t> detailsColumn(std::string_view name)
{
    std::string_view header(kDetailsFileHeader);
    header.remove_suffix(1);  // the line end
    for (std::size_t column = 0;; ++column) {
        const std::size_t comma = header.find(',');
        if (header.substr(0, comma) == name)
            return column;
        if (comma == std::string_view::npos)
            return std::nullopt;
        header.remove_prefix(comma + 1);
    }
}

std::string isoUtcTime(long long secondsSinceEpoch)
{
    const std::time_t time = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm parts{};
    gmtime_r(&time, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

std::string detailsRow(const ModelOutcome& outcome, const RunDescription& run, std::string_view check)
{
    std::string row;
    addField(row, outcome.name);
    // A row's first field may be empty; the separator must still be there.
    if (row.empty())
        row += "\"\"";
    addField(row, run.solver);
    addField(row, run.solverVersion);
    addField(row, statusCode(outcome.status));
    addField(row, number(outcome.objective));
    addField(row, number(outcome.dualBound));
    addField(row, number(outcome.gap));
    addField(row, count(outcome.nodes));
    addField(row, count(outcome.lpIterations));
    addField(row, number(outcome.solveSeconds));
    addField(row, number(outcome.readSeconds));
    addField(row, number(outcome.wallSeconds));
    addField(row, number(outcome.peakMemoryMb));
    addField(row, number(run.timeLimit));
    addField(row, number(run.memoryLimitMb));
    addField(row, std::to_string(run.jobs));
    addField(row, run.host);
    addField(row, run.startedAt);
    addField(row, run.lumbrixVersion);
    addField(row, check);
    const std::optional<CheckedSolution>& solution = outcome.check;
    addField(row, solution ? solutionCheckCode(solution->result) : "");
    addField(row, solution ? number(solution->maxViolation) : std::string());
    addField(row, solution ? solution->violated : std::string());
    addField(row, solution ? number(solution->objective) : std::string());
    addField(row, solution ? number(solution->seconds) : std::string());
    return row;
}

std::string notRunDetailsRow(const std::string& model)
{
    std::string row;
    addField(row, model);
    if (row.empty())
        row += "\"\"";
    row += ",,,not_run";
    row += std::string(21, ',');
    return row;
}

DetailsFile::DetailsFile(const std::string& folder, std::string name) : m_file(folder, std::move(name), kDetailsFileHeader) {}

int DetailsFile::append(std::string_view row)
{
    std::string line;
    line.reserve(row.size() + 1);
    line += row;
    line += '\n';
    return m_file.append(line);
}
