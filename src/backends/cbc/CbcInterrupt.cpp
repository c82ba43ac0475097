#include "backends/cbc/CbcInterrupt.h"

#include <atomic>
#include <csignal>

#include <CbcModel.hpp>

namespace {

// Set and read by the handler: a lock-free flag and the model searching.
std::atomic<bool> g_pressed{false};
std::atomic<CbcModel*> g_searching{nullptr};
static_assert(std::atomic<CbcModel*>::is_always_lock_free, "the signal handler reads the model");
struct sigaction g_previous;

extern "C" void onCbcInterrupt(int)
{
    g_pressed.store(true);
    // What CBC's own handler does: a flag the search looks at between nodes.
    if (CbcModel* model = g_searching.load()) {
        model->sayEventHappened();
        if (CbcModel* heuristic = model->heuristicModel())
            heuristic->sayEventHappened();
    }
}

}  // namespace

CbcInterrupt::CbcInterrupt()
{
    g_pressed.store(false);
    g_searching.store(nullptr);
    struct sigaction action{};
    action.sa_handler = onCbcInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &g_previous);
}

CbcInterrupt::~CbcInterrupt()
{
    sigaction(SIGINT, &g_previous, nullptr);
    g_searching.store(nullptr);
}

bool CbcInterrupt::pressed()
{
    return g_pressed.load();
}

void CbcInterrupt::searching(CbcModel* model)
{
    g_searching.store(model);
    // A press just before the search began stops it as soon as it starts.
    if (model && g_pressed.load())
        model->sayEventHappened();
}
