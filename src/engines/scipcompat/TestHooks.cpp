#include "engines/scipcompat/TestHooks.h"

namespace {

bool g_failNextRead = false;
bool g_failNextSolve = false;

bool& flagFor(GlpkFailurePoint point)
{
    return point == GlpkFailurePoint::Read ? g_failNextRead : g_failNextSolve;
}

}  // namespace

void injectGlpkFailure(GlpkFailurePoint point)
{
    flagFor(point) = true;
}

bool takeInjectedGlpkFailure(GlpkFailurePoint point)
{
    bool& flag = flagFor(point);
    const bool fail = flag;
    flag = false;
    return fail;
}
