#include "report/DetailsFile.h"

#include <charconv>
#include <cmath>
#include <ctime>

const char* const kDetailsFileHeader =
    "model,solver,solver_version,status,objective,dual_bound,gap,nodes,lp_iterations,solve_seconds,"
    "read_seconds,wall_seconds,peak_memory_mb,time_limit,memory_limit,jobs,host,started_at,lumbrix_version,check,"
    "solution_check,max_violation,violated,objective_recomputed,check_seconds,settings\n";

namespace {

// SCIP's infinity: a bound this large is no value.
constexpr double kInfinity = 1e20;

void addField(std::string& row, std::string_view field)
{
    appendCsvField(row, field, row.empty());
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

// The length of the well-formed UTF-8 character that starts at `at`, or 0 (Unicode's table
// of well-formed byte sequences: no overlong forms, no surrogates, nothing past U+10FFFF).
std::size_t utf8CharLength(std::string_view text, std::size_t at)
{
    const auto byteAt = [&](std::size_t i) -> unsigned {
        return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0;
    };
    const unsigned lead = byteAt(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned byte = byteAt(i);
        if (byte < (i == 1 ? low : 0x80) || byte > (i == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

bool isUtf8(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8CharLength(text, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The bytes an escaped field stands for, or nullopt when it is no such escape.
std::optional<std::string> unescaped(std::string_view field)
{
    std::string bytes;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            bytes += field[i];
        } else if (i + 1 < field.size() && field[i + 1] == '\\') {
            bytes += '\\';
            ++i;
        } else if (i + 3 < field.size() && field[i + 1] == 'x' && hexDigit(field[i + 2]) >= 0
                   && hexDigit(field[i + 3]) >= 0) {
            bytes += static_cast<char>(hexDigit(field[i + 2]) * 16 + hexDigit(field[i + 3]));
            i += 3;
        } else {
            return std::nullopt;
        }
    }
    return bytes;
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

void appendCsvField(std::string& text, std::string_view field, bool first)
{
    if (!first)
        text += ',';
    if (field.find_first_of(",\"\r\n") == std::string_view::npos && !(first && field.empty())) {
        text += field;
        return;
    }
    // A quoted empty first field keeps a row of one empty name from reading as an empty line.
    text += '"';
    for (const char c : field) {
        if (c == '"')
            text += '"';
        text += c;
    }
    text += '"';
}

std::string detailsModelField(std::string_view fileName)
{
    if (isUtf8(fileName) && fileName.find('\\') == std::string_view::npos)
        return std::string(fileName);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string field;
    for (std::size_t at = 0; at < fileName.size();) {
        const std::size_t length = utf8CharLength(fileName, at);
        if (length == 0) {
            const auto byte = static_cast<unsigned char>(fileName[at]);
            field += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
            ++at;
        } else if (fileName[at] == '\\') {
            field += "\\\\";
            ++at;
        } else {
            field += fileName.substr(at, length);
            at += length;
        }
    }
    return field;
}

std::string detailsFieldModel(std::string_view field)
{
    if (field.find('\\') == std::string_view::npos)
        return std::string(field);
    // Only what detailsModelField writes is read back as an escape.
    const std::optional<std::string> bytes = unescaped(field);
    if (!bytes || detailsModelField(*bytes) != field)
        return std::string(field);
    return *bytes;
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
    addField(row, detailsModelField(outcome.name));
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
    addField(row, run.settings);
    return row;
}

std::string notRunDetailsRow(const std::string& model)
{
    std::string row;
    addField(row, detailsModelField(model));
    if (row.empty())
        row += "\"\"";
    row += ",,,not_run";
    row += std::string(22, ',');
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
