#include "report/SolutionFile.h"

#include <charconv>

#include "fs/Paths.h"

namespace {

void appendNumber(std::string& text, double value)
{
    char digits[64];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, written.ptr);
}

}  // namespace

std::string solutionFileText(double objective, const Solution& solution)
{
    std::string text = "objective value: ";
    appendNumber(text, objective);
    text += '\n';
    for (std::size_t i = 0; i < solution.names.size() && i < solution.values.size(); ++i) {
        if (solution.values[i] == 0)
            continue;
        text += solution.names[i];
        text += ' ';
        appendNumber(text, solution.values[i]);
        text += '\n';
    }
    return text;
}

std::string solutionFilePath(const std::string& folder, const std::string& modelName)
{
    return pathInFolder(folder, modelName + ".sol");
}
