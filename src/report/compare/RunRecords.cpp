#include "report/compare/RunRecords.h"

#include <charconv>
#include <cmath>
#include <unordered_map>

namespace {

using Record = std::vector<std::string>;

// Reads RFC 4180 records one at a time: fields between commas, double quotes around a field
// that holds a comma, a quote or a line end, a record ending at an LF outside quotes.
class CsvReader {
public:
    explicit CsvReader(std::string_view text) : m_text(text) {}

    // False at the end of the text. A completely empty line is skipped.
    bool next(Record& record, std::string& problem)
    {
        while (m_at < m_text.size() && isLineEnd()) {
            ++m_line;
            m_at += m_text[m_at] == '\r' ? 2 : 1;
        }
        if (m_at >= m_text.size())
            return false;
        record.clear();
        m_recordLine = m_line;
        for (;;) {
            record.emplace_back();
            if (!readField(record.back(), problem))
                return false;
            if (m_at >= m_text.size())
                return true;
            if (m_text[m_at] == ',') {
                ++m_at;
                continue;
            }
            ++m_line;
            m_at += m_text[m_at] == '\r' ? 2 : 1;
            return true;
        }
    }

    // The line the last record started on, from 1.
    std::size_t recordLine() const { return m_recordLine; }

private:
    bool isLineEnd() const
    {
        return m_text[m_at] == '\n' || (m_text[m_at] == '\r' && m_at + 1 < m_text.size() && m_text[m_at + 1] == '\n');
    }

    // Leaves m_at on the comma or line end after the field, or at the end of the text.
    bool readField(std::string& field, std::string& problem)
    {
        if (m_at < m_text.size() && m_text[m_at] == '"')
            return readQuoted(field, problem);
        const std::size_t begin = m_at;
        while (m_at < m_text.size() && m_text[m_at] != ',' && !isLineEnd()) {
            if (m_text[m_at] == '"') {
                problem = "linha " + std::to_string(m_line) + ": aspas no meio de um campo";
                return false;
            }
            ++m_at;
        }
        field.assign(m_text.substr(begin, m_at - begin));
        return true;
    }

    bool readQuoted(std::string& field, std::string& problem)
    {
        const std::size_t openedOn = m_line;
        ++m_at;
        for (;;) {
            const std::size_t quote = m_text.find('"', m_at);
            if (quote == std::string_view::npos) {
                problem = "linha " + std::to_string(openedOn) + ": aspas abertas até o fim do arquivo";
                return false;
            }
            const std::string_view part = m_text.substr(m_at, quote - m_at);
            for (const char c : part)
                m_line += c == '\n';
            field += part;
            m_at = quote + 1;
            if (m_at < m_text.size() && m_text[m_at] == '"') {
                field += '"';
                ++m_at;
                continue;
            }
            if (m_at < m_text.size() && m_text[m_at] != ',' && !isLineEnd()) {
                problem = "linha " + std::to_string(m_line) + ": texto depois das aspas de um campo";
                return false;
            }
            return true;
        }
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    std::size_t m_line = 1;
    std::size_t m_recordLine = 1;
};

// Where each column the comparison reads sits in a row; npos when the file has no such column.
struct Columns {
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t model = kNone, status = kNone, objective = kNone, dualBound = kNone, solveSeconds = kNone,
                timeLimit = kNone, check = kNone, solutionCheck = kNone;
};

bool findColumns(const Record& header, Columns& columns, std::string& problem)
{
    const std::pair<const char*, std::size_t Columns::*> names[] = {
        {"model", &Columns::model},           {"status", &Columns::status},
        {"objective", &Columns::objective},   {"dual_bound", &Columns::dualBound},
        {"solve_seconds", &Columns::solveSeconds}, {"time_limit", &Columns::timeLimit},
        {"check", &Columns::check},           {"solution_check", &Columns::solutionCheck},
    };
    for (std::size_t i = 0; i < header.size(); ++i)
        for (const auto& [name, member] : names)
            if (header[i] == name && columns.*member == Columns::kNone)
                columns.*member = i;
    for (const auto& [name, column] : {std::pair{"model", columns.model}, std::pair{"status", columns.status},
                                        std::pair{"solve_seconds", columns.solveSeconds}}) {
        if (column == Columns::kNone) {
            problem = std::string("linha 1: falta a coluna '") + name + "'";
            return false;
        }
    }
    return true;
}

std::string fieldAt(const Record& record, std::size_t column)
{
    return column == Columns::kNone ? std::string() : record[column];
}

bool readNumber(const Record& record, std::size_t column, const char* name, std::size_t line,
                std::optional<double>& value, std::string& problem)
{
    if (column == Columns::kNone || record[column].empty())
        return true;
    const std::string& text = record[column];
    double number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(number)) {
        problem = "linha " + std::to_string(line) + ": '" + text + "' não é um número (coluna " + name + ")";
        return false;
    }
    value = number;
    return true;
}

bool readRecord(const Record& row, const Columns& columns, std::size_t line, ModelRecord& record, std::string& problem)
{
    record.model = row[columns.model];
    record.status = row[columns.status];
    record.check = fieldAt(row, columns.check);
    record.solutionCheck = fieldAt(row, columns.solutionCheck);
    return readNumber(row, columns.objective, "objective", line, record.objective, problem)
        && readNumber(row, columns.dualBound, "dual_bound", line, record.dualBound, problem)
        && readNumber(row, columns.solveSeconds, "solve_seconds", line, record.solveSeconds, problem)
        && readNumber(row, columns.timeLimit, "time_limit", line, record.timeLimit, problem);
}

}  // namespace

std::optional<std::vector<ModelRecord>> parseDetailsText(std::string_view text, std::string& problem)
{
    // A spreadsheet may have saved the file with a byte order mark.
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    CsvReader reader(text);
    Record header;
    if (!reader.next(header, problem)) {
        if (problem.empty())
            problem = "arquivo vazio, sem cabeçalho";
        return std::nullopt;
    }
    Columns columns;
    if (!findColumns(header, columns, problem))
        return std::nullopt;

    std::vector<ModelRecord> records;
    std::unordered_map<std::string, std::size_t> lineOfModel;
    Record row;
    while (reader.next(row, problem)) {
        const std::size_t line = reader.recordLine();
        if (row.size() != header.size()) {
            problem = "linha " + std::to_string(line) + ": " + std::to_string(row.size()) + " campos, o cabeçalho tem "
                + std::to_string(header.size());
            return std::nullopt;
        }
        ModelRecord record;
        if (!readRecord(row, columns, line, record, problem))
            return std::nullopt;
        const auto [seen, added] = lineOfModel.emplace(record.model, line);
        if (!added) {
            problem = "linha " + std::to_string(line) + ": o modelo '" + record.model + "' já está na linha "
                + std::to_string(seen->second);
            return std::nullopt;
        }
        records.push_back(std::move(record));
    }
    if (!problem.empty())
        return std::nullopt;
    return records;
}
