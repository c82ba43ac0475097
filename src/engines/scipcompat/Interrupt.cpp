#include "engines/scipcompat/Interrupt.h"

#include <atomic>
#include <csignal>
#include <cstring>

#include <unistd.h>

#include "engines/scipcompat/Messages.h"

namespace {

std::atomic<int> g_interrupts{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free counter");

struct sigaction g_previous;
bool g_captured = false;

constexpr int kForcingPresses = 5;

// Only async-signal-safe calls below: write() and _exit().
void writeText(const char* text)
{
    const ssize_t written = write(STDOUT_FILENO, text, std::strlen(text));
    (void)written;  // nothing sensible to do about a failed write inside a handler
}

void writeCount(int count)
{
    char digits[16];
    int length = 0;
    do {
        digits[length++] = static_cast<char>('0' + count % 10);
        count /= 10;
    } while (count > 0 && length < 15);
    char text[16];
    for (int k = 0; k < length; ++k)
        text[k] = digits[length - 1 - k];
    text[length] = '\0';
    writeText(text);
}

extern "C" void onInterrupt(int)
{
    const int presses = g_interrupts.fetch_add(1) + 1;
    writeText("pressed CTRL-C ");
    writeCount(presses);
    if (presses >= kForcingPresses) {
        writeText(" times. forcing termination.\n");
        _exit(1);
    }
    writeText(" times (5 times for forcing termination)\n");
}

}  // namespace

void captureInterrupt()
{
    g_interrupts.store(0);
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onInterrupt;
    action.sa_flags = 0;
    if (sigemptyset(&action.sa_mask) != 0 || sigaction(SIGINT, &action, &g_previous) != 0) {
        COMPAT_ERROR_MESSAGE("cannot catch CTRL-C during this solve\n");
        g_captured = false;
        return;
    }
    g_captured = true;
}

void releaseInterrupt()
{
    if (!g_captured)
        return;
    g_captured = false;
    if (sigaction(SIGINT, &g_previous, nullptr) != 0)
        COMPAT_ERROR_MESSAGE("cannot restore the previous handling of CTRL-C\n");
}

bool interruptRequested()
{
    return g_interrupts.load() > 0;
}
