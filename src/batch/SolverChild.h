#pragma once

#include <csignal>
#include <string>
#include <vector>

#include "backends/RunSettings.h"
#include "report/Outcome.h"

// What a solver process leaves where the run can read it even after the process died: it
// lives in memory shared between the two.
struct SharedNotes {
    SolveNotes solve;                       // of the model begun last
    volatile long long modelsBegun;         // since the process started
    volatile sig_atomic_t nearMemoryLimit;  // died with its address space almost at the limit
};

struct ChildSetup {
    int socket = -1;
    int outCapture = -1;  // where standard output goes instead, sent back with each outcome; or -1
    int errCapture = -1;  // the same for standard error
    RunSettings settings;
    SharedNotes* notes = nullptr;
    std::vector<int> othersFds;  // the run's ends of the other solver processes
    bool batched = false;        // outcomes of quick models may wait for a few more
};

// The solver process: takes model paths from the socket, one at a time, solves each with its
// own solver instance and sends its outcome back; ends when the socket closes or the run's
// process ends.
[[noreturn]] void runSolverChild(const ChildSetup& setup);

// Everything written to a capture file so far, which is then emptied.
std::string takeCapture(int fd);
