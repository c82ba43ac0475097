#pragma once

#include <chrono>
#include <csignal>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backends/RunSettings.h"
#include "batch/SolverChild.h"
#include "batch/Wire.h"
#include "report/Outcome.h"

// A model that has ended in a solver process, with everything the run needs to report it.
struct EndedModel {
    std::size_t number = 0;  // the model's listing number
    ModelOutcome outcome;
    std::string capturedOut;  // what the solver wrote while several models ran at once
    std::string capturedErr;
    std::string message;  // the run's own word about a process that died, or ""
};

// The solver processes of a run: as many as there are jobs, each solving one model at a time,
// supervised. A process that dies costs the model it had; one that outlives the hard time
// limit is stopped; the next model gets a new process.
class SolverPool {
public:
    SolverPool(const RunSettings& settings);
    ~SolverPool();
    SolverPool(const SolverPool&) = delete;
    SolverPool& operator=(const SolverPool&) = delete;

    bool hasIdle() const;
    bool busy() const;

    // Hands a model to an idle process (started if needed). Output written so far goes out
    // first, so that a solver's own output follows it.
    void hand(std::size_t number, const std::string& path);

    // Waits until a model ends. Ctrl-C meanwhile reaches the models being solved.
    EndedModel waitForEnd();

private:
    enum class State { Down, Idle, Solving, Stopping };
    struct Slot;
    using Clock = std::chrono::steady_clock;

    void start(Slot& slot);
    void stop(Slot& slot);
    std::optional<EndedModel> check(Slot& slot, Clock::time_point now);
    EndedModel finish(Slot& slot, ModelOutcome outcome, std::string message);
    ModelOutcome deathOutcome(Slot& slot, int status, std::string& message);
    void forwardInterrupt();

    RunSettings m_settings;
    bool m_capture;
    std::vector<std::unique_ptr<Slot>> m_slots;
    struct sigaction m_previousInterrupt{};
    sigset_t m_previousMask{};
};
