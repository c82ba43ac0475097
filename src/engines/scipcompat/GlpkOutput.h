#pragma once

#include <cstddef>

// Where GLPK's terminal output goes while the engine runs GLPK: to standard output when the
// instance has a message handler, nowhere otherwise. The last two complete lines are always
// kept, because GLPK's diagnostics (a syntax error in a model file, a fatal error) arrive
// through the same channel and become part of our error messages.
struct GlpkOutput {
    static constexpr std::size_t kLineCapacity = 512;

    bool echo = false;
    // The simplex runs in slices; a resumed slice first repeats the progress line the
    // previous slice ended with, which the log omits.
    bool skippingRepeatedLine = false;

    char pending[kLineCapacity] = {};
    std::size_t pendingLength = 0;
    char lastLine[kLineCapacity] = {};
    char previousLine[kLineCapacity] = {};
};

// Routes GLPK's terminal output into `output` until stopGlpkOutput. Both are GLPK calls and
// belong inside a guarded GLPK sequence.
void startGlpkOutput(GlpkOutput& output, bool echo);
void stopGlpkOutput(GlpkOutput& output);

// Whether the GLPK failure the output ends with is an allocation GLPK could not make: its
// own memory limit, or no memory left to the process.
bool glpkOutOfMemory(const GlpkOutput& output);
