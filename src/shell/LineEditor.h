#pragma once

#include <string>

#include "shell/Console.h"

// True when prompts are read with line editing: standard input and standard output are
// both terminals. Input from a file or a pipe, or output to a log, is read plainly.
bool editingTerminal();

// Shows the prompt and lets the person edit one line at the terminal, with history and
// Tab completion. Returns false at the end of input (Ctrl-D on an empty line), with the
// line empty.
bool readEditedLine(const std::string& prompt, std::string& line, Completion completion);
