#pragma once

#include "Models.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include <scip/scip.h>

#include "TempDir.h"

// Captures what C code writes to standard output and standard error (the file descriptors
// themselves, not just the streams) for the lifetime of the object.
class OutputCapture {
public:
    OutputCapture();
    ~OutputCapture();
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;

    // Ends the capture (once) and returns what was written.
    const std::string& out();
    const std::string& err();

private:
    void finish();

    TempDir m_dir;
    int m_savedOut = -1;
    int m_savedErr = -1;
    bool m_finished = false;
    std::string m_out;
    std::string m_err;
};

// Ends the test program if a solve that should stop never does.
class HangGuard {
public:
    explicit HangGuard(int seconds);
    ~HangGuard();
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};

// A SCIP instance set up as the SCIP back end sets it up: default plug-ins and the empty
// problem "lp_example".
class ScipInstance {
public:
    ScipInstance();
    ~ScipInstance();
    ScipInstance(const ScipInstance&) = delete;
    ScipInstance& operator=(const ScipInstance&) = delete;

    SCIP* get() const { return m_scip; }

private:
    SCIP* m_scip = nullptr;
};

// What follows SCIP's error header "[<sourceFile>:<line>] ERROR: " at the start of `text`,
// or "(no error header)" when the text does not start with one.
std::string afterErrorHeader(const std::string& text, const std::string& sourceFile);

// Reads and solves `path` without a log and returns the status; read failures fail the test.
SCIP_STATUS readAndSolve(SCIP* scip, const std::string& path);

// Models hard enough to keep GLPK and SCIP busy for far longer than a second.
std::string hardLpModel();   // a sparse LP with 8000 columns and 4000 rows
