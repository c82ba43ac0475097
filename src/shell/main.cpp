#include <cstdio>

#include <unistd.h>

#include <glpk.h>

#include "shell/CommandLine.h"
#include "shell/Shell.h"

// Without arguments everything is asked at the prompt; with them, the command line runs one
// command for a script.
int main(int argc, char** argv)
{
    // Into a pipe or a file, output is flushed at every prompt and after every model, so
    // that a model's report gets there only once its row is safe in the results file, and
    // a model's report never comes out half. A terminal keeps its line buffering.
    if (!isatty(STDOUT_FILENO))
        std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    int status = 0;
    if (argc > 1)
        status = runCommandLine(argc, argv);
    else
        runShell();
    // GLPK keeps one environment for the whole process; give it back so that the exit is
    // clean for memory checkers.
    glp_free_env();
    return status;
}
