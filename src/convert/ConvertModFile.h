#pragma once

#include <string>

#include "fs/Process.h"

// Writes the CPLEX LP file of one MathProg model next to it: "<stem>lp" for "<stem>mod",
// with "<stem>dat" as its data file when that file can be read. Entries whose path does
// not end in "mod" are passed over in silence. Failures are reported on standard error.
//
// The model is translated in a child process, with the model's own folder as the working
// folder while it is generated (so that its tables are found beside it). The LP file is
// written under a temporary name beside the final one and renamed over it once whole, so
// an existing LP file is always either the old one or the new one. Ctrl-C stops only this
// model's conversion, reported as a failure; GLPK's console lines name the final LP file.
struct ModFileResult {
    bool isModel = false;      // the path ends in "mod"
    bool converted = false;    // its LP file is written
    bool interrupted = false;  // a Ctrl-C came for this model, while or before it was converted
};
ModFileResult convertModFile(std::string path);

// While one of these lives, Ctrl-C (SIGINT, from the terminal or sent to the program alone)
// stops the conversion at hand instead of ending the program, and one that comes between
// two conversions stops the next model's. SIGTERM and SIGHUP still end the program, but
// not before the unfinished LP file is removed. A program that ignores one of these signals
// keeps ignoring it; the earlier handling comes back when the object goes. convertModFile
// holds one of its own for every model; holding one over a whole run also covers the
// moments between models. Objects may nest; only the outermost one acts.
class ConversionRun {
public:
    ConversionRun();
    ~ConversionRun();
    ConversionRun(const ConversionRun&) = delete;
    ConversionRun& operator=(const ConversionRun&) = delete;

    InterruptCatcher& interrupts() { return m_interrupts; }

private:
    InterruptCatcher m_interrupts;
};
