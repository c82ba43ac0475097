#pragma once

#include <optional>
#include <string>

// The program run with arguments: `opt` and `mod_lp` without the shell, for scripts. Its exit
// status: 0 when every model has its rows and an answer (or its LP file), 1 when a model
// failed, a row could not be written, a check went wrong or a conversion was interrupted, 2
// for a usage error or a folder that cannot be used.
int runCommandLine(int argc, char** argv);

// `--version`: the program's version and the engine linked, as the banner names it.
std::string versionText();
