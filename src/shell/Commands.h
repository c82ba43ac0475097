#pragma once

#include <span>
#include <string_view>

#include "backends/RunSettings.h"

// One command of the shell: its word, its lines in the help text (none for `help` itself)
// and what it does. `exit` has no handler: it ends the loop.
struct Command {
    std::string_view word;
    std::string_view help;
    void (*handler)(RunSettings& settings);
};

// Every command, in the order of the help text; dispatch, help and completion all read it.
std::span<const Command> shellCommands();

// The text `help` writes.
std::string helpText();
