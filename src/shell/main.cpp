#include <cstdio>

#include <glpk.h>

#include "shell/Shell.h"

// Command-line arguments are not read: everything is asked at the prompt.
int main()
{
    // Output is flushed at every prompt and after every model, so that a model's report
    // reaches the console only once its row is safe in the results file.
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    runShell();
    // GLPK keeps one environment for the whole process; give it back so that the exit is
    // clean for memory checkers.
    glp_free_env();
    return 0;
}
