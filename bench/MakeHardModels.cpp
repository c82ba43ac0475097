// Writes copies of one small integer model that no solver settles quickly (a market-split
// instance), so that a time limit decides how long each one takes: a batch of models of
// known, equal solving time for comparing jobs.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Models.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <folder> <count>\n", argv[0]);
        return 2;
    }
    const long count = std::strtol(argv[2], nullptr, 10);
    const std::string lp = hardModel();
    for (long i = 0; i < count; ++i) {
        char path[4096];
        std::snprintf(path, sizeof path, "%s/h%04ld.lp", argv[1], i);
        FILE* file = std::fopen(path, "w");
        if (!file || std::fputs(lp.c_str(), file) < 0 || std::fclose(file) != 0) {
            std::perror(path);
            return 1;
        }
    }
    return 0;
}
