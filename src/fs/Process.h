#pragma once

#include <csignal>
#include <optional>

#include <sys/types.h>

// Child processes and Ctrl-C, for every part of the program that has work done in a child.

// While one of these lives, SIGINT (Ctrl-C at the terminal, or sent to the program or its
// process group) is noted instead of ending the program, and held back except while the
// program waits for its children, which get it passed on: once, since they lead process groups
// of their own. A program that ignores SIGINT (started under nohup) goes on ignoring it. The
// earlier handling comes back when the object goes, and a Ctrl-C that came after the last
// wait is dropped. Objects may nest; only the outermost one acts.
class InterruptCatcher {
public:
    InterruptCatcher();
    ~InterruptCatcher();
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;

    // Whether a Ctrl-C came since the last call (or was held back meanwhile).
    bool take();
    // The signal mask to wait with (ppoll, sigsuspend): SIGINT let in.
    const sigset_t* waitMask() const;
};

// Starts a child that never outlives this process, however it ends, and leads a process group
// of its own. In the child: 0, with SIGINT's handling and mask as they were before any catcher
// (the default action where the program did not ignore it). Here: the child's id, or -1 with
// errno set.
pid_t startChild();

// Passes a Ctrl-C the catcher took on to a child.
void passInterruptOn(pid_t child);

// In a child whose work handles Ctrl-C by itself while it works (a solver while it solves):
// outside that work, and after a piece of work that left its handling behind, Ctrl-C does
// nothing.
void ignoreInterruptsBetweenTasks();

// Waits until the child has ended and gives its wait status; nullopt when it cannot be waited
// for. A Ctrl-C that a live catcher notes meanwhile is passed on to the child, and `interrupted`
// is then set.
std::optional<int> waitForChild(pid_t child, bool* interrupted = nullptr);
