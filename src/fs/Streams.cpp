#include "fs/Streams.h"

#include <cstdio>
#include <iostream>

void flushConsole()
{
    std::cout.flush();
    std::fflush(stdout);
    std::fflush(stderr);
}

void printError(std::string_view message)
{
    flushConsole();
    std::cerr << message << std::flush;
}
