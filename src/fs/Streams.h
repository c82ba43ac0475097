#pragma once

#include <string_view>

// Writes a message to standard error after flushing standard output (both std::cout and the
// C stream the libraries write to), so that the two streams keep their order when they go to
// the same place.
void printError(std::string_view message);
