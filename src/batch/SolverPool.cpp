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

#include "batch/SolverChild.h"
#include "batch/Wire.h"
#include "fs/Paths.h"
#include "fs/Process.h"
#include "fs/Streams.h"

namespace {

// A solver that outlives its own limit this much is stopped from outside.
constexpr double kHardLimitFactor = 1.1;
constexpr std::chrono::seconds kHardLimitMargin{10};
constexpr std::chrono::seconds kGraceAfterTerm{5};
constexpr std::chrono::duration<double> kLongestHardLimit{100.0 * 365 * 24 * 3600};
// Models handed to a lone process ahead of the one it solves.
constexpr std::size_t kModelsAhead = 16;

double secondsBetween(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

}  // namespace

struct SolverPool::Queued {
    std::size_t number;
    std::string name;
    std::string path;
    // A model that died with its process after models whose outcomes died with it too: it is
    // reported once they are solved again, so that models end in the order they were handed.
    std::optional<EndedModel> ended = std::nullopt;
};

struct SolverPool::Slot {
    pid_t pid = -1;  // -1: no process
    int socket = -1;
    int outCapture = -1;
    int errCapture = -1;
    SharedNotes* notes = nullptr;
    MessageBuffer buffer;
    long long answered = 0;  // outcomes received from this process

    std::deque<Queued> queue;  // handed and not ended; the front is being solved
    Clock::time_point handedAt;  // of the front
    std::optional<Clock::time_point> hardDeadline;
    bool stopping = false;
    std::optional<Clock::time_point> killAt;
    // Once stopped at the hard limit: the outcome of the model it was solving, which is the
    // one it had begun last; models it finished before may still be on their way.
    std::optional<ModelOutcome> stopped;
    long long stoppedBegun = 0;
    std::optional<EndedModel> failedStart;
};

SolverPool::SolverPool(const RunSettings& settings)
    : m_settings(settings), m_window(settings.jobs > 1 || settings.log ? 1 : kModelsAhead),
      m_capture(settings.jobs > 1 || !settings.log)
{
    for (int i = 0; i < std::max(settings.jobs, 1); ++i)
        m_slots.push_back(std::make_unique<Slot>());
}

SolverPool::~SolverPool()
{
    for (auto& slot : m_slots) {
        reap(*slot, !slot->queue.empty());
        for (const int fd : {slot->outCapture, slot->errCapture})
            if (fd >= 0)
                close(fd);
        if (slot->notes)
            munmap(slot->notes, sizeof(SharedNotes));
    }
}

bool SolverPool::canTake() const
{
    return std::any_of(m_slots.begin(), m_slots.end(),
                       [this](const auto& slot) { return !slot->stopping && slot->queue.size() < m_window; });
}

bool SolverPool::busy() const
{
    return std::any_of(m_slots.begin(), m_slots.end(), [](const auto& slot) { return !slot->queue.empty(); });
}

bool SolverPool::start(Slot& slot)
{
    if (m_capture && slot.outCapture < 0) {
        slot.outCapture = memfd_create("lumbrix-stdout", MFD_CLOEXEC);
        slot.errCapture = memfd_create("lumbrix-stderr", MFD_CLOEXEC);
        if (slot.outCapture < 0 || slot.errCapture < 0)
            return false;
    }
    if (!slot.notes) {
        void* shared = mmap(nullptr, sizeof(SharedNotes), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        if (shared == MAP_FAILED)
            return false;
        slot.notes = new (shared) SharedNotes{};
    }
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return false;
    ChildSetup setup;
    setup.socket = ends[1];
    setup.outCapture = slot.outCapture;
    setup.errCapture = slot.errCapture;
    setup.settings = m_settings;
    setup.notes = slot.notes;
    setup.batched = m_window > 1;
    slot.notes->modelsBegun = 0;
    for (const auto& other : m_slots)
        if (other.get() != &slot)
            for (const int fd : {other->socket, other->outCapture, other->errCapture})
                if (fd >= 0)
                    setup.othersFds.push_back(fd);
    setup.othersFds.push_back(ends[0]);

    // What the run wrote must not be written again by the new process.
    flushConsole();
    const pid_t pid = startChild();
    if (pid == 0)
        runSolverChild(setup);
    close(ends[1]);
    if (pid < 0) {
        close(ends[0]);
        return false;
    }
    slot.pid = pid;
    slot.socket = ends[0];
    slot.buffer = MessageBuffer{};
    slot.answered = 0;
    slot.stopping = false;
    slot.killAt.reset();
    return true;
}

// Waits for the process to end (killing it first when `force`) and forgets it.
void SolverPool::reap(Slot& slot, bool force)
{
    if (slot.pid > 0) {
        if (force)
            kill(slot.pid, SIGKILL);
        close(slot.socket);
        static_cast<void>(waitForChild(slot.pid));
    }
    slot.pid = -1;
    slot.socket = -1;
    slot.stopping = false;
    slot.killAt.reset();
}

bool SolverPool::send(Slot& slot, const Queued& model)
{
    return slot.pid > 0 && sendMessage(slot.socket, model.path);
}

void SolverPool::startClock(Slot& slot, Clock::time_point now)
{
    slot.handedAt = now;
    slot.hardDeadline.reset();
    if (!m_settings.timeLimit || *m_settings.timeLimit <= 0)
        return;
    // A limit beyond any run's length has no hard stop; it would overflow the clock.
    const double seconds = kHardLimitFactor * *m_settings.timeLimit;
    if (seconds < kLongestHardLimit.count())
        slot.hardDeadline = now + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds))
            + kHardLimitMargin;
}

// A new process for the models still queued; when none can be had, the front model fails.
void SolverPool::restart(Slot& slot)
{
    if (std::none_of(slot.queue.begin(), slot.queue.end(), [](const Queued& model) { return !model.ended; }))
        return;
    startClock(slot, Clock::now());
    if (start(slot)) {
        bool sent = true;
        for (const Queued& model : slot.queue)
            sent = sent && (model.ended || send(slot, model));
        if (sent)
            return;
        reap(slot, true);
    }
    const int error = errno;
    ModelOutcome outcome;
    outcome.name = slot.queue.front().name;
    outcome.status = ModelStatus::SolverError;
    outcome.lines = ReportLines::NameStatus;
    slot.failedStart
        = endFront(slot, outcome, "", "", std::string("O solver não pôde ser iniciado: ") + std::strerror(error) + "\n");
}

void SolverPool::hand(std::size_t number, const std::string& path)
{
    Slot* chosen = nullptr;
    for (const auto& slot : m_slots)
        if (!slot->stopping && slot->queue.size() < m_window && (!chosen || slot->queue.size() < chosen->queue.size()))
            chosen = slot.get();
    Slot& slot = *chosen;
    if (live())
        flushConsole();
    slot.queue.push_back({number, fileName(path), path});
    if (slot.queue.size() == 1)
        startClock(slot, Clock::now());
    // A slot without a process yet, or whose process died meanwhile, gets a new one, which
    // is handed every model the slot has.
    if (!send(slot, slot.queue.back())) {
        reap(slot, true);
        restart(slot);
    }
}

EndedModel SolverPool::endFront(Slot& slot, ModelOutcome outcome, std::string out, std::string err,
                                std::string message)
{
    const Clock::time_point now = Clock::now();
    EndedModel ended;
    ended.number = slot.queue.front().number;
    ended.outcome = std::move(outcome);
    // A model its solver process spoke for was timed there; one that process could not
    // speak for, from the moment it was its turn.
    if (!ended.outcome.wallSeconds)
        ended.outcome.wallSeconds = secondsBetween(slot.handedAt, now);
    ended.capturedOut = std::move(out);
    ended.capturedErr = std::move(err);
    ended.message = std::move(message);
    slot.queue.pop_front();
    slot.stopped.reset();
    if (!slot.queue.empty())
        startClock(slot, now);
    return ended;
}

ModelOutcome SolverPool::deathOutcome(const Slot& slot, const std::string& name, int status,
                                      std::string& message) const
{
    ModelOutcome outcome;
    outcome.name = name;
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
            + outcome.name + "\n";
    } else {
        message = "O solver terminou com o código " + std::to_string(WEXITSTATUS(status)) + " no modelo "
            + outcome.name + "\n";
    }
    return outcome;
}

void SolverPool::checkTimes(Slot& slot, Clock::time_point now)
{
    if (slot.queue.empty() || slot.pid < 0)
        return;
    if (!slot.stopping && slot.hardDeadline && now >= *slot.hardDeadline) {
        ModelOutcome outcome;
        outcome.status = ModelStatus::HardTimeLimit;
        outcome.solveSeconds = secondsBetween(slot.handedAt, now);
        if (slot.notes && slot.notes->solve.readFinished)
            outcome.readSeconds = slot.notes->solve.readSeconds;
        slot.stopped = outcome;
        slot.stoppedBegun = slot.notes ? slot.notes->modelsBegun : 0;
        kill(slot.pid, SIGTERM);
        slot.stopping = true;
        slot.killAt = now + kGraceAfterTerm;
    } else if (slot.stopping && slot.killAt && now >= *slot.killAt) {
        kill(slot.pid, SIGKILL);
        slot.killAt.reset();
    }
}

void SolverPool::forwardInterrupt()
{
    for (const auto& slot : m_slots)
        if (!slot->queue.empty() && slot->pid > 0 && !slot->stopping)
            passInterruptOn(slot->pid);
}

// What arrived from one process (read now when `fill`): a model that ended there, if one did.
// Messages that came before the process ended are taken first, one per call.
std::optional<EndedModel> SolverPool::readFrom(Slot& slot, bool fill)
{
    const MessageBuffer::Read read = fill ? slot.buffer.fill(slot.socket) : MessageBuffer::Read::Data;
    if (const auto message = slot.buffer.next()) {
        auto solved = decodeSolved(*message);
        if (solved)
            ++slot.answered;
        if (slot.stopping && !(solved && slot.answered < slot.stoppedBegun)) {
            // The stopped model answered after all: it is over, and so is the process.
            reap(slot, true);
            ModelOutcome stopped = *slot.stopped;
            stopped.name = slot.queue.front().name;
            EndedModel ended = endFront(slot, std::move(stopped), "", "", "");
            restart(slot);
            return ended;
        }
        // Outcomes come in the order the models were handed: this one is the front's.
        if (solved)
            return endFront(slot, std::move(solved->outcome), std::move(solved->out), std::move(solved->err), "");
    }
    if (read != MessageBuffer::Read::Closed)
        return std::nullopt;

    close(slot.socket);
    const int status = waitForChild(slot.pid).value_or(0);
    slot.pid = -1;
    slot.socket = -1;
    const bool wasStopping = slot.stopping;
    slot.stopping = false;
    slot.killAt.reset();
    // The model it was on died with it; models it had finished but not reported yet are
    // solved again.
    // The process was sent the models without an outcome yet, in their order.
    long long finishedUnsent = slot.notes ? slot.notes->modelsBegun - 1 - slot.answered : 0;
    std::size_t at = 0;
    for (long long skipped = 0; at + 1 < slot.queue.size(); ++at)
        if (!slot.queue[at].ended && skipped++ == finishedUnsent)
            break;
    while (at > 0 && slot.queue[at].ended)
        --at;
    finishedUnsent = static_cast<long long>(at);
    Queued& died = slot.queue[at];
    std::string out = m_capture ? takeCapture(slot.outCapture) : "";
    std::string err = m_capture ? takeCapture(slot.errCapture) : "";
    std::string message;
    ModelOutcome outcome = wasStopping ? *slot.stopped : deathOutcome(slot, died.name, status, message);
    outcome.name = died.name;
    if (finishedUnsent > 0) {
        EndedModel ended;
        ended.number = died.number;
        ended.outcome = std::move(outcome);
        ended.outcome.wallSeconds = secondsBetween(slot.handedAt, Clock::now());
        ended.capturedOut = std::move(out);
        ended.capturedErr = std::move(err);
        ended.message = std::move(message);
        died.ended = std::move(ended);
        restart(slot);
        return std::nullopt;
    }
    EndedModel ended = endFront(slot, std::move(outcome), std::move(out), std::move(err), std::move(message));
    restart(slot);
    return ended;
}

EndedModel SolverPool::waitForEnd()
{
    for (;;) {
        const Clock::time_point now = Clock::now();
        std::optional<Clock::time_point> wakeUp;
        std::vector<pollfd> watched;
        std::vector<Slot*> watchedSlots;
        for (const auto& slot : m_slots) {
            if (slot->failedStart) {
                EndedModel ended = std::move(*slot->failedStart);
                slot->failedStart.reset();
                restart(*slot);
                return ended;
            }
            if (!slot->queue.empty() && slot->queue.front().ended) {
                EndedModel ended = std::move(*slot->queue.front().ended);
                slot->queue.pop_front();
                if (!slot->queue.empty())
                    startClock(*slot, now);
                return ended;
            }
            if (!slot->queue.empty() && slot->buffer.hasMessage())
                if (auto ended = readFrom(*slot, false))
                    return std::move(*ended);
            checkTimes(*slot, now);
            if (slot->queue.empty() || slot->pid < 0)
                continue;
            watched.push_back({slot->socket, POLLIN, 0});
            watchedSlots.push_back(slot.get());
            for (const auto& when : {slot->stopping ? slot->killAt : slot->hardDeadline})
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
        const int ready = ppoll(watched.data(), watched.size(), wakeUp ? &timeout : nullptr, m_interrupts.waitMask());
        if (m_interrupts.take())
            forwardInterrupt();
        if (ready <= 0)
            continue;
        for (std::size_t i = 0; i < watched.size(); ++i)
            if (watched[i].revents != 0)
                if (auto ended = readFrom(*watchedSlots[i], true))
                    return std::move(*ended);
    }
}
