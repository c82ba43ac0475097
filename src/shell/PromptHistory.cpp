#include "shell/PromptHistory.h"

#include <cstdlib>

#include <readline/history.h>

namespace {

// One history per kind of prompt; a zeroed state is an empty history.
HISTORY_STATE g_histories[3] = {};

}  // namespace

PromptHistory::PromptHistory(Completion kind)
    : m_kind(static_cast<int>(kind))
{
    history_set_history_state(&g_histories[m_kind]);
    using_history();
}

PromptHistory::~PromptHistory()
{
    HISTORY_STATE* state = history_get_history_state();
    if (state) {
        g_histories[m_kind] = *state;
        std::free(state);
    }
}

void PromptHistory::remember(const std::string& line)
{
    if (line.empty())
        return;
    const HIST_ENTRY* latest = history_length > 0 ? history_get(history_base + history_length - 1) : nullptr;
    if (latest && line == latest->line)
        return;
    add_history(line.c_str());
}
