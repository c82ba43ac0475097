#include "convert/ConvertModFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <glpk.h>

#include "convert/LpReplacement.h"
#include "fs/Files.h"
#include "fs/Paths.h"
#include "fs/Process.h"
#include "fs/Streams.h"
#include "engines/glpk/GlpkGuard.h"

namespace {

// The first four are also the exit codes of the child process that converts a model;
// Stopped is a conversion ended by Ctrl-C, or a child that did not end by itself.
enum class Outcome { Converted = 0, ReadFailed = 1, GenerateFailed = 2, WriteFailed = 3, Stopped = 4 };

// ---------------------------------------------------------------------------------------
// Ctrl-C

// The child converting a model now, or 0; read by the handler of the ending signals.
std::atomic<pid_t> g_child{0};
static_assert(std::atomic<pid_t>::is_always_lock_free, "the signal handler reads the child's id");

int g_runs = 0;

// The signals that end the program, which must not leave a temporary LP file behind.
constexpr int kEndingSignals[] = {SIGTERM, SIGHUP};
constexpr std::size_t kEndingCount = std::size(kEndingSignals);
bool g_catchingEnd[kEndingCount] = {};
struct sigaction g_previousEnd[kEndingCount];

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

// The parent flushed its console output before the fork, so the child's stdio buffers
// hold only what GLPK wrote here. Only these two streams are flushed on the way out: any
// other stream's buffer is a copy of the parent's and would be written twice.
[[noreturn]] void runChild(Conversion& conversion)
{
    for (std::size_t i = 0; i < kEndingCount; ++i)
        if (g_catchingEnd[i])
            static_cast<void>(sigaction(kEndingSignals[i], &g_previousEnd[i], nullptr));
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

// A child process converts the model: GLPK keeps global state, may end the process on a
// fatal error, and stops where it is on Ctrl-C without leaving anything of ours half done.
// Without a process to spare the model is converted here, and a Ctrl-C meanwhile stops it
// once GLPK is done. `interrupted` tells whether a Ctrl-C came for this model.
Outcome convertIsolated(Conversion& conversion, InterruptCatcher& interrupts, bool& interrupted)
{
    // A Ctrl-C between two conversions stops the next one before it starts.
    interrupted = interrupts.take();
    if (interrupted)
        return Outcome::Stopped;
    const pid_t child = startChild();
    if (child == 0)
        runChild(conversion);
    if (child < 0) {
        const Outcome outcome = convertGuarded(conversion);
        interrupted = interrupts.take();
        return interrupted ? Outcome::Stopped : outcome;
    }
    g_child.store(child);
    const std::optional<int> status = waitForChild(child, &interrupted);
    g_child.store(0);
    return status ? outcomeOf(*status) : Outcome::Stopped;
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
    for (std::size_t i = 0; i < kEndingCount; ++i) {
        if (sigaction(kEndingSignals[i], nullptr, &g_previousEnd[i]) != 0 || isIgnored(g_previousEnd[i]))
            continue;
        struct sigaction action = {};
        action.sa_handler = onEndingSignal;
        sigemptyset(&action.sa_mask);
        g_catchingEnd[i] = sigaction(kEndingSignals[i], &action, nullptr) == 0;
    }
}

ConversionRun::~ConversionRun()
{
    if (--g_runs > 0)
        return;
    for (std::size_t i = 0; i < kEndingCount; ++i)
        if (g_catchingEnd[i])
            static_cast<void>(sigaction(kEndingSignals[i], &g_previousEnd[i], nullptr));
    for (bool& catching : g_catchingEnd)
        catching = false;
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

    ConversionRun run;
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
    Outcome outcome = convertIsolated(conversion, run.interrupts(), result.interrupted);
    if (outcome == Outcome::Converted && !lpFile.commit())
        outcome = Outcome::WriteFailed;
    report(outcome);
    result.converted = outcome == Outcome::Converted;
    return result;
}
