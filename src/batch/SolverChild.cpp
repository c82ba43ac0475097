#include "batch/SolverChild.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "batch/SolutionCheckRun.h"
#include "batch/Wire.h"
#include "fs/ModelMemory.h"
#include "fs/Paths.h"
#include "fs/Process.h"

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

// The address space the process holds before any model: the program and its solvers'
// libraries, which no model's limit should pay for.
double startingAddressSpace()
{
    unsigned long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%lu", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    return static_cast<double>(pages) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// The address space is limited to the memory limit beyond what the process holds already; a
// process that dies near it ran out of memory rather than crashed.
void limitMemory(const RunSettings& settings, SharedNotes* notes)
{
    if (!settings.memoryLimitMb)
        return;
    const double bytes = startingAddressSpace() + *settings.memoryLimitMb * 1024.0 * 1024.0;
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

constexpr std::chrono::milliseconds kQuickModel{1};
constexpr int kHeldOutcomes = 8;

// Outcomes of quick models wait for a few more, so that the run is woken once for several.
// While a model after them runs for longer than a quick one, a thread of their own sends them,
// so that the run reports them without waiting for that model.
class HeldOutcomes {
public:
    HeldOutcomes(int socket, bool batched) : m_socket(socket), m_batched(batched) {}
    ~HeldOutcomes()
    {
        if (!m_sender.joinable())
            return;
        {
            const std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_one();
        m_sender.join();
    }
    HeldOutcomes(const HeldOutcomes&) = delete;
    HeldOutcomes& operator=(const HeldOutcomes&) = delete;

    // A model starts: what is held goes out if it runs long.
    void modelStarts()
    {
        const std::lock_guard lock(m_mutex);
        m_modelStart = std::chrono::steady_clock::now();
    }
    // A model ended: its outcome is held, or sent with the others when it took long, or when
    // enough are held. False when the run is gone.
    bool modelEnded(std::string framed, bool quick)
    {
        const std::lock_guard lock(m_mutex);
        m_outcomes += framed;
        ++m_count;
        if (quick)
            startSender();
        if (m_sender.joinable() && quick && m_count < kHeldOutcomes) {
            // The sender sleeps while nothing is held.
            if (m_count == 1)
                m_wake.notify_one();
            return true;
        }
        return sendLocked();
    }
    // Nothing more to do for now: everything goes out.
    bool flush()
    {
        const std::lock_guard lock(m_mutex);
        return sendLocked();
    }

private:
    // Only once models turn out quick: a second thread slows every allocation of the solver
    // down a little (the C library then locks), which only many quick models make worth it.
    // Without a thread to spare, every outcome goes out as it comes.
    void startSender()
    {
        if (!m_batched || m_sender.joinable())
            return;
        m_batched = false;
        try {
            m_sender = std::thread([this] { sendLate(); });
        } catch (const std::system_error&) {
        }
    }

    bool sendLocked()
    {
        if (m_count == 0)
            return m_sent;
        m_sent = sendFramed(m_socket, m_outcomes) && m_sent;
        m_outcomes.clear();
        m_count = 0;
        return m_sent;
    }
    // Looks in as often as a quick model takes while something is held, never otherwise.
    void sendLate()
    {
        std::unique_lock lock(m_mutex);
        while (!m_quit) {
            if (m_count == 0)
                m_wake.wait(lock);
            else if (m_wake.wait_for(lock, kQuickModel) == std::cv_status::timeout && m_count > 0
                     && std::chrono::steady_clock::now() - m_modelStart >= kQuickModel)
                sendLocked();
        }
    }

    int m_socket;
    bool m_batched;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::string m_outcomes;  // framed
    int m_count = 0;
    bool m_sent = true;
    bool m_quit = false;
    std::chrono::steady_clock::time_point m_modelStart;
    std::thread m_sender;
};

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
        return settings.solver->solve(path, settings, notes);
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
    // What lies beyond the write position is an earlier model's and is never read: the
    // position alone marks the end, so the file need not be cut.
    std::string text;
    const off_t size = lseek(fd, 0, SEEK_CUR);
    if (size > 0) {
        text.resize(static_cast<std::size_t>(size));
        const ssize_t count = pread(fd, text.data(), text.size(), 0);
        text.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
        // A capture that cannot be rewound only repeats itself with the next model.
        static_cast<void>(lseek(fd, 0, SEEK_SET));
    }
    return text;
}

void runSolverChild(const ChildSetup& setup)
{
    for (const int fd : setup.othersFds)
        close(fd);
    // Ctrl-C is for the solve at hand (the solver catches it while it solves), never for the
    // process itself.
    ignoreInterruptsBetweenTasks();
    std::signal(SIGPIPE, SIG_IGN);
    if (setup.outCapture >= 0)
        dup2(setup.outCapture, STDOUT_FILENO);
    if (setup.errCapture >= 0)
        dup2(setup.errCapture, STDERR_FILENO);
    limitMemory(setup.settings, setup.notes);

    ModelMemory memory;
    PeakMemory peak;
    MessageBuffer requests;
    HeldOutcomes outcomes(setup.socket, setup.batched);
    for (;;) {
        // Outcomes go out before the process waits for more models.
        if (!requests.hasMessage() && !outcomes.flush())
            break;
        while (!requests.hasMessage())
            if (requests.fill(setup.socket, true) == MessageBuffer::Read::Closed && !requests.hasMessage())
                _exit(0);
        const std::string path = *requests.next();
        setup.notes->solve = SolveNotes{};
        setup.notes->nearMemoryLimit = 0;
        setup.notes->modelsBegun = setup.notes->modelsBegun + 1;
        memory.betweenModels();
        peak.reset();
        outcomes.modelStarts();
        const auto begun = std::chrono::steady_clock::now();
        SolvedModel solved{solve(path, setup.settings, setup.notes->solve), {}, {}};
        ignoreInterruptsBetweenTasks();
        const auto ended = std::chrono::steady_clock::now();
        // Around the same call as the solver's own time, so never below it.
        solved.outcome.wallSeconds = std::chrono::duration<double>(ended - begun).count();
        solved.outcome.peakMemoryMb = peak.megabytes();
        checkSolvedModel(path, setup.settings, solved.outcome);
        // What the solver wrote is out before the run reports the model.
        std::cout.flush();
        std::fflush(stdout);
        std::fflush(stderr);
        if (setup.outCapture >= 0) {
            solved.out = takeCapture(STDOUT_FILENO);
            solved.err = takeCapture(STDERR_FILENO);
        }
        const bool quick = ended - begun < kQuickModel;
        if (!outcomes.modelEnded(frame(encodeSolved(solved)), quick))
            break;
    }
    _exit(0);
}
