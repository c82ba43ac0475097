// Writes tiny models for the benchmarks: three variables (one of them integer) and two
// constraints each, coefficients varying from model to model.
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <folder> <count>\n", argv[0]);
        return 2;
    }
    const long count = std::strtol(argv[2], nullptr, 10);
    unsigned seed = 2024;
    const auto next = [&seed](int low, int high) {
        seed = seed * 1103515245u + 12345u;
        return low + static_cast<int>((seed >> 16) % static_cast<unsigned>(high - low + 1));
    };
    for (long i = 0; i < count; ++i) {
        char path[4096];
        std::snprintf(path, sizeof path, "%s/m%06ld.lp", argv[1], i);
        FILE* file = std::fopen(path, "w");
        if (!file) {
            std::perror(path);
            return 1;
        }
        std::fprintf(file,
                     "Maximize\n obj: %d x + %d y + %d z\nSubject To\n c1: %d x + %d y + %d z <= %d\n"
                     " c2: %d x - %d y + %d z <= %d\nBounds\n x <= %d\nGenerals\n z\nEnd\n",
                     next(1, 9), next(1, 9), next(1, 9), next(1, 5), next(1, 5), next(1, 5), next(10, 40), next(1, 5),
                     next(1, 5), next(1, 5), next(5, 20), next(2, 8));
        std::fclose(file);
    }
    return 0;
}
