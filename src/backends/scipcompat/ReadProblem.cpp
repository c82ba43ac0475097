#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <glpk.h>
#include <scip/scip.h>

#include "backends/scipcompat/Bounds.h"
#include "backends/scipcompat/DeclaredBinaries.h"
#include "backends/scipcompat/Instance.h"
#include "backends/scipcompat/Messages.h"
#include "backends/scipcompat/LpScanner.h"
#include "backends/scipcompat/ObjectiveRewrite.h"
#include "backends/scipcompat/TestHooks.h"
#include "glpk/GlpkGuard.h"

namespace {

// As SCIP splits a file name: the text after the last dot of the last path component, or
// none without a dot.
const char* fileExtension(const char* filename)
{
    const char* slash = std::strrchr(filename, '/');
    const char* backslash = std::strrchr(filename, '\\');
    const char* lastSeparator = std::max(slash, backslash);
    const char* name = lastSeparator != nullptr ? lastSeparator + 1 : filename;
    const char* dot = std::strrchr(name, '.');
    return dot != nullptr ? dot + 1 : nullptr;
}

// 0 when the file can be opened for reading, the reason (an errno value) otherwise. GLPK
// would open a folder and then fail on reading it; SCIP counts that as a missing file.
int openFailure(const char* filename)
{
    const int fd = open(filename, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int failure = 0;
    struct stat info;
    if (fstat(fd, &info) != 0)
        failure = errno;
    else if (S_ISDIR(info.st_mode))
        failure = EISDIR;
    if (close(fd) != 0 && failure == 0)
        failure = errno;
    return failure;
}

// Plain data: it lives across the GLPK calls of a guarded sequence.
struct ReadJob {
    const char* path = nullptr;
    double objectiveConstant = 0.0;
    bool placeholderColumn = false;
    bool nothingToRead = false;  // only blanks and comments: SCIP reads an empty problem
    GlpkOutput* output = nullptr;

    glp_prob* problem = nullptr;  // the problem read, or null
    bool boundsAdmitValues = true;
};

void removePlaceholderColumn(glp_prob* problem)
{
    if (glp_get_num_cols(problem) < 1)
        return;
    const char* name = glp_get_col_name(problem, 1);
    if (name == nullptr || std::strcmp(name, kPlaceholderColumn) != 0)
        return;
    int columns[2] = {0, 1};
    glp_del_cols(problem, 1, columns);
}

// A new problem object, so that a failed read leaves the instance's problem as it was.
void readWithGlpk(ReadJob& job)
{
    startGlpkOutput(*job.output, false);
    job.problem = glp_create_prob();
    if (takeInjectedGlpkFailure(GlpkFailurePoint::Read))
        glp_add_rows(job.problem, -1);  // GLPK treats this as a fatal error
    if (job.nothingToRead) {
        stopGlpkOutput(*job.output);
        return;
    }
    if (glp_read_lp(job.problem, nullptr, job.path) == 0) {
        if (job.placeholderColumn)
            removePlaceholderColumn(job.problem);
        glp_set_obj_coef(job.problem, 0, job.objectiveConstant);
        job.boundsAdmitValues = normalizeBounds(job.problem);
    } else {
        glp_delete_prob(job.problem);
        job.problem = nullptr;
    }
    stopGlpkOutput(*job.output);
}

bool readFileText(const char* filename, std::string& text)
{
    std::FILE* file = std::fopen(filename, "rb");
    if (file == nullptr)
        return false;
    char buffer[65536];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, count);
    const bool complete = std::ferror(file) == 0;
    return std::fclose(file) == 0 && complete;
}

// An anonymous in-memory file holding `text`, or -1.
int memoryFile(const std::string& text)
{
    const int fd = memfd_create("lumbrix-lp", MFD_CLOEXEC);
    if (fd < 0)
        return -1;
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = write(fd, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            (void)close(fd);  // the copy is lost already; a failed close changes nothing
            return -1;
        }
        written += static_cast<std::size_t>(count);
    }
    return fd;
}

enum class ReadResult { Read, Refused, GlpkFailed };

ReadResult runRead(ReadJob& job)
{
    auto body = [&job] { readWithGlpk(job); };
    if (!runGlpkGuarded(body))
        return ReadResult::GlpkFailed;
    return job.problem != nullptr ? ReadResult::Read : ReadResult::Refused;
}

// GLPK refused the file: if only the objective's form was in the way, read a rewritten copy.
// `diagnostic` keeps GLPK's message about the copy, in terms of the original file.
ReadResult retryWithRewrittenObjective(ReadJob& job, const char* filename, std::string& diagnostic)
{
    std::string text;
    if (!readFileText(filename, text))
        return ReadResult::Refused;
    if (LpScanner(text).next() == LpToken::End) {
        job.nothingToRead = true;
        return runRead(job);
    }
    const ObjectiveRewrite rewrite = rewriteObjective(text);
    if (!rewrite.changed)
        return ReadResult::Refused;
    const int fd = memoryFile(text);
    if (fd < 0)
        return ReadResult::Refused;
    char copyPath[64];
    std::snprintf(copyPath, sizeof copyPath, "/proc/self/fd/%d", fd);
    job.path = copyPath;
    job.objectiveConstant = rewrite.constant;
    job.placeholderColumn = rewrite.placeholderAdded;
    const ReadResult result = runRead(job);
    if (close(fd) != 0)
        COMPAT_ERROR_MESSAGE("cannot close the rewritten copy of <%s>: %s\n", filename, std::strerror(errno));
    if (result == ReadResult::Refused) {
        const std::string line = job.output->lastLine;
        const std::size_t prefix = std::strlen(copyPath);
        diagnostic = line.compare(0, prefix, copyPath) == 0 ? filename + line.substr(prefix) : line;
    }
    return result;
}

// The line SCIP's log shows after a successful read. Only a model with integer variables
// needs its text again, to tell binaries from integers.
void printProblemSize(glp_prob* problem, const char* filename)
{
    const int integerColumns = glp_get_num_int(problem);
    int binaries = 0;
    if (integerColumns > 0) {
        std::string text;
        binaries = readFileText(filename, text) ? countDeclaredBinaries(text, problem) : glp_get_num_bin(problem);
    }
    const int columns = glp_get_num_cols(problem);
    std::printf("original problem has %d variables (%d bin, %d int, 0 impl, %d cont) and %d constraints\n", columns,
                binaries, integerColumns - binaries, columns - integerColumns, glp_get_num_rows(problem));
    std::fflush(stdout);
}

}  // namespace

extern "C" SCIP_RETCODE SCIPreadProb(SCIP* scip, const char* filename, const char* extension)
{
    if (scip == nullptr || filename == nullptr) {
        COMPAT_ERROR_MESSAGE("SCIPreadProb needs a SCIP instance and a file name\n");
        return SCIP_INVALIDDATA;
    }
    const char* readerExtension = extension != nullptr ? extension : fileExtension(filename);
    if (!scip->lpReaderIncluded || readerExtension == nullptr || strcasecmp(readerExtension, "lp") != 0) {
        COMPAT_ERROR_MESSAGE("no reader for input file <%s> available\n", filename);
        return SCIP_PLUGINNOTFOUND;
    }
    ReadJob job;
    job.path = filename;
    job.output = &scip->glpkOutput;
    ReadResult result = runRead(job);
    std::string diagnostic;
    // Only a refused file is looked at more closely, so that good files are opened once.
    if (result == ReadResult::Refused) {
        if (const int failure = openFailure(filename); failure != 0) {
            COMPAT_ERROR_MESSAGE("cannot open file <%s> for reading\n", filename);
            SCIPmessagePrintError("%s: %s\n", filename, std::strerror(failure));
            return SCIP_NOFILE;
        }
        diagnostic = job.output->lastLine;
        std::string retryDiagnostic;
        result = retryWithRewrittenObjective(job, filename, retryDiagnostic);
        if (!retryDiagnostic.empty())
            diagnostic = retryDiagnostic;
    }
    switch (result) {
    case ReadResult::Read:
        adoptProblem(*scip, job.problem, !job.boundsAdmitValues);
        if (scip->logEnabled)
            printProblemSize(job.problem, filename);
        return SCIP_OKAY;
    case ReadResult::Refused:
        COMPAT_ERROR_MESSAGE("error reading file <%s>: %s\n", filename, diagnostic.c_str());
        return SCIP_READERROR;
    case ReadResult::GlpkFailed:
        break;
    }
    loseGlpkObjects(*scip);
    const GlpkOutput& output = scip->glpkOutput;
    COMPAT_ERROR_MESSAGE("GLPK failed while reading file <%s>: %s%s%s\n", filename, output.previousLine,
                         output.previousLine[0] != '\0' ? " " : "", output.lastLine);
    return SCIP_READERROR;
}
