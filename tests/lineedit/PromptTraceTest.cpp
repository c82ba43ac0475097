// A prompt read at a terminal leaves nothing behind: signal actions and mask, terminal
// settings and the character locale are as they were before it.

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include "PtySession.h"
#include "TempDir.h"
#include "shell/Console.h"

namespace {

struct ProcessState {
    struct sigaction interrupt = {};
    struct sigaction resize = {};
    sigset_t mask = {};
    termios terminal = {};
    std::string ctype;

    static ProcessState now()
    {
        ProcessState state;
        sigaction(SIGINT, nullptr, &state.interrupt);
        sigaction(SIGWINCH, nullptr, &state.resize);
        sigprocmask(SIG_SETMASK, nullptr, &state.mask);
        tcgetattr(STDIN_FILENO, &state.terminal);
        state.ctype = std::setlocale(LC_CTYPE, nullptr);
        return state;
    }
};

// The C library adds a flag of its own to every action it sets; that one is not compared.
bool sameAction(const struct sigaction& a, const struct sigaction& b)
{
    constexpr int kFlags = SA_SIGINFO | SA_RESTART | SA_NODEFER | SA_RESETHAND | SA_ONSTACK;
    return a.sa_handler == b.sa_handler && (a.sa_flags & kFlags) == (b.sa_flags & kFlags);
}

bool sameTerminal(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag
        && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

// What changed since `before`, as words the parent can wait for.
std::string differences(const ProcessState& before)
{
    const ProcessState after = ProcessState::now();
    std::string text;
    if (!sameAction(before.interrupt, after.interrupt) || after.interrupt.sa_handler != SIG_DFL)
        text += " sigint";
    if (!sameAction(before.resize, after.resize))
        text += " sigwinch";
    for (int signal = 1; signal < NSIG; ++signal)
        if (sigismember(&before.mask, signal) != sigismember(&after.mask, signal))
            text += " mask";
    if (!sameTerminal(before.terminal, after.terminal))
        text += " terminal";
    if (before.ctype != after.ctype)
        text += " ctype";
    return text.empty() ? " none" : text;
}

int promptTwice()
{
    const ProcessState before = ProcessState::now();
    std::string line;
    const bool first = promptLine("Pergunta> ", line, Completion::Path);
    std::printf("first=%d [%s] changed:%s.\n", first, line.c_str(), differences(before).c_str());
    const bool second = promptLine("Lumbrix> ", line, Completion::Command);
    std::printf("second=%d [%s] changed:%s.\n", second, line.c_str(), differences(before).c_str());
    return 0;
}

TEST(PromptTraceTest, PromptsPutEverythingBack)
{
    TempDir dir;
    // Readline would take the character locale from LANG; the program's must stay "C".
    PtySession session(promptTwice, PtySession::Options{dir.path(), {{"LANG", "C.UTF-8"}}, false});
    ASSERT_TRUE(session.waitFor("Pergunta> "));
    session.type("zz");
    ASSERT_TRUE(session.waitFor("zz"));
    session.type("\003");
    ASSERT_TRUE(session.waitFor("Pergunta> "));
    session.type("abc\r");
    ASSERT_TRUE(session.waitFor("first=1 [abc] changed: none.\n")) << session.output();
    ASSERT_TRUE(session.waitFor("Lumbrix> "));
    session.type("\004");
    ASSERT_TRUE(session.waitFor("second=0 [] changed: none.\n")) << session.output();
    EXPECT_EQ(session.waitForExit(), 0);
}

}  // namespace
