#include <cstdarg>
#include <cstdio>

#include <scip/scip.h>

// SCIP's default error printer: straight to standard error, flushed at once, so that an
// error shows up even when the process dies right after it. What the program wrote to
// standard output before goes out first, so that both streams keep their order when they
// meet in one place.

extern "C" void SCIPmessagePrintErrorHeader(const char* sourcefile, int sourceline)
{
    std::fflush(stdout);
    std::fprintf(stderr, "[%s:%d] ERROR: ", sourcefile, sourceline);
    std::fflush(stderr);
}

extern "C" void SCIPmessagePrintError(const char* formatstr, ...)
{
    va_list arguments;
    va_start(arguments, formatstr);
    std::vfprintf(stderr, formatstr, arguments);
    va_end(arguments);
    std::fflush(stderr);
}
