#include "fs/Streams.h"

#include <cstdio>
#include <iostream>

void printError(std::string_view message)
{
    std::cout.flush();
    std::fflush(stdout);
    std::cerr << message << std::flush;
}
