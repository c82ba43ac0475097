#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <sys/types.h>

// A program on its own pseudo-terminal, driven as a person at a terminal would: keys typed,
// the terminal's output read back.
class PtySession {
public:
    struct Options {
        std::string workingDirectory;                                  // empty: the test's own
        std::vector<std::pair<std::string, std::string>> environment;  // on top of a plain one
        bool outputToPipe = false;  // standard output and error to a pipe instead of the terminal
    };

    // Runs build/lumbrix. Its environment holds PATH, TERM=xterm, HOME and INPUTRC (an empty
    // file, so no inputrc of the machine's changes the keys), plus the options' variables.
    explicit PtySession(const Options& options);
    // Runs the function in a child process on the terminal; its result is the exit status.
    PtySession(const std::function<int()>& child, const Options& options);
    ~PtySession();
    PtySession(const PtySession&) = delete;
    PtySession& operator=(const PtySession&) = delete;

    void type(std::string_view keys);

    // Waits until the terminal shows the text after whatever earlier waits found (a "\n" in
    // it matches the terminal's "\r\n"). False after a generous timeout or when the program
    // has ended without showing it, and from then on at once.
    bool waitFor(std::string_view text);

    // Waits for the program's end: its exit status, or -1 if a signal ended it (then in
    // endSignal()) or it did not end in time.
    int waitForExit();
    int endSignal() const { return m_signal; }

    pid_t pid() const { return m_pid; }
    int terminal() const { return m_master; }
    const std::string& output() const { return m_output; }
    std::vector<std::string> screen() const;
    // What went to the pipe, with outputToPipe; complete once the program has ended.
    const std::string& pipedOutput() const { return m_piped; }

private:
    void start(const std::function<void()>& exec, const Options& options);
    bool readSome(int timeoutMs);

    pid_t m_pid = -1;
    int m_master = -1;
    int m_pipe = -1;
    std::string m_output;
    std::string m_piped;
    std::size_t m_seen = 0;
    int m_signal = 0;
    bool m_ended = false;
    bool m_offTrack = false;
    int m_status = -1;
    std::string m_home;
};

// The unrecognised-command message, as the shell writes it.
inline constexpr std::string_view kUnknownCommand = "Comando não reconhecido. Para ver os comandos digite 'help'\n";
