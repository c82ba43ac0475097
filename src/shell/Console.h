#pragma once

#include <string>

// What Tab completes at a prompt, when the prompt is read from a terminal.
enum class Completion { None, Command, Path };

// Writes the prompt to standard output, flushes it and reads one line (without its line
// break, and without one CR before it). Returns false at the end of standard input, with the line empty.
bool promptLine(const std::string& prompt, std::string& line, Completion completion = Completion::None);

// A follow-up question: the end of standard input counts as an empty answer.
std::string askLine(const std::string& prompt, Completion completion = Completion::None);
