#include "fs/Process.h"

#include <cerrno>
#include <ctime>

#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The state of the outermost catcher; the signal handler writes g_noted only.
volatile sig_atomic_t g_noted = 0;
int g_depth = 0;
bool g_catching = false;  // false while SIGINT stays ignored
struct sigaction g_previousInterrupt;
sigset_t g_previousMask;
sigset_t g_waitMask;
bool g_restoreChildSignal = false;
struct sigaction g_previousChildSignal;

extern "C" void noteInterrupt(int)
{
    g_noted = 1;
}

bool isIgnored(const struct sigaction& action)
{
    return (action.sa_flags & SA_SIGINFO) == 0 && action.sa_handler == SIG_IGN;
}

sigset_t interruptOnly()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    return set;
}

// A Ctrl-C noted by the handler, or held back by the mask (then taken off). SIGINT is blocked
// whenever this runs.
bool takeNoted()
{
    if (!g_catching)
        return false;
    const sigset_t interrupt = interruptOnly();
    const timespec now{};
    bool held = false;
    while (sigtimedwait(&interrupt, nullptr, &now) == SIGINT)
        held = true;
    const bool noted = g_noted != 0;
    g_noted = 0;
    return noted || held;
}

int openPidfd(pid_t pid)
{
#ifdef SYS_pidfd_open
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
    static_cast<void>(pid);
    return -1;
#endif
}

}  // namespace

InterruptCatcher::InterruptCatcher()
{
    if (g_depth++ > 0)
        return;
    g_noted = 0;
    struct sigaction current;
    g_catching = sigaction(SIGINT, nullptr, &current) == 0 && !isIgnored(current);
    const sigset_t interrupt = interruptOnly();
    sigprocmask(SIG_BLOCK, g_catching ? &interrupt : nullptr, &g_previousMask);
    g_waitMask = g_previousMask;
    sigdelset(&g_waitMask, SIGINT);
    if (g_catching) {
        struct sigaction action{};
        action.sa_handler = noteInterrupt;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        g_catching = sigaction(SIGINT, &action, &g_previousInterrupt) == 0;
    }
    // Children of a program that inherited an ignored SIGCHLD leave no exit status to wait for.
    if (sigaction(SIGCHLD, nullptr, &g_previousChildSignal) == 0 && isIgnored(g_previousChildSignal)) {
        struct sigaction action{};
        action.sa_handler = SIG_DFL;
        sigemptyset(&action.sa_mask);
        g_restoreChildSignal = sigaction(SIGCHLD, &action, nullptr) == 0;
    }
}

InterruptCatcher::~InterruptCatcher()
{
    if (--g_depth > 0)
        return;
    static_cast<void>(takeNoted());
    if (g_catching)
        sigaction(SIGINT, &g_previousInterrupt, nullptr);
    if (g_restoreChildSignal)
        sigaction(SIGCHLD, &g_previousChildSignal, nullptr);
    sigprocmask(SIG_SETMASK, &g_previousMask, nullptr);
    g_catching = false;
    g_restoreChildSignal = false;
}

bool InterruptCatcher::take()
{
    return takeNoted();
}

const sigset_t* InterruptCatcher::waitMask() const
{
    return &g_waitMask;
}

pid_t startChild()
{
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid > 0)
        setpgid(pid, pid);
    if (pid != 0)
        return pid;
    // However the program ends, SIGKILL follows it here; one that ended before this line
    // was not seen by that promise.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(0);
    setpgid(0, 0);
    if (g_depth > 0) {
        if (g_catching)
            std::signal(SIGINT, SIG_DFL);
        sigprocmask(SIG_SETMASK, &g_previousMask, nullptr);
    }
    return 0;
}

void passInterruptOn(pid_t child)
{
    kill(child, SIGINT);
}

void ignoreInterruptsBetweenTasks()
{
    std::signal(SIGINT, SIG_IGN);
}

std::optional<int> waitForChild(pid_t child, bool* interrupted)
{
    // Only a waiter that answers for the child takes a Ctrl-C: otherwise it stays held back
    // for whoever does.
    const bool passOn = interrupted != nullptr && g_depth > 0 && g_catching;
    const int pidfd = openPidfd(child);
    std::optional<int> result;
    for (;;) {
        int status = 0;
        const pid_t reaped = waitpid(child, &status, WNOHANG);
        if (reaped == child) {
            result = status;
            break;
        }
        if (reaped < 0 && errno != EINTR)
            break;
        if (passOn && takeNoted()) {
            passInterruptOn(child);
            *interrupted = true;
        }
        pollfd ready{pidfd, POLLIN, 0};
        // Without a descriptor for the child, it is looked at every 10 ms.
        const timespec step{0, 10 * 1000 * 1000};
        ppoll(pidfd >= 0 ? &ready : nullptr, pidfd >= 0 ? 1 : 0, pidfd >= 0 ? nullptr : &step,
              passOn ? &g_waitMask : nullptr);
    }
    if (pidfd >= 0)
        close(pidfd);
    // A Ctrl-C that came as the child ended was for it all the same.
    if (passOn && takeNoted())
        *interrupted = true;
    return result;
}
