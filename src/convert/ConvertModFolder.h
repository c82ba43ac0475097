#pragma once

#include <string>
#include <vector>

// What a `mod_lp` run left undone.
struct ConversionSummary {
    std::vector<std::string> notConverted;  // file names of the models without a new LP file, in listing order
    bool interrupted = false;               // a Ctrl-C ended the run before its end
};

// The `mod_lp` run over a folder's listing: every entry is numbered, and every MathProg
// model among them gets its LP file beside it. With stopOnInterrupt a Ctrl-C ends the run
// once the conversion at hand has stopped: the entries after it are neither numbered nor
// converted. Without it (the shell) the run goes on with the next model.
ConversionSummary convertModels(const std::vector<std::string>& entries, bool stopOnInterrupt);
