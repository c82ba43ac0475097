#include "backends/scipcompat/GlpkOutput.h"

#include <cstdio>
#include <cstring>

#include <glpk.h>

namespace {

bool startsWith(const char* text, const char* prefix)
{
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

void keepLines(GlpkOutput& output, const char* text)
{
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '\n') {
            std::memcpy(output.previousLine, output.lastLine, GlpkOutput::kLineCapacity);
            std::memcpy(output.lastLine, output.pending, output.pendingLength);
            output.lastLine[output.pendingLength] = '\0';
            output.pendingLength = 0;
        } else if (output.pendingLength + 1 < GlpkOutput::kLineCapacity) {
            output.pending[output.pendingLength++] = *c;
        }
    }
}

// GLPK prints its banner, the problem size and the slice's time-limit notice as whole chunks.
bool omittedFromLog(GlpkOutput& output, const char* text)
{
    if (!output.resumingSimplex)
        return false;
    if (startsWith(text, "GLPK Simplex Optimizer")) {
        output.droppingSizeLine = true;
        return true;
    }
    if (output.droppingSizeLine && std::strstr(text, " non-zero") != nullptr) {
        output.droppingSizeLine = false;
        return true;
    }
    return false;
}

int onGlpkOutput(void* info, const char* text)
{
    GlpkOutput& output = *static_cast<GlpkOutput*>(info);
    keepLines(output, text);
    if (startsWith(text, "TIME LIMIT EXCEEDED"))
        return 1;  // the engine's own limits end a slice; its summary says why solving stopped
    if (output.echo && !omittedFromLog(output, text))
        std::fputs(text, stdout);
    return 1;  // GLPK itself prints nothing
}

}  // namespace

void startGlpkOutput(GlpkOutput& output, bool echo)
{
    output.echo = echo;
    output.resumingSimplex = false;
    output.droppingSizeLine = false;
    output.pendingLength = 0;
    output.lastLine[0] = '\0';
    output.previousLine[0] = '\0';
    glp_term_hook(onGlpkOutput, &output);
}

void stopGlpkOutput(GlpkOutput& output)
{
    glp_term_hook(nullptr, nullptr);
    if (output.echo)
        std::fflush(stdout);
}
