#pragma once

#include <string>
#include <utility>
#include <vector>

// Runs programs the way a user or a script does, for end-to-end tests.

struct ProcessResult {
    std::string out;
    std::string err;
    int exitCode = -1;  // -1 when the process did not exit normally
    int signal = 0;     // the signal that ended it, if one did
    bool timedOut = false;
};

struct ProcessOptions {
    std::string input;                                         // written to standard input, then closed
    std::string workingDirectory;                              // empty: the test's own
    std::vector<std::pair<std::string, std::string>> environment;  // set (or, with an empty value, kept) on top of ours
    std::vector<std::string> unsetEnvironment;                 // removed from the environment
    double timeoutSeconds = 120;
    bool unprivileged = false;  // when run as root, drop to the user "nobody" first
    bool ownProcessGroup = false;  // leads a process group of its own, as a shell's job does
};

ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});

// The program under test, build/lumbrix.
std::string lumbrixBinary();
ProcessResult runLumbrix(const std::string& input, ProcessOptions options = {});

// A copy of the program that an unprivileged user may run, in its own folder (the build
// tree may lie under a private home). Made once per test process.
std::string publicLumbrixBinary();

// The folder of the source tree's example models.
std::string examplesFolder();
