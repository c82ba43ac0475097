#pragma once

#include <chrono>
#include <csignal>
#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backends/RunSettings.h"
#include "fs/Process.h"
#include "report/Outcome.h"

// A model that has ended in a solver process, with everything the run needs to report it.
struct EndedModel {
    std::size_t number = 0;  // the model's listing number
    ModelOutcome outcome;
    std::string capturedOut;  // what the solver wrote, when it did not go to the console at once
    std::string capturedErr;
    std::string message;  // the run's own word about a process that died, or ""
};

// The solver processes of a run, one per job, supervised. A process that dies costs the model
// it had; one that outlives the hard time limit is stopped; the models after it go to a new
// process. With one job and the solver's log on, the solver writes to the console as it
// solves, one model at a time; otherwise what it writes comes back with each model, and a
// single process is handed several models ahead so that it never waits for the run.
class SolverPool {
public:
    explicit SolverPool(const RunSettings& settings);
    ~SolverPool();
    SolverPool(const SolverPool&) = delete;
    SolverPool& operator=(const SolverPool&) = delete;

    // Whether the solver writes straight to the console.
    bool live() const { return m_window == 1 && m_slots.size() == 1; }
    bool canTake() const;
    bool busy() const;

    // Hands a model over. With live output, what was written so far goes out first.
    void hand(std::size_t number, const std::string& path);

    // Waits until a model ends; models of one process end in the order they were handed.
    // Ctrl-C meanwhile reaches the models being solved.
    EndedModel waitForEnd();

private:
    struct Slot;
    struct Queued;
    using Clock = std::chrono::steady_clock;

    bool start(Slot& slot);
    void reap(Slot& slot, bool force);
    bool send(Slot& slot, const Queued& model);
    void restart(Slot& slot);
    void startClock(Slot& slot, Clock::time_point now);
    void checkTimes(Slot& slot, Clock::time_point now);
    std::optional<EndedModel> readFrom(Slot& slot, bool fill);
    EndedModel endFront(Slot& slot, ModelOutcome outcome, std::string out, std::string err, std::string message);
    ModelOutcome deathOutcome(const Slot& slot, const std::string& name, int status, std::string& message) const;
    void forwardInterrupt();

    RunSettings m_settings;
    std::size_t m_window;
    bool m_capture;
    std::vector<std::unique_ptr<Slot>> m_slots;
    InterruptCatcher m_interrupts;
};
