#include "Process.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
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

}  // namespace

ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessOptions& options)
{
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");

    const pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        setpgid(0, 0);
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
    close(in[0]);
    close(out[1]);
    close(err[1]);
    int inFd = in[1], outFd = out[0], errFd = err[0];
    fcntl(inFd, F_SETFL, O_NONBLOCK);

    ProcessResult result;
    std::size_t inputSent = 0;
    if (options.input.empty())
        closeIfOpen(inFd);
    const auto deadline = std::chrono::steady_clock::now()
        + std::chrono::milliseconds(static_cast<long long>(options.timeoutSeconds * 1000));
    signal(SIGPIPE, SIG_IGN);

    while (outFd >= 0 || errFd >= 0) {
        pollfd fds[3];
        int count = 0;
        if (outFd >= 0)
            fds[count++] = {outFd, POLLIN, 0};
        if (errFd >= 0)
            fds[count++] = {errFd, POLLIN, 0};
        if (inFd >= 0)
            fds[count++] = {inFd, POLLOUT, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            kill(-pid, SIGKILL);
            break;
        }
        if (poll(fds, static_cast<nfds_t>(count), static_cast<int>(std::min<long long>(left.count(), 1000))) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < count; ++i) {
            if (fds[i].revents == 0)
                continue;
            if (fds[i].fd == inFd) {
                const ssize_t n = write(inFd, options.input.data() + inputSent, options.input.size() - inputSent);
                if (n > 0)
                    inputSent += static_cast<std::size_t>(n);
                if (n < 0 && errno != EAGAIN)
                    closeIfOpen(inFd);
                if (inputSent == options.input.size())
                    closeIfOpen(inFd);
                continue;
            }
            char buffer[65536];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            std::string& target = fds[i].fd == outFd ? result.out : result.err;
            if (n > 0) {
                target.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                if (fds[i].fd == outFd)
                    closeIfOpen(outFd);
                else
                    closeIfOpen(errFd);
            }
        }
    }
    closeIfOpen(inFd);
    closeIfOpen(outFd);
    closeIfOpen(errFd);

    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    return result;
}

std::string lumbrixBinary()
{
    return LUMBRIX_BINARY;
}

ProcessResult runLumbrix(const std::string& input, ProcessOptions options)
{
    options.input = input;
    return runProcess({lumbrixBinary()}, options);
}

namespace {

char g_publicFolder[] = "/tmp/lumbrix-bin-XXXXXX";

void removePublicCopy()
{
    runProcess({"/bin/rm", "-rf", g_publicFolder});
}

}  // namespace

std::string publicLumbrixBinary()
{
    static const std::string copy = [] {
        if (!mkdtemp(g_publicFolder) || chmod(g_publicFolder, 0755) != 0)
            throw std::runtime_error("cannot make a folder for the program copy");
        std::atexit(removePublicCopy);
        const std::string target = std::string(g_publicFolder) + "/lumbrix";
        const ProcessResult copied = runProcess({"/bin/cp", lumbrixBinary(), target});
        if (copied.exitCode != 0 || chmod(target.c_str(), 0755) != 0)
            throw std::runtime_error("cannot copy the program");
        return target;
    }();
    return copy;
}

std::string examplesFolder()
{
    return LUMBRIX_SOURCE_DIR "/examples";
}
