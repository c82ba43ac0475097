#include "PtySession.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "Process.h"
#include "TempDir.h"
#include "Screen.h"

namespace {

constexpr int kTimeoutMs = 60000;

std::string crlf(std::string_view text)
{
    std::string result;
    for (char c : text) {
        if (c == '\n')
            result += '\r';
        result += c;
    }
    return result;
}

}  // namespace

PtySession::PtySession(const Options& options)
{
    start([] {
        const std::string binary = lumbrixBinary();
        char* const argv[] = {const_cast<char*>(binary.c_str()), nullptr};
        execv(argv[0], argv);
    }, options);
}

PtySession::PtySession(const std::function<int()>& child, const Options& options)
{
    start([&child] {
        const int status = child();
        std::fflush(nullptr);
        _exit(status);
    }, options);
}

void PtySession::start(const std::function<void()>& exec, const Options& options)
{
    static TempDir home;
    m_home = home.path();
    const std::string inputrc = home.write("inputrc", "");

    int pipeFds[2] = {-1, -1};
    if (options.outputToPipe && pipe2(pipeFds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");

    struct winsize size = {};
    size.ws_row = 40;
    size.ws_col = 250;
    // Nothing of ours still buffered may come out again in the child.
    std::fflush(nullptr);
    m_pid = forkpty(&m_master, nullptr, nullptr, &size);
    if (m_pid < 0)
        throw std::runtime_error("forkpty failed");
    if (m_pid == 0) {
        if (options.outputToPipe && (dup2(pipeFds[1], 1) < 0 || dup2(pipeFds[1], 2) < 0))
            _exit(125);
        if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0)
            _exit(126);
        const char* path = std::getenv("PATH");
        const std::string keptPath = path ? path : "/usr/bin:/bin";
        clearenv();
        setenv("PATH", keptPath.c_str(), 1);
        setenv("TERM", "xterm", 1);
        setenv("HOME", m_home.c_str(), 1);
        setenv("INPUTRC", inputrc.c_str(), 1);
        for (const auto& [name, value] : options.environment)
            setenv(name.c_str(), value.c_str(), 1);
        signal(SIGINT, SIG_DFL);
        signal(SIGPIPE, SIG_DFL);
        exec();
        _exit(127);
    }
    if (options.outputToPipe) {
        close(pipeFds[1]);
        m_pipe = pipeFds[0];
    }
}

PtySession::~PtySession()
{
    if (!m_ended && m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    if (m_master >= 0)
        close(m_master);
    if (m_pipe >= 0)
        close(m_pipe);
}

void PtySession::type(std::string_view keys)
{
    while (!keys.empty()) {
        const ssize_t n = write(m_master, keys.data(), keys.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw std::runtime_error("writing to the terminal failed");
        keys.remove_prefix(static_cast<std::size_t>(n));
    }
}

// Reads what is there from the terminal and the pipe; false when neither will give more.
bool PtySession::readSome(int timeoutMs)
{
    pollfd fds[2] = {{m_master, POLLIN, 0}, {m_pipe, POLLIN, 0}};
    const nfds_t count = m_pipe >= 0 ? 2 : 1;
    const int ready = poll(fds, count, timeoutMs);
    if (ready < 0)
        return errno == EINTR;
    if (ready == 0)
        return true;
    bool open = false;
    char buffer[4096];
    for (nfds_t i = 0; i < count; ++i) {
        if (fds[i].revents == 0) {
            open = true;
            continue;
        }
        const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
        if (n > 0) {
            (i == 0 ? m_output : m_piped).append(buffer, static_cast<std::size_t>(n));
            open = true;
        } else if (n < 0 && errno == EINTR) {
            open = true;
        } else if (i == 1) {
            close(m_pipe);
            m_pipe = -1;
        }
    }
    return open;
}

bool PtySession::waitFor(std::string_view text)
{
    // After one wait has failed the session is off track: later waits fail at once.
    if (m_offTrack)
        return false;
    const std::string wanted = crlf(text);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs);
    for (;;) {
        const std::size_t at = m_output.find(wanted, m_seen);
        if (at != std::string::npos) {
            m_seen = at + wanted.size();
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !readSome(static_cast<int>(std::min<long long>(left.count(), 500)))) {
            m_offTrack = true;
            return false;
        }
    }
}

int PtySession::waitForExit()
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs);
    while (!m_ended) {
        int status = 0;
        const pid_t done = waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid) {
            m_ended = true;
            if (WIFEXITED(status))
                m_status = WEXITSTATUS(status);
            else if (WIFSIGNALED(status))
                m_signal = WTERMSIG(status);
            break;
        }
        if (std::chrono::steady_clock::now() > deadline)
            return -1;
        readSome(100);
    }
    // Whatever is still on its way from the terminal and the pipe.
    while (readSome(100) && m_pipe >= 0) {
    }
    pollfd fd = {m_master, POLLIN, 0};
    while (poll(&fd, 1, 0) > 0 && (fd.revents & POLLIN) && readSome(0)) {
    }
    return m_status;
}

std::vector<std::string> PtySession::screen() const
{
    return screenLines(m_output);
}
