#include "RunningProcess.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

void closeIfOpen(int& fd)
{
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

using Clock = std::chrono::steady_clock;

Clock::time_point after(double seconds)
{
    return Clock::now() + std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
}

}  // namespace

RunningProcess::RunningProcess(const std::vector<std::string>& argv, const ProcessOptions& options,
                               int outputPipeSize)
{
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    if (outputPipeSize > 0 && fcntl(out[0], F_SETPIPE_SZ, outputPipeSize) < 0)
        throw std::runtime_error("cannot size the output pipe");
    // Writing to a program that has been killed must fail, not end the test.
    signal(SIGPIPE, SIG_IGN);

    m_pid = fork();
    if (m_pid < 0)
        throw std::runtime_error("fork failed");
    if (m_pid == 0) {
        if (options.ownProcessGroup)
            setpgid(0, 0);
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        if (options.unprivileged && geteuid() == 0
            && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
            _exit(125);
        if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0)
            _exit(126);
        for (const auto& name : options.unsetEnvironment)
            unsetenv(name.c_str());
        for (const auto& [name, value] : options.environment)
            setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> args;
        for (const auto& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        signal(SIGPIPE, SIG_DFL);
        execv(args[0], args.data());
        _exit(127);
    }
    if (options.ownProcessGroup)
        setpgid(m_pid, m_pid);
    close(in[0]);
    close(out[1]);
    close(err[1]);
    m_in = in[1];
    m_out = out[0];
    m_err = err[0];
    if (fcntl(m_in, F_SETFL, O_NONBLOCK) != 0)
        throw std::runtime_error("cannot make the input pipe non-blocking");
    send(options.input);
}

RunningProcess::~RunningProcess()
{
    if (!m_reaped) {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    closeIfOpen(m_in);
    closeIfOpen(m_out);
    closeIfOpen(m_err);
}

void RunningProcess::send(const std::string& text)
{
    m_queued += text;
    writeQueuedInput();
}

void RunningProcess::closeInput()
{
    m_closeInputWhenSent = true;
    writeQueuedInput();
}

void RunningProcess::writeQueuedInput()
{
    while (m_in >= 0 && !m_queued.empty()) {
        const ssize_t n = write(m_in, m_queued.data(), m_queued.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN)
                closeIfOpen(m_in);  // the program is gone; what it did not take is lost
            break;
        }
        m_queued.erase(0, static_cast<std::size_t>(n));
    }
    if (m_closeInputWhenSent && m_queued.empty())
        closeIfOpen(m_in);
}

bool RunningProcess::readUntil(const std::function<bool(const std::string&)>& done, double timeoutSeconds,
                               std::size_t maxOutput)
{
    const auto deadline = after(timeoutSeconds);
    while (!done(m_result.out)) {
        const bool takeOutput = m_out >= 0 && m_result.out.size() < maxOutput;
        if (!takeOutput && m_err < 0)
            return false;
        pollfd fds[3];
        nfds_t count = 0;
        if (takeOutput)
            fds[count++] = {m_out, POLLIN, 0};
        if (m_err >= 0)
            fds[count++] = {m_err, POLLIN, 0};
        if (m_in >= 0 && !m_queued.empty())
            fds[count++] = {m_in, POLLOUT, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        // Short waits, so that a condition on something else than the output is seen soon.
        const int ready = poll(fds, count, static_cast<int>(std::min<long long>(left, 20)));
        if (ready < 0 && errno != EINTR)
            throw std::runtime_error("poll failed");
        for (nfds_t i = 0; ready > 0 && i < count; ++i) {
            if (fds[i].revents == 0)
                continue;
            if (fds[i].fd == m_in) {
                writeQueuedInput();
                continue;
            }
            const bool isOutput = fds[i].fd == m_out;
            char buffer[65536];
            std::size_t wanted = sizeof buffer;
            if (isOutput)
                wanted = std::min(wanted, maxOutput - m_result.out.size());
            const ssize_t n = read(fds[i].fd, buffer, wanted);
            if (n > 0)
                (isOutput ? m_result.out : m_result.err).append(buffer, static_cast<std::size_t>(n));
            else if (n == 0 || errno != EINTR)
                closeIfOpen(isOutput ? m_out : m_err);
        }
    }
    return true;
}

bool RunningProcess::readUntilOutputHas(const std::string& text, double timeoutSeconds)
{
    return readUntil([&text](const std::string& out) { return out.find(text) != std::string::npos; },
                     timeoutSeconds);
}

void RunningProcess::readFor(double seconds)
{
    const auto deadline = after(seconds);
    readUntil([&deadline](const std::string&) { return Clock::now() >= deadline; }, seconds);
}

void RunningProcess::killGroup(int signal)
{
    if (!m_reaped)
        ::kill(-m_pid, signal);
}

void RunningProcess::kill(int signal)
{
    if (!m_reaped)
        ::kill(m_pid, signal);
}

ProcessResult RunningProcess::finish(double timeoutSeconds)
{
    if (!readUntil([](const std::string&) { return false; }, timeoutSeconds) && (m_out >= 0 || m_err >= 0)) {
        m_result.timedOut = true;
        ::kill(m_pid, SIGKILL);
        readUntil([](const std::string&) { return false; }, 10);
    }
    closeIfOpen(m_in);
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_reaped = true;
    if (WIFEXITED(status))
        m_result.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        m_result.signal = WTERMSIG(status);
    return m_result;
}

bool isBlockedWritingOutput(pid_t pid)
{
    // A sleeping task shows its system call and arguments; a running one shows "running".
    std::ifstream file("/proc/" + std::to_string(pid) + "/syscall");
    long number = -1;
    std::string fd;
    if (file >> number >> fd && number == SYS_write && fd == "0x1")
        return true;
    // The program's solver processes write to the same console.
    std::ifstream children("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
    for (pid_t child = 0; children >> child;)
        if (isBlockedWritingOutput(child))
            return true;
    return false;
}

bool systemTellsBlockedWrites()
{
    std::ifstream file("/proc/self/syscall");
    long number = -1;
    return static_cast<bool>(file >> number);
}
