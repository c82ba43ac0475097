#pragma once

#include <string>

#include "shell/Console.h"

// The lines typed at one kind of prompt, kept in memory for the run only: the up arrow at
// "Lumbrix> " recalls commands, at a folder question earlier paths. While an object lives,
// its kind's history is the one readline edits.
class PromptHistory {
public:
    explicit PromptHistory(Completion kind);
    ~PromptHistory();
    PromptHistory(const PromptHistory&) = delete;
    PromptHistory& operator=(const PromptHistory&) = delete;

    // Remembers a line, unless it is empty or repeats the latest one.
    void remember(const std::string& line);

private:
    int m_kind;
};
