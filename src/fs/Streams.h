#pragma once

#include <string_view>

// Sends out what the program has written to standard output (std::cout and the C stream the
// libraries write to) and standard error, so that whatever writes next, a child process
// included, comes after it.
void flushConsole();

// Writes a message to standard error after flushing standard output (both std::cout and the
// C stream the libraries write to), so that the two streams keep their order when they go to
// the same place.
void printError(std::string_view message);
