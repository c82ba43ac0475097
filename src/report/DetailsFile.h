#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "report/Outcome.h"
#include "report/TableFile.h"

inline constexpr const char* kDetailsFileName = "sol_detalhes.csv";
extern const char* const kDetailsFileHeader;

// Where a column stands in a details row, counted from 0; none for a name not in the header.
std::optional<std::size_t> detailsColumn(std::string_view name);

// What every row of a run repeats.
struct RunDescription {
    std::string solver;
    std::string solverVersion;
    std::optional<double> timeLimit;
    std::optional<double> memoryLimitMb;
    int jobs = 1;
    std::string host;
    std::string startedAt;  // ISO 8601, UTC
    std::string lumbrixVersion;
    std::string settings;  // the solver's settings, as settingsText writes them
};

// "2026-12-07T16:35:38Z"
std::string isoUtcTime(long long secondsSinceEpoch);

// Appends one field of an RFC 4180 row to `text`, quoted where it must be; a comma first unless
// it is the row's first field.
void appendCsvField(std::string& text, std::string_view field, bool first);

// A model's file name as the details file writes it, so that the file stays UTF-8 and no two
// names share a field: a valid UTF-8 name without a '\\' as it is; in any other, every byte
// that belongs to no UTF-8 character as "\\xhh" (two lower-case hex digits) and every '\\'
// as "\\\\".
std::string detailsModelField(std::string_view fileName);
// The file name back from its field.
std::string detailsFieldModel(std::string_view field);

// One row of the details file without its line end: RFC 4180 fields, a decimal point,
// empty fields where nothing is known.
std::string detailsRow(const ModelOutcome& outcome, const RunDescription& run, std::string_view check);

// The row of a model that no part of a run solved: its name, the status not_run, nothing else.
std::string notRunDetailsRow(const std::string& model);

// sol_detalhes.csv of a run, for programs: comma-separated, LF line ends, one header line,
// one row per model, kept with the promises of a TableFile.
class DetailsFile {
public:
    explicit DetailsFile(const std::string& folder, std::string name = kDetailsFileName);

    // 0, or the errno of the failure (see TableFile).
    int create() { return m_file.create(); }
    int append(std::string_view row);
    // A whole line (with its line end) of an earlier run, written again by create().
    void keep(std::string_view line) { m_file.keep(line); }

    const std::string& path() const { return m_file.path(); }
    bool isFile(const std::string& other) const { return m_file.isFile(other); }

private:
    TableFile m_file;
};
