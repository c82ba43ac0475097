#include "engines/glpk/GlpkGuard.h"

#include <csetjmp>

#include <glpk.h>

namespace {

std::jmp_buf* g_failureTarget = nullptr;

void onGlpkFailure(void*)
{
    std::longjmp(*g_failureTarget, 1);
}

}  // namespace

bool runGlpkGuarded(void (*body)(void* context), void* context)
{
    std::jmp_buf target;
    if (setjmp(target) != 0) {
        g_failureTarget = nullptr;
        // Releases everything GLPK allocated, the failed call's objects included; the next
        // GLPK call starts a fresh environment.
        glp_free_env();
        return false;
    }
    g_failureTarget = &target;
    glp_error_hook(onGlpkFailure, nullptr);
    body(context);
    glp_error_hook(nullptr, nullptr);
    g_failureTarget = nullptr;
    return true;
}
