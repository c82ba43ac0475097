#include "shell/Console.h"

#include <cstdio>
#include <iostream>

#include "shell/LineEditor.h"

bool promptLine(const std::string& prompt, std::string& line, Completion completion)
{
    if (editingTerminal())
        return readEditedLine(prompt, line, completion);
    std::cout << prompt << std::flush;
    line.clear();
    // A last line without a line break still counts as a line.
    return static_cast<bool>(std::getline(std::cin, line));
}

std::string askLine(const std::string& prompt, Completion completion)
{
    std::string line;
    promptLine(prompt, line, completion);
    return line;
}

void printError(const std::string& message)
{
    std::cout.flush();
    std::fflush(stdout);
    std::cerr << message << std::flush;
}
