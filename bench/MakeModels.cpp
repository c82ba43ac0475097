// Writes tiny models for the benchmarks: a few variables (some of them integer) and a few
// constraints each, coefficients varying from model to model. The size is the number of
// variables, 3 by default.
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s <folder> <count> [variables]\n", argv[0]);
        return 2;
    }
    const long count = std::strtol(argv[2], nullptr, 10);
    const int variables = argc == 4 ? std::atoi(argv[3]) : 3;
    if (count < 0 || variables < 1 || variables > 100) {
        std::fprintf(stderr, "count >= 0 and 1..100 variables\n");
        return 2;
    }
    const int constraints = (variables + 1) / 2 + 1;
    unsigned seed = 2024;
    const auto next = [&seed](int low, int high) {
        seed = seed * 1103515245u + 12345u;
        return low + static_cast<int>((seed >> 16) % static_cast<unsigned>(high - low + 1));
    };
    for (long i = 0; i < count; ++i) {
        std::string lp = "Maximize\n obj:";
        for (int j = 0; j < variables; ++j)
            lp += " + " + std::to_string(next(1, 9)) + " x" + std::to_string(j);
        lp += "\nSubject To\n";
        for (int r = 0; r < constraints; ++r) {
            lp += " c" + std::to_string(r) + ":";
            for (int j = 0; j < variables; ++j)
                lp += (next(0, 3) == 0 ? " - " : " + ") + std::to_string(next(1, 5)) + " x" + std::to_string(j);
            lp += " <= " + std::to_string(next(10, 40)) + "\n";
        }
        lp += "Bounds\n";
        for (int j = 0; j < variables; ++j)
            lp += " x" + std::to_string(j) + " <= " + std::to_string(next(2, 8)) + "\n";
        lp += "Generals\n";
        for (int j = variables / 2; j < variables; ++j)
            lp += " x" + std::to_string(j);
        lp += "\nEnd\n";

        char path[4096];
        std::snprintf(path, sizeof path, "%s/m%06ld.lp", argv[1], i);
        FILE* file = std::fopen(path, "w");
        if (!file || std::fputs(lp.c_str(), file) < 0 || std::fclose(file) != 0) {
            std::perror(path);
            return 1;
        }
    }
    return 0;
}
