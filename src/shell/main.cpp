#include <cstdio>

#include <unistd.h>

#include <glpk.h>

#include "shell/Shell.h"

// Command-line arguments are not read: everything is asked at the prompt.
int main()
{
    // Into a pipe or a file, output is flushed at every prompt and after every model, so
    // that a model's report gets there only once its row is safe in the results file, and
    // a model's report never comes out half. A terminal keeps its line buffering.
    if (!isatty(STDOUT_FILENO))
        std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    runShell();
    // GLPK keeps one environment for the whole process; give it back so that the exit is
    // clean for memory checkers.
    glp_free_env();
    return 0;
}
