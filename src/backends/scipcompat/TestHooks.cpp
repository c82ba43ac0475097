#include "backends/scipcompat/TestHooks.h"

namespace {

bool g_failNextSolve = false;

}  // namespace

void injectGlpkFailureIntoNextSolve()
{
    g_failNextSolve = true;
}

bool takeInjectedGlpkFailure()
{
    const bool fail = g_failNextSolve;
    g_failNextSolve = false;
    return fail;
}
