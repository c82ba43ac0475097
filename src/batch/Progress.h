#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "backends/RunSettings.h"

// What the progress line says: done/total, per cent, elapsed and estimated remaining time,
// optimal models and failures.
struct ProgressCounts {
    std::size_t done = 0;
    std::size_t total = 0;
    std::size_t optimal = 0;
    std::size_t failures = 0;
};
std::string progressText(const ProgressCounts& counts, double elapsedSeconds);

// Whether a run draws the progress line: standard error is a terminal, and the solver's log
// does not fill the console (it is off, or several models run at once).
bool progressWanted(const RunSettings& settings);

// One line on standard error, redrawn as models end, out of the way whenever the console
// gets anything else. Does nothing when not wanted.
class ProgressLine {
public:
    ProgressLine(bool wanted, std::size_t total);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void modelEnded(bool optimal, bool failed);
    // Erases the line before anything else goes to the console.
    void erase();
    void draw();

private:
    bool m_wanted;
    bool m_shown = false;
    ProgressCounts m_counts;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};
