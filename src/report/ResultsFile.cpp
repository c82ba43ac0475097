#include "report/ResultsFile.h"

ResultsFile::ResultsFile(const std::string& folder, std::string solverName)
    : m_file(folder, kResultsFileName, "SOLVER;NOME;TEMPO;STATUS;Z;TEMPO LEITUR\r\n"), m_solverName(std::move(solverName))
{
}

int ResultsFile::append(std::string_view row)
{
    std::string line;
    line.reserve(m_solverName.size() + row.size() + 3);
    line += m_solverName;
    line += ';';
    line += row;
    line += "\r\n";
    return m_file.append(line);
}
