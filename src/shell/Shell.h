#pragma once

#include <string>

// The command shell: banner, then prompt and dispatch until `exit` or the end of input.
void runShell();

// The text `help` writes.
const std::string& helpText();
