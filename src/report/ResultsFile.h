#pragma once

#include <string>
#include <string_view>

#include "report/TableFile.h"

inline constexpr const char* kResultsFileName = "sol_stat.csv";
inline constexpr const char* kResultsHeader = "SOLVER;NOME;TEMPO;STATUS;Z;TEMPO LEITUR\r\n";

// sol_stat.csv of a run: the header, then one CR LF line per model with the solver's name in
// front of its result row.
class ResultsFile {
public:
    ResultsFile(const std::string& folder, std::string solverName, std::string name = kResultsFileName);

    // A whole line (solver, row, line end) of an earlier run, written again by create().
    void keep(std::string_view line) { m_file.keep(line); }

    // 0, or the errno of the failure (see TableFile).
    int create() { return m_file.create(); }
    int append(std::string_view row);

    const std::string& path() const { return m_file.path(); }
    bool isFile(const std::string& other) const { return m_file.isFile(other); }

private:
    TableFile m_file;
    std::string m_solverName;
};
