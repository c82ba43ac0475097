#pragma once

#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

#include "Process.h"

// A program started in the background, for tests that act while it runs: read its output
// as it comes, give it input bit by bit, stop it at a chosen moment. The options' input
// is sent at the start; timeoutSeconds is not used (each wait takes its own). A non-zero
// outputPipeSize sets the capacity of the standard output pipe before the program starts.
class RunningProcess {
public:
    explicit RunningProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {},
                            int outputPipeSize = 0);
    ~RunningProcess();  // kills and reaps a process that is still there
    RunningProcess(const RunningProcess&) = delete;
    RunningProcess& operator=(const RunningProcess&) = delete;

    pid_t pid() const { return m_pid; }
    // Queues text for standard input; it is written while the process is read.
    void send(const std::string& text);
    // Closes standard input once everything queued has been written.
    void closeInput();

    // Reads standard output and standard error until done(out()) holds. False when the
    // program closed its output, or the timeout passed, before that. At most maxOutput
    // bytes of standard output are taken in all; the rest stays in the pipe.
    bool readUntil(const std::function<bool(const std::string&)>& done, double timeoutSeconds = 120,
                   std::size_t maxOutput = std::string::npos);
    bool readUntilOutputHas(const std::string& text, double timeoutSeconds = 120);
    // Reads whatever comes for that long.
    void readFor(double seconds);

    const std::string& out() const { return m_result.out; }
    const std::string& err() const { return m_result.err; }

    void kill(int signal);
    // Signals the whole process group it leads (see ProcessOptions::ownProcessGroup).
    void killGroup(int signal);
    // Reads everything left, waits for the end and gives the whole result. A process that
    // is still running after the timeout is killed and reported as timed out.
    ProcessResult finish(double timeoutSeconds = 120);

private:
    void writeQueuedInput();

    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    int m_err = -1;
    std::string m_queued;
    bool m_closeInputWhenSent = false;
    bool m_reaped = false;
    ProcessResult m_result;
};

// Whether the process sleeps inside a write() to its standard output: its console pipe is
// full. False also where the system does not tell (see systemTellsBlockedWrites).
bool isBlockedWritingOutput(pid_t pid);
bool systemTellsBlockedWrites();
