#include "report/ResultsFile.h"

ResultsFile::ResultsFile(const std::string& folder, std::string solverName, std::string name)
    : m_file(folder, std::move(name), kResultsHeader), m_solverName(std::move(solverName))
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
