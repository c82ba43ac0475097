#include "convert/ConvertModFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <glpk.h>

#include "convert/LpReplacement.h"
#include "fs/Files.h"
#include "fs/Paths.h"
#include "fs/Streams.h"
#include "engines/glpk/GlpkGuard.h"

namespace {

// The first four are also the exit codes of the child process that converts a model;
// Stopped is a conversion ended by Ctrl-C, or a child that did not end by itself.
enum class Outcome { Converted = 0, ReadFailed = 1, GenerateFailed = 2, WriteFailed = 3, Stopped = 4 };

// ---------------------------------------------------------------------------------------
// Ctrl-C

// The child converting a model now, or 0; read by the signal handler.
std::atomic<pid_t> g_child{0};
static_assert(std::atomic<pid_t>::is_always_lock_free, "the signal handler reads the child's id");
volatile std::sig_atomic_t g_interrupted = 0;

int g_runs = 0;
bool g_catchingInterrupt = false;
struct sigaction g_previousInterrupt;
bool g_restoreChildSignal = false;
struct sigaction g_previousChildSignal;

// The signals that end the program, which must not leave a temporary LP file behind.
constexpr int kEndingSignals[] = {SIGTERM, SIGHUP};
constexpr std::size_t kEndingCount = std::size(kEndingSignals);
bool g_catchingEnd[kEndingCount] = {};
struct sigaction g_previousEnd[kEndingCount];

// A terminal's Ctrl-C reaches the child by itself; a SIGINT sent to the program alone
// must be passed on. A second one for a child that is already ending does no harm.
extern "C" void onConversionInterrupt(int)
{
    const int savedErrno = errno;
    g_interrupted = 1;
    const pid_t child = g_child.load();
    if (child > 0)
        kill(child, SIGINT);
    errno = savedErrno;
}

// The child and the unfinished LP file go first (the child could write the file again), then
// the signal does what it did before: the handler was put in place only over the default
// action or a handler of the program's own.
extern "C" void onEndingSignal(int signal)
{
    const pid_t child = g_child.load();
    if (child > 0 && kill(child, SIGKILL) == 0)
        static_cast<void>(waitpid(child, nullptr, 0));
    removeUnfinishedLpFile();
    for (std::size_t i = 0; i < kEndingCount; ++i)
        if (kEndingSignals[i] == signal)
            static_cast<void>(sigaction(signal, &g_previousEnd[i], nullptr));
    // Blocked while this handler runs, so delivered as it returns, with the earlier action.
    static_cast<void>(raise(signal));
}

bool isIgnored(const struct sigaction& action)
{
    return (action.sa_flags & SA_SIGINFO) == 0 && action.sa_handler == SIG_IGN;
}

// sigprocmask fails only on arguments that are not these, so its result is not looked at.
void blockInterrupt(sigset_t& previousMask)
{
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    sigprocmask(SIG_BLOCK, &interrupt, &previousMask);
}

void restoreMask(const sigset_t& mask)
{
    sigprocmask(SIG_SETMASK, &mask, nullptr);
}

// A Ctrl-C caught since the last call. Called with SIGINT blocked.
bool takeInterrupt()
{
    const bool interrupted = g_interrupted != 0;
    g_interrupted = 0;
    return interrupted;
}

// ---------------------------------------------------------------------------------------
// The translation, in the child process (or in this one when no child can be made)

// What one conversion works on. Plain pointers and values only: a GLPK fatal error jumps
// over the code that uses it.
struct Conversion {
    const char* modelPath;
    const char* dataPath;     // null when there is no readable data file
    const char* modelFolder;  // null when the model's path names no folder
    int homeFolder;           // the working folder to come back to after generating, or -1
    const char* writePath;    // what GLPK writes
    const char* lpPath;       // the LP file's final name
    Outcome outcome;
};

// GLPK names the file it writes in its console lines; they show the final name, as if
// GLPK had written it directly.
int showFinalName(void* info, const char* text)
{
    const Conversion& conversion = *static_cast<const Conversion*>(info);
    const char* found = std::strstr(text, conversion.writePath);
    if (found == nullptr)
        return 0;
    const std::size_t length = std::strlen(conversion.writePath);
    while (found != nullptr) {
        static_cast<void>(std::fwrite(text, 1, static_cast<std::size_t>(found - text), stdout));
        static_cast<void>(std::fputs(conversion.lpPath, stdout));
        text = found + length;
        found = std::strstr(text, conversion.writePath);
    }
    static_cast<void>(std::fputs(text, stdout));
    static_cast<void>(std::fflush(stdout));
    return 1;
}

// As glpsol does it: a data file replaces the model's own data section; without one, the
// model's own data section is used.
int readModel(glp_tran* translator, const Conversion& conversion)
{
    if (conversion.dataPath == nullptr)
        return glp_mpl_read_model(translator, conversion.modelPath, 0);
    const int result = glp_mpl_read_model(translator, conversion.modelPath, 1);
    if (result != 0)
        return result;
    return glp_mpl_read_data(translator, conversion.dataPath);
}

// Tables and the files of printf statements are opened while the model is generated, by
// names relative to the working folder: the model's own folder then. The model and data
// are read, and the LP file written, by the names as they were given.
int generateInModelFolder(glp_tran* translator, const Conversion& conversion)
{
    const bool moved
        = conversion.modelFolder != nullptr && conversion.homeFolder >= 0 && chdir(conversion.modelFolder) == 0;
    // No output file: the model's display and printf statements go to GLPK's terminal.
    const int result = glp_mpl_generate(translator, nullptr);
    if (moved && fchdir(conversion.homeFolder) != 0)
        return -1;
    return result;
}

Outcome translate(glp_tran* translator, glp_prob* problem, const Conversion& conversion)
{
    if (readModel(translator, conversion) != 0)
        return Outcome::ReadFailed;
    if (generateInModelFolder(translator, conversion) != 0)
        return Outcome::GenerateFailed;
    glp_mpl_build_prob(translator, problem);
    if (glp_write_lp(problem, nullptr, conversion.writePath) != 0)
        return Outcome::WriteFailed;
    return Outcome::Converted;
}

// Runs under the GLPK guard, so nothing here owns anything with a destructor.
void runConversion(void* context)
{
    Conversion& conversion = *static_cast<Conversion*>(context);
    const bool renamed = std::strcmp(conversion.writePath, conversion.lpPath) != 0;
    if (renamed)
        glp_term_hook(showFinalName, &conversion);
    glp_prob* problem = glp_create_prob();
    glp_tran* translator = glp_mpl_alloc_wksp();
    conversion.outcome = translate(translator, problem, conversion);
    glp_mpl_free_wksp(translator);
    glp_delete_prob(problem);
    if (renamed)
        glp_term_hook(nullptr, nullptr);
}

// The working folder as it was; it is back when this goes, even after a GLPK fatal error.
class HomeFolder {
public:
    explicit HomeFolder(bool needed) : m_fd(needed ? open(".", O_PATH | O_DIRECTORY | O_CLOEXEC) : -1) {}
    ~HomeFolder()
    {
        if (m_fd < 0)
            return;
        static_cast<void>(fchdir(m_fd));
        static_cast<void>(close(m_fd));
    }
    HomeFolder(const HomeFolder&) = delete;
    HomeFolder& operator=(const HomeFolder&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

Outcome convertGuarded(Conversion& conversion)
{
    const HomeFolder home(conversion.modelFolder != nullptr);
    conversion.homeFolder = home.fd();
    // A GLPK fatal error has already released everything GLPK held, this model's objects included.
    if (!runGlpkGuarded(runConversion, &conversion))
        return Outcome::ReadFailed;
    return conversion.outcome;
}

// ---------------------------------------------------------------------------------------
// The child process

constexpr int kParentGone = 100;

// The parent flushed its console output before the fork, so the child's stdio buffers
// hold only what GLPK wrote here. Only these two streams are flushed on the way out: any
// other stream's buffer is a copy of the parent's and would be written twice.
[[noreturn]] void runChild(Conversion& conversion, pid_t parent, const sigset_t& mask)
{
    // The child must not outlive the program, whatever ends it.
    static_cast<void>(prctl(PR_SET_PDEATHSIG, SIGKILL));
    if (getppid() != parent)
        _exit(kParentGone);
    if (g_catchingInterrupt)
        std::signal(SIGINT, SIG_DFL);
    for (std::size_t i = 0; i < kEndingCount; ++i)
        if (g_catchingEnd[i])
            static_cast<void>(sigaction(kEndingSignals[i], &g_previousEnd[i], nullptr));
    restoreMask(mask);
    const Outcome outcome = convertGuarded(conversion);
    static_cast<void>(std::fflush(stdout));
    static_cast<void>(std::fflush(stderr));
    _exit(static_cast<int>(outcome));
}

Outcome outcomeOf(int status)
{
    if (!WIFEXITED(status))
        return Outcome::Stopped;
    const int code = WEXITSTATUS(status);
    if (code < static_cast<int>(Outcome::Converted) || code > static_cast<int>(Outcome::WriteFailed))
        return Outcome::Stopped;
    return static_cast<Outcome>(code);
}

// Waits with SIGINT open to the handler, which passes it on to the child.
Outcome waitForChild(pid_t child, const sigset_t& openMask, bool& interrupted)
{
    g_child.store(child);
    restoreMask(openMask);
    int status = 0;
    pid_t reaped;
    do {
        reaped = waitpid(child, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    sigset_t ignored;
    blockInterrupt(ignored);
    g_child.store(0);
    // A Ctrl-C during this conversion was for it, even if it came as the child ended.
    interrupted = takeInterrupt();
    return reaped == child ? outcomeOf(status) : Outcome::Stopped;
}

// Without a process to spare the model is converted here; a Ctrl-C meanwhile is only
// noted, and stops the conversion once GLPK is done.
Outcome convertHere(Conversion& conversion, const sigset_t& openMask, bool& interrupted)
{
    restoreMask(openMask);
    const Outcome outcome = convertGuarded(conversion);
    sigset_t ignored;
    blockInterrupt(ignored);
    interrupted = takeInterrupt();
    return interrupted ? Outcome::Stopped : outcome;
}

// A child process converts the model: GLPK keeps global state, may end the process on a
// fatal error, and stops where it is on Ctrl-C without leaving anything of ours half done.
// `interrupted` tells whether a Ctrl-C came for this model.
Outcome convertIsolated(Conversion& conversion, bool& interrupted)
{
    sigset_t openMask;
    blockInterrupt(openMask);
    Outcome outcome = Outcome::Stopped;
    // A Ctrl-C between two conversions stops the next one before it starts.
    interrupted = takeInterrupt();
    if (!interrupted) {
        const pid_t parent = getpid();
        const pid_t child = fork();
        if (child == 0)
            runChild(conversion, parent, openMask);
        outcome = child > 0 ? waitForChild(child, openMask, interrupted) : convertHere(conversion, openMask, interrupted);
    }
    restoreMask(openMask);
    return outcome;
}

// ---------------------------------------------------------------------------------------

// The folder part of a path as given ("/" for a file at the root), or "" for none.
std::string folderOf(const std::string& path)
{
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return "";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void report(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Converted:
        break;
    case Outcome::ReadFailed:
    case Outcome::Stopped:
        printError("Erro ao tranformar modelo\n");
        break;
    case Outcome::GenerateFailed:
        printError("Erro ao gerar modelo\n");
        break;
    case Outcome::WriteFailed:
        printError("Erro ao escrever arquivo .lp\n");
        break;
    }
}

}  // namespace

ConversionRun::ConversionRun()
{
    if (g_runs++ > 0)
        return;
    g_interrupted = 0;
    struct sigaction current;
    // A program that ignores SIGINT (started in the background, under nohup) goes on ignoring it.
    if (sigaction(SIGINT, nullptr, &current) == 0 && !isIgnored(current)) {
        struct sigaction action = {};
        action.sa_handler = onConversionInterrupt;
        sigemptyset(&action.sa_mask);
        // The program's own writes to the console go on where the signal found them.
        action.sa_flags = SA_RESTART;
        g_catchingInterrupt = sigaction(SIGINT, &action, &g_previousInterrupt) == 0;
    }
    for (std::size_t i = 0; i < kEndingCount; ++i) {
        if (sigaction(kEndingSignals[i], nullptr, &g_previousEnd[i]) != 0 || isIgnored(g_previousEnd[i]))
            continue;
        struct sigaction action = {};
        action.sa_handler = onEndingSignal;
        sigemptyset(&action.sa_mask);
        g_catchingEnd[i] = sigaction(kEndingSignals[i], &action, nullptr) == 0;
    }
    // Children of a program that inherited an ignored SIGCHLD leave no exit status to wait for.
    if (sigaction(SIGCHLD, nullptr, &g_previousChildSignal) == 0 && isIgnored(g_previousChildSignal)) {
        struct sigaction action = {};
        action.sa_handler = SIG_DFL;
        sigemptyset(&action.sa_mask);
        g_restoreChildSignal = sigaction(SIGCHLD, &action, nullptr) == 0;
    }
}

ConversionRun::~ConversionRun()
{
    if (--g_runs > 0)
        return;
    // An interrupt caught after the last conversion has nothing left to stop.
    if (g_catchingInterrupt)
        static_cast<void>(sigaction(SIGINT, &g_previousInterrupt, nullptr));
    if (g_restoreChildSignal)
        static_cast<void>(sigaction(SIGCHLD, &g_previousChildSignal, nullptr));
    for (std::size_t i = 0; i < kEndingCount; ++i)
        if (g_catchingEnd[i])
            static_cast<void>(sigaction(kEndingSignals[i], &g_previousEnd[i], nullptr));
    for (bool& catching : g_catchingEnd)
        catching = false;
    g_catchingInterrupt = false;
    g_restoreChildSignal = false;
    g_interrupted = 0;
}

ModFileResult convertModFile(std::string path)
{
    ModFileResult result;
    if (!hasSuffix(path, "mod"))
        return result;
    result.isModel = true;
    const std::string stem = path.substr(0, path.size() - 3);
    const std::string lpPath = stem + "lp";
    const std::string dataPath = stem + "dat";

    // GLPK would wait for ever on a FIFO or a terminal; such a model cannot be read.
    if (isStreamOrDevice(path)) {
        printError("Erro ao tranformar modelo\n");
        return result;
    }

    const ConversionRun run;
    LpReplacement lpFile(lpPath);
    const std::string modelFolder = folderOf(path);
    Conversion conversion{path.c_str(),
                          isReadableFile(dataPath) ? dataPath.c_str() : nullptr,
                          modelFolder.empty() ? nullptr : modelFolder.c_str(),
                          -1,
                          lpFile.writePath().c_str(),
                          lpPath.c_str(),
                          Outcome::ReadFailed};
    // The child would write the parent's pending output a second time.
    flushConsole();
    Outcome outcome = convertIsolated(conversion, result.interrupted);
    if (outcome == Outcome::Converted && !lpFile.commit())
        outcome = Outcome::WriteFailed;
    report(outcome);
    result.converted = outcome == Outcome::Converted;
    return result;
}
