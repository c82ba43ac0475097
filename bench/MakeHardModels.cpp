// Writes copies of one small integer model that no solver settles quickly (a market-split
// instance), so that a time limit decides how long each one takes: a batch of models of
// known, equal solving time for comparing jobs.
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
    constexpr int kRows = 5;
    constexpr int kColumns = 40;
    std::string lp = "Minimize\n obj:";
    for (int i = 0; i < kRows; ++i)
        lp += " + p" + std::to_string(i) + " + m" + std::to_string(i);
    lp += "\nSubject To\n";
    unsigned seed = 12345;
    for (int i = 0; i < kRows; ++i) {
        long sum = 0;
        lp += " r" + std::to_string(i) + ":";
        for (int j = 0; j < kColumns; ++j) {
            seed = seed * 1103515245u + 12345u;
            const int a = static_cast<int>((seed >> 16) % 100);
            sum += a;
            lp += " + " + std::to_string(a) + " x" + std::to_string(j);
        }
        lp += " + p" + std::to_string(i) + " - m" + std::to_string(i) + " = " + std::to_string(sum / 2) + "\n";
    }
    lp += "Binaries\n";
    for (int j = 0; j < kColumns; ++j)
        lp += " x" + std::to_string(j);
    lp += "\nEnd\n";
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
