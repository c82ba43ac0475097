#pragma once

#include <csignal>
#include <cstddef>

// While a line is edited, the signals that concern the terminal are caught and dealt with
// between keys: they stay blocked except while waiting for input, and their earlier actions
// come back when the prompt ends, so nothing of the prompt outlives it. A signal the program
// was set to ignore stays ignored.
class PromptSignals {
public:
    PromptSignals();
    ~PromptSignals();
    PromptSignals(const PromptSignals&) = delete;
    PromptSignals& operator=(const PromptSignals&) = delete;

    // The signal mask to wait for input with: the one in force before the prompt.
    const sigset_t& waitMask() const { return m_previousMask; }

    // A signal caught and not yet taken, or 0.
    int takeCaught();

    // Lets the signal do what it did before the prompt (end or stop the program, or run the
    // program's own handler), then catches it again if the program goes on.
    void deliverAsBefore(int signal);

    static constexpr std::size_t kCount = 6;

private:
    sigset_t m_previousMask;
    struct sigaction m_previous[kCount];
    bool m_caught[kCount];
};
