#include "shell/Console.h"

#include <iostream>

#include "shell/LineEditor.h"

namespace {

bool readLine(const std::string& prompt, std::string& line, Completion completion)
{
    if (editingTerminal())
        return readEditedLine(prompt, line, completion);
    std::cout << prompt << std::flush;
    line.clear();
    // A last line without a line break still counts as a line.
    return static_cast<bool>(std::getline(std::cin, line));
}

}  // namespace

bool promptLine(const std::string& prompt, std::string& line, Completion completion)
{
    const bool read = readLine(prompt, line, completion);
    // A script written on Windows ends its lines in CR LF; no path a user types ends in CR.
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return read;
}

std::string askLine(const std::string& prompt, Completion completion)
{
    std::string line;
    promptLine(prompt, line, completion);
    return line;
}
