#include "shell/Shell.h"

// Command-line arguments are not read: everything is asked at the prompt.
int main()
{
    runShell();
    return 0;
}
