#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include <glpk.h>
#include <scip/scip.h>

#include "engines/scipcompat/Instance.h"
#include "engines/scipcompat/LpBuild.h"
#include "engines/model/ModelFile.h"
#include "engines/scipcompat/Messages.h"
#include "engines/scipcompat/TestHooks.h"
#include "engines/glpk/GlpkGuard.h"

namespace {

// Plain data: it lives across the GLPK calls of a guarded sequence.
struct LoadJob {
    const LinearLayout* layout = nullptr;
    GlpkOutput* output = nullptr;
    glp_prob* problem = nullptr;
};

// A new problem object, so that a failed read leaves the instance's problem as it was.
bool loadGuarded(LoadJob& job)
{
    auto body = [&job] {
        startGlpkOutput(*job.output, false);
        job.problem = glp_create_prob();
        if (takeInjectedGlpkFailure(GlpkFailurePoint::Read))
            glp_add_rows(job.problem, -1);  // GLPK treats this as a fatal error
        loadGlpkProblem(*job.layout, job.problem);
        stopGlpkOutput(*job.output);
    };
    return runGlpkGuarded(body);
}

// The line SCIP's log shows after a successful read: the model as the file states it,
// before the engine's own binary variables and rows.
void printProblemSize(const LpModel& model)
{
    int binaries = 0;
    int integers = 0;
    for (const LpColumn& column : model.columns) {
        binaries += column.type == VarType::Binary;
        integers += column.type == VarType::Integer;
    }
    const int columns = static_cast<int>(model.columns.size());
    const int slacks = model.implicitSlacks + model.continuousSlacks;
    std::printf("original problem has %d variables (%d bin, %d int, %d impl, %d cont) and %d constraints\n",
                columns + slacks, binaries, integers, model.implicitSlacks,
                columns - binaries - integers + model.continuousSlacks,
                static_cast<int>(model.rows.size()) + model.extraConstraints);
    std::fflush(stdout);
}

}  // namespace

extern "C" SCIP_RETCODE SCIPreadProb(SCIP* scip, const char* filename, const char* extension)
{
    if (scip == nullptr || filename == nullptr) {
        COMPAT_ERROR_MESSAGE("SCIPreadProb needs a SCIP instance and a file name\n");
        return SCIP_INVALIDDATA;
    }
    // As SCIP built with zlib: the reader by the extension given, or else by the name with a
    // compression suffix taken off; plus bzip2, which SCIP reads nowhere.
    std::optional<ModelKind> kind;
    if (extension != nullptr) {
        if (const std::optional<ModelFormat> format = modelFormatOfExtension(extension))
            kind = ModelKind{*format, Compression::None};
    } else {
        kind = modelKindOfName(filename);
    }
    if (!scip->lpReaderIncluded || !kind) {
        COMPAT_ERROR_MESSAGE("no reader for input file <%s> available\n", filename);
        return SCIP_PLUGINNOTFOUND;
    }
    // Kept for the check of the solution, which then need not read the file again.
    std::shared_ptr<const LpModel> kept;
    LinearLayout layout;
    LpReadError error;
    try {
        const int failure = readModelFileKept(filename, *kind, kept, error);
        if (failure > 0) {
            COMPAT_ERROR_MESSAGE("cannot open file <%s> for reading\n", filename);
            SCIPmessagePrintError("%s: %s\n", filename, std::strerror(failure));
            return SCIP_NOFILE;
        }
        if (failure < 0 || !planLinearLayout(*kept, layout, error, glpkRelaxationBounds)) {
            if (layout.relaxationFailed)
                loseGlpkObjects(*scip);
            if (error.line > 0)
                COMPAT_ERROR_MESSAGE("error reading file <%s>: %s:%d: %s\n", filename, filename, error.line,
                                     error.message.c_str());
            else
                COMPAT_ERROR_MESSAGE("error reading file <%s>: %s: %s\n", filename, filename, error.message.c_str());
            return SCIP_READERROR;
        }
    } catch (const std::bad_alloc&) {
        COMPAT_ERROR_MESSAGE("not enough memory to read file <%s>\n", filename);
        return SCIP_NOMEMORY;
    }
    LoadJob job;
    job.layout = &layout;
    job.output = &scip->glpkOutput;
    if (loadGuarded(job)) {
        adoptProblem(*scip, job.problem, layout.contradiction);
        try {
            rememberVariables(scip->variables, *kept);
        } catch (const std::bad_alloc&) {
            deleteProblem(*scip);
            COMPAT_ERROR_MESSAGE("not enough memory to read file <%s>\n", filename);
            return SCIP_NOMEMORY;
        }
        if (scip->logEnabled)
            printProblemSize(*kept);
        return SCIP_OKAY;
    }
    loseGlpkObjects(*scip);
    const GlpkOutput& output = scip->glpkOutput;
    if (glpkOutOfMemory(output)) {
        COMPAT_ERROR_MESSAGE("not enough memory to read file <%s>\n", filename);
        return SCIP_NOMEMORY;
    }
    COMPAT_ERROR_MESSAGE("GLPK failed while reading file <%s>: %s%s%s\n", filename, output.previousLine,
                         output.previousLine[0] != '\0' ? " " : "", output.lastLine);
    return SCIP_READERROR;
}
