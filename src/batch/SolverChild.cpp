#include "batch/SolverChild.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "backends/SolveModel.h"
#include "batch/Wire.h"
#include "fs/Paths.h"

namespace {

// For the handler of fatal signals only.
SharedNotes* g_notes = nullptr;
unsigned long g_limitPages = 0;
char g_signalStack[64 * 1024];

// Only async-signal-safe calls: open, read, close, signal, raise.
extern "C" void onFatalSignal(int signal)
{
    const int fd = open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        char text[64];
        const ssize_t count = read(fd, text, sizeof text - 1);
        close(fd);
        unsigned long pages = 0;
        for (ssize_t i = 0; i < count && text[i] >= '0' && text[i] <= '9'; ++i)
            pages = pages * 10 + static_cast<unsigned long>(text[i] - '0');
        if (pages * 10 >= g_limitPages * 9)
            g_notes->nearMemoryLimit = 1;
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The address space is limited to the memory limit; a process that dies near it ran out of
// memory rather than crashed.
void limitMemory(const RunSettings& settings, SharedNotes* notes)
{
    if (!settings.memoryLimitMb)
        return;
    const double bytes = *settings.memoryLimitMb * 1024.0 * 1024.0;
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = bytes >= static_cast<double>(RLIM_INFINITY) ? RLIM_INFINITY
                                                                                   : static_cast<rlim_t>(bytes);
    if (setrlimit(RLIMIT_AS, &limit) != 0)
        std::perror("setrlimit");
    g_notes = notes;
    g_limitPages = static_cast<unsigned long>(limit.rlim_cur / static_cast<rlim_t>(sysconf(_SC_PAGESIZE)));
    stack_t stack{};
    stack.ss_sp = g_signalStack;
    stack.ss_size = sizeof g_signalStack;
    sigaltstack(&stack, nullptr);
    struct sigaction action{};
    action.sa_handler = onFatalSignal;
    action.sa_flags = SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGSEGV, SIGBUS, SIGABRT})
        sigaction(signal, &action, nullptr);
}

// Linux resets a process's peak resident size on request, so that each model has its own.
class PeakMemory {
public:
    PeakMemory() : m_fd(open("/proc/self/clear_refs", O_WRONLY | O_CLOEXEC)) {}
    ~PeakMemory()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    PeakMemory(const PeakMemory&) = delete;
    PeakMemory& operator=(const PeakMemory&) = delete;

    void reset()
    {
        if (m_fd >= 0 && write(m_fd, "5", 1) != 1) {
            close(m_fd);
            m_fd = -1;
        }
    }
    std::optional<double> megabytes() const
    {
        rusage usage{};
        if (m_fd < 0 || getrusage(RUSAGE_SELF, &usage) != 0)
            return std::nullopt;
        return static_cast<double>(usage.ru_maxrss) / 1024.0;
    }

private:
    int m_fd;
};

ModelOutcome solve(const std::string& path, const RunSettings& settings, SolveNotes& notes)
{
    try {
        return solveModel(path, settings, notes);
    } catch (const std::bad_alloc&) {
        ModelOutcome outcome;
        outcome.name = fileName(path);
        outcome.status = ModelStatus::OutOfMemory;
        outcome.lines = ReportLines::NameStatus;
        if (notes.readFinished)
            outcome.readSeconds = notes.readSeconds;
        return outcome;
    }
}

}  // namespace

std::string takeCapture(int fd)
{
    std::string text;
    const off_t size = lseek(fd, 0, SEEK_CUR);
    if (size > 0) {
        text.resize(static_cast<std::size_t>(size));
        const ssize_t count = pread(fd, text.data(), text.size(), 0);
        text.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
        // A capture that cannot be emptied only repeats itself with the next model.
        if (ftruncate(fd, 0) != 0 || lseek(fd, 0, SEEK_SET) != 0)
            return text;
    }
    return text;
}

void runSolverChild(const ChildSetup& setup, pid_t parent)
{
    // The solver process never outlives the run's, however that one ends.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(0);
    for (const int fd : setup.othersFds)
        close(fd);
    // Ctrl-C is for the solve at hand (the solver catches it while it solves), never for the
    // process itself.
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    if (setup.outCapture >= 0)
        dup2(setup.outCapture, STDOUT_FILENO);
    if (setup.errCapture >= 0)
        dup2(setup.errCapture, STDERR_FILENO);
    limitMemory(setup.settings, setup.notes);

    PeakMemory peak;
    std::string path;
    while (receiveMessage(setup.socket, path)) {
        setup.notes->solve = SolveNotes{};
        setup.notes->nearMemoryLimit = 0;
        peak.reset();
        SolvedModel solved{solve(path, setup.settings, setup.notes->solve), {}, {}};
        solved.outcome.peakMemoryMb = peak.megabytes();
        // What the solver wrote is out before the run reports the model.
        std::cout.flush();
        std::fflush(stdout);
        std::fflush(stderr);
        if (setup.outCapture >= 0) {
            solved.out = takeCapture(STDOUT_FILENO);
            solved.err = takeCapture(STDERR_FILENO);
        }
        if (!sendMessage(setup.socket, encodeSolved(solved)))
            break;
    }
    _exit(0);
}
