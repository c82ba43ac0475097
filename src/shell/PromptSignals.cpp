#include "shell/PromptSignals.h"

#include <cerrno>
#include <system_error>

namespace {

constexpr int kSignals[PromptSignals::kCount] = {SIGINT, SIGWINCH, SIGTSTP, SIGTERM, SIGHUP, SIGQUIT};

volatile sig_atomic_t g_pending[PromptSignals::kCount];

std::size_t indexOf(int signal)
{
    for (std::size_t i = 0; i < PromptSignals::kCount; ++i)
        if (kSignals[i] == signal)
            return i;
    return PromptSignals::kCount;
}

extern "C" void noteSignal(int signal)
{
    const std::size_t i = indexOf(signal);
    if (i < PromptSignals::kCount)
        g_pending[i] = 1;
}

void check(int result, const char* what)
{
    if (result != 0)
        throw std::system_error(errno, std::generic_category(), what);
}

bool ignored(const struct sigaction& action)
{
    return (action.sa_flags & SA_SIGINFO) == 0 && action.sa_handler == SIG_IGN;
}

struct sigaction catchingAction()
{
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    check(sigemptyset(&action.sa_mask), "sigemptyset");
    action.sa_flags = 0;
    return action;
}

sigset_t setOf(int signal)
{
    sigset_t set;
    check(sigemptyset(&set), "sigemptyset");
    check(sigaddset(&set, signal), "sigaddset");
    return set;
}

}  // namespace

PromptSignals::PromptSignals()
{
    sigset_t blocked;
    check(sigemptyset(&blocked), "sigemptyset");
    for (int signal : kSignals)
        check(sigaddset(&blocked, signal), "sigaddset");
    check(sigprocmask(SIG_BLOCK, &blocked, &m_previousMask), "sigprocmask");

    const struct sigaction action = catchingAction();
    for (std::size_t i = 0; i < kCount; ++i) {
        g_pending[i] = 0;
        check(sigaction(kSignals[i], nullptr, &m_previous[i]), "sigaction");
        m_caught[i] = !ignored(m_previous[i]);
        if (m_caught[i])
            check(sigaction(kSignals[i], &action, nullptr), "sigaction");
    }
}

PromptSignals::~PromptSignals()
{
    // Failures cannot be reported from here; the calls only fail on arguments that
    // the constructor already used successfully.
    for (std::size_t i = 0; i < kCount; ++i)
        if (m_caught[i])
            sigaction(kSignals[i], &m_previous[i], nullptr);
    sigprocmask(SIG_SETMASK, &m_previousMask, nullptr);
}

int PromptSignals::takeCaught()
{
    for (std::size_t i = 0; i < kCount; ++i) {
        if (g_pending[i]) {
            g_pending[i] = 0;
            return kSignals[i];
        }
    }
    return 0;
}

void PromptSignals::deliverAsBefore(int signal)
{
    const std::size_t i = indexOf(signal);
    if (i == kCount || !m_caught[i])
        return;
    const sigset_t one = setOf(signal);
    check(sigaction(signal, &m_previous[i], nullptr), "sigaction");
    check(raise(signal), "raise");
    // Still blocked, so it is delivered here, with the earlier action.
    check(sigprocmask(SIG_UNBLOCK, &one, nullptr), "sigprocmask");
    check(sigprocmask(SIG_BLOCK, &one, nullptr), "sigprocmask");
    const struct sigaction action = catchingAction();
    check(sigaction(signal, &action, nullptr), "sigaction");
    g_pending[i] = 0;
}
