#include "Models.h"

std::string hardModel()
{
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
    return lp + "\nEnd\n";
}
