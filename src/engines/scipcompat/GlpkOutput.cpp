#include "engines/scipcompat/GlpkOutput.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

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
            std::memcpy(output.previousLine, output.lastLine, std::strlen(output.lastLine) + 1);
            std::memcpy(output.lastLine, output.pending, output.pendingLength);
            output.lastLine[output.pendingLength] = '\0';
            output.pendingLength = 0;
        } else if (output.pendingLength + 1 < GlpkOutput::kLineCapacity) {
            output.pending[output.pendingLength++] = *c;
        }
    }
}

bool omittedFromLog(GlpkOutput& output, const char* text)
{
    if (!output.skippingRepeatedLine)
        return false;
    if (std::strchr(text, '\n') != nullptr)
        output.skippingRepeatedLine = false;
    return true;
}

int onGlpkOutput(void* info, const char* text)
{
    GlpkOutput& output = *static_cast<GlpkOutput*>(info);
    keepLines(output, text);
    if (startsWith(text, "TIME LIMIT EXCEEDED"))
        return 1;  // the engine's summary says why solving stopped
    if (output.echo && !omittedFromLog(output, text))
        std::fputs(text, stdout);
    return 1;  // GLPK itself prints nothing
}

}  // namespace

void startGlpkOutput(GlpkOutput& output, bool echo)
{
    output.echo = echo;
    output.skippingRepeatedLine = false;
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

bool glpkOutOfMemory(const GlpkOutput& output)
{
    for (const char* text : {": memory allocation limit exceeded", ": no memory available", ": memory allocation error"}) {
        if (std::strstr(output.lastLine, text) != nullptr || std::strstr(output.previousLine, text) != nullptr)
            return true;
    }
    return false;
}
