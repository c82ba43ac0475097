#include "batch/SolverPool.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include <poll.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fs/Paths.h"

namespace {

// Ctrl-C typed at the terminal reaches the solver processes by itself (they are in the
// terminal's process group); one sent to the run's process alone is passed on to them.
volatile sig_atomic_t g_interruptsToPass = 0;

extern "C" void noteInterrupt(int, siginfo_t* info, void*)
{
    if (info == nullptr || info->si_code != SI_KERNEL)
        g_interruptsToPass = 1;
}

// A solver that outlives its own limit this much is stopped from outside.
constexpr double kHardLimitFactor = 1.1;
constexpr std::chrono::seconds kHardLimitMargin{10};
constexpr std::chrono::seconds kGraceAfterTerm{5};

double secondsBetween(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

void flushOutput()
{
    std::cout.flush();
    std::fflush(stdout);
    std::fflush(stderr);
}

// Everything written to a capture since the last model, which is then emptied.
std::string takeCapture(int fd)
{
    std::string text;
    if (fd < 0)
        return text;
    const off_t size = lseek(fd, 0, SEEK_CUR);
    if (size > 0) {
        text.resize(static_cast<std::size_t>(size));
        const ssize_t count = pread(fd, text.data(), text.size(), 0);
        text.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
    }
    if (ftruncate(fd, 0) != 0 || lseek(fd, 0, SEEK_SET) != 0)
        text += "";  // a capture that cannot be emptied only repeats itself next time
    return text;
}

}  // namespace

struct SolverPool::Slot {
    State state = State::Down;
    pid_t pid = -1;
    int socket = -1;
    int outCapture = -1;
    int errCapture = -1;
    SharedNotes* notes = nullptr;
    MessageBuffer buffer;

    std::size_t number = 0;
    std::string name;
    Clock::time_point handedAt;
    std::optional<Clock::time_point> hardDeadline;
    std::optional<Clock::time_point> killAt;
    std::optional<ModelOutcome> stopped;  // the outcome of a model stopped at the hard limit
    std::optional<EndedModel> failedStart;
};

SolverPool::SolverPool(const RunSettings& settings) : m_settings(settings), m_capture(settings.jobs > 1)
{
    for (int i = 0; i < std::max(settings.jobs, 1); ++i)
        m_slots.push_back(std::make_unique<Slot>());
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    sigprocmask(SIG_BLOCK, &interrupt, &m_previousMask);
    struct sigaction action{};
    action.sa_sigaction = noteInterrupt;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    g_interruptsToPass = 0;
    sigaction(SIGINT, &action, &m_previousInterrupt);
}

SolverPool::~SolverPool()
{
    for (auto& slot : m_slots) {
        if (slot->pid > 0) {
            if (slot->state != State::Idle)
                kill(slot->pid, SIGKILL);
            close(slot->socket);
            int status = 0;
            while (waitpid(slot->pid, &status, 0) < 0 && errno == EINTR) {
            }
        }
        for (const int fd : {slot->outCapture, slot->errCapture})
            if (fd >= 0)
                close(fd);
        if (slot->notes)
            munmap(slot->notes, sizeof(SharedNotes));
    }
    // A Ctrl-C that came after the last model is the run's, not the shell's.
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    const timespec now{};
    while (sigtimedwait(&interrupt, nullptr, &now) > 0) {
    }
    sigaction(SIGINT, &m_previousInterrupt, nullptr);
    sigprocmask(SIG_SETMASK, &m_previousMask, nullptr);
}

bool SolverPool::hasIdle() const
{
    return std::any_of(m_slots.begin(), m_slots.end(),
                       [](const auto& slot) { return slot->state == State::Idle || slot->state == State::Down; });
}

bool SolverPool::busy() const
{
    return std::any_of(m_slots.begin(), m_slots.end(),
                       [](const auto& slot) { return slot->state == State::Solving || slot->state == State::Stopping; });
}

void SolverPool::start(Slot& slot)
{
    if (m_capture && slot.outCapture < 0) {
        slot.outCapture = memfd_create("lumbrix-stdout", MFD_CLOEXEC);
        slot.errCapture = memfd_create("lumbrix-stderr", MFD_CLOEXEC);
    }
    if (!slot.notes) {
        void* shared = mmap(nullptr, sizeof(SharedNotes), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        if (shared == MAP_FAILED)
            return;
        slot.notes = new (shared) SharedNotes{};
    }
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return;
    ChildSetup setup;
    setup.socket = ends[1];
    setup.outCapture = slot.outCapture;
    setup.errCapture = slot.errCapture;
    setup.settings = m_settings;
    setup.notes = slot.notes;
    for (const auto& other : m_slots)
        if (other.get() != &slot)
            for (const int fd : {other->socket, other->outCapture, other->errCapture})
                if (fd >= 0)
                    setup.othersFds.push_back(fd);
    setup.othersFds.push_back(ends[0]);

    // What the run wrote must not be written again by the new process.
    flushOutput();
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        // The child takes the run's Ctrl-C handling back to what it was, then sets its own.
        sigaction(SIGINT, &m_previousInterrupt, nullptr);
        sigprocmask(SIG_SETMASK, &m_previousMask, nullptr);
        runSolverChild(setup, parent);
    }
    close(ends[1]);
    if (pid < 0) {
        close(ends[0]);
        return;
    }
    slot.pid = pid;
    slot.socket = ends[0];
    slot.buffer = MessageBuffer{};
    slot.state = State::Idle;
}

void SolverPool::hand(std::size_t number, const std::string& path)
{
    Slot& slot = **std::find_if(m_slots.begin(), m_slots.end(), [](const auto& candidate) {
        return candidate->state == State::Idle || candidate->state == State::Down;
    });
    flushOutput();
    slot.number = number;
    slot.name = fileName(path);
    slot.handedAt = Clock::now();
    slot.hardDeadline.reset();
    slot.killAt.reset();
    slot.stopped.reset();
    slot.failedStart.reset();
    if (m_settings.timeLimit && *m_settings.timeLimit > 0)
        slot.hardDeadline = slot.handedAt
            + std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<double>(kHardLimitFactor * *m_settings.timeLimit))
            + kHardLimitMargin;

    // A process that died while it waited is replaced once; a second failure is the model's.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (slot.state == State::Down)
            start(slot);
        if (slot.state == State::Down)
            break;
        if (sendMessage(slot.socket, path)) {
            slot.state = State::Solving;
            return;
        }
        stop(slot);
    }
    const int error = errno;
    ModelOutcome outcome;
    outcome.name = slot.name;
    outcome.status = ModelStatus::SolverError;
    outcome.lines = ReportLines::NameStatus;
    slot.state = State::Solving;
    slot.failedStart = finish(slot, outcome,
                              std::string("O solver não pôde ser iniciado: ") + std::strerror(error) + "\n");
}

// Reaps a process that has gone or is going, and forgets it.
void SolverPool::stop(Slot& slot)
{
    if (slot.pid > 0) {
        kill(slot.pid, SIGKILL);
        int status = 0;
        while (waitpid(slot.pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (slot.socket >= 0)
        close(slot.socket);
    slot.pid = -1;
    slot.socket = -1;
    slot.state = State::Down;
}

EndedModel SolverPool::finish(Slot& slot, ModelOutcome outcome, std::string message)
{
    EndedModel ended;
    ended.number = slot.number;
    ended.outcome = std::move(outcome);
    ended.outcome.wallSeconds = secondsBetween(slot.handedAt, Clock::now());
    ended.message = std::move(message);
    if (m_capture) {
        ended.capturedOut = takeCapture(slot.outCapture);
        ended.capturedErr = takeCapture(slot.errCapture);
    }
    return ended;
}

ModelOutcome SolverPool::deathOutcome(Slot& slot, int status, std::string& message)
{
    ModelOutcome outcome;
    outcome.name = slot.name;
    if (slot.notes && slot.notes->solve.readFinished)
        outcome.readSeconds = slot.notes->solve.readSeconds;
    if (m_settings.memoryLimitMb && slot.notes && slot.notes->nearMemoryLimit) {
        outcome.status = ModelStatus::OutOfMemory;
        outcome.lines = ReportLines::NameStatus;
        return outcome;
    }
    outcome.status = ModelStatus::Crashed;
    outcome.solveSeconds = secondsBetween(slot.handedAt, Clock::now());
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        message = "O solver terminou com o sinal " + std::to_string(signal) + " (" + strsignal(signal) + ") no modelo "
            + slot.name + "\n";
    } else {
        message = "O solver terminou com o código " + std::to_string(WEXITSTATUS(status)) + " no modelo " + slot.name
            + "\n";
    }
    return outcome;
}

// Time-outs of one process; a model that has ended there, if any.
std::optional<EndedModel> SolverPool::check(Slot& slot, Clock::time_point now)
{
    if (slot.failedStart) {
        EndedModel ended = std::move(*slot.failedStart);
        slot.failedStart.reset();
        slot.state = State::Down;
        return ended;
    }
    if (slot.state == State::Solving && slot.hardDeadline && now >= *slot.hardDeadline) {
        ModelOutcome outcome;
        outcome.name = slot.name;
        outcome.status = ModelStatus::HardTimeLimit;
        outcome.solveSeconds = secondsBetween(slot.handedAt, now);
        if (slot.notes && slot.notes->solve.readFinished)
            outcome.readSeconds = slot.notes->solve.readSeconds;
        slot.stopped = outcome;
        kill(slot.pid, SIGTERM);
        slot.killAt = now + kGraceAfterTerm;
        slot.state = State::Stopping;
    } else if (slot.state == State::Stopping && slot.killAt && now >= *slot.killAt) {
        kill(slot.pid, SIGKILL);
        slot.killAt.reset();
    }
    return std::nullopt;
}

void SolverPool::forwardInterrupt()
{
    g_interruptsToPass = 0;
    for (const auto& slot : m_slots)
        if (slot->state == State::Solving)
            kill(slot->pid, SIGINT);
}

EndedModel SolverPool::waitForEnd()
{
    for (;;) {
        const Clock::time_point now = Clock::now();
        std::optional<Clock::time_point> wakeUp;
        std::vector<pollfd> watched;
        std::vector<Slot*> watchedSlots;
        for (const auto& slot : m_slots) {
            if (auto ended = check(*slot, now))
                return std::move(*ended);
            if (slot->state != State::Solving && slot->state != State::Stopping)
                continue;
            watched.push_back({slot->socket, POLLIN, 0});
            watchedSlots.push_back(slot.get());
            for (const auto& when : {slot->state == State::Solving ? slot->hardDeadline : slot->killAt})
                if (when && (!wakeUp || *when < *wakeUp))
                    wakeUp = *when;
        }
        timespec timeout{};
        if (wakeUp) {
            const auto left = std::max(Clock::duration::zero(), *wakeUp - now);
            const auto whole = std::chrono::duration_cast<std::chrono::seconds>(left);
            timeout.tv_sec = whole.count();
            timeout.tv_nsec = std::chrono::duration_cast<std::chrono::nanoseconds>(left - whole).count();
        }
        const int ready = ppoll(watched.data(), watched.size(), wakeUp ? &timeout : nullptr, &m_previousMask);
        if (g_interruptsToPass)
            forwardInterrupt();
        if (ready <= 0)
            continue;
        for (std::size_t i = 0; i < watched.size(); ++i) {
            if (watched[i].revents == 0)
                continue;
            Slot& slot = *watchedSlots[i];
            const MessageBuffer::Read read = slot.buffer.fill(slot.socket);
            while (const auto message = slot.buffer.next()) {
                // A process that answered after all is done with: it goes now, not at the kill.
                if (slot.state == State::Stopping) {
                    stop(slot);
                    return finish(slot, *slot.stopped, "");
                }
                if (const auto outcome = decodeOutcome(*message)) {
                    slot.state = State::Idle;
                    if (read == MessageBuffer::Read::Closed)
                        stop(slot);
                    return finish(slot, *outcome, "");
                }
            }
            if (read != MessageBuffer::Read::Closed)
                continue;
            int status = 0;
            while (waitpid(slot.pid, &status, 0) < 0 && errno == EINTR) {
            }
            close(slot.socket);
            slot.pid = -1;
            slot.socket = -1;
            const State was = slot.state;
            slot.state = State::Down;
            if (was == State::Stopping)
                return finish(slot, *slot.stopped, "");
            std::string message;
            ModelOutcome outcome = deathOutcome(slot, status, message);
            return finish(slot, std::move(outcome), message);
        }
    }
}
