// Reading speed: one LP file of about 200,000 non-zeros, read by the SCIP interface the
// program links (its reader and the problem it builds) and by GLPK's own glp_read_lp, in
// alternating rounds. Prints the medians and their ratio.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <glpk.h>
#include <scip/scip.h>
#include <scip/scipdefplugins.h>

#include "Median.h"

namespace {

using Clock = std::chrono::steady_clock;

// Rows of 20 random terms over 20,000 columns, some integer, every bound form.
bool writeModel(const char* path, int rows, int termsPerRow, int columns)
{
    std::FILE* file = std::fopen(path, "w");
    if (file == nullptr)
        return false;
    unsigned seed = 7;
    const auto next = [&seed](int high) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<unsigned>(high));
    };
    std::string text = "\\ reading benchmark\nMaximize\n obj:";
    for (int j = 0; j < columns; ++j)
        text += " + " + std::to_string(1 + next(50)) + " x" + std::to_string(j) + (j % 8 == 7 ? "\n" : "");
    text += "\nSubject To\n";
    for (int i = 0; i < rows; ++i) {
        text += " c" + std::to_string(i) + ":";
        std::vector<int> used;
        for (int k = 0; k < termsPerRow; ++k) {
            int column = next(columns);
            while (std::find(used.begin(), used.end(), column) != used.end())
                column = (column + 1) % columns;
            used.push_back(column);
            text += (k == 0 ? " " : " + ") + std::to_string(1 + next(99)) + "." + std::to_string(next(10)) + " x"
                + std::to_string(column);
        }
        text += " <= " + std::to_string(1000 + next(9000)) + "\n";
    }
    text += "Bounds\n";
    for (int j = 0; j < columns; j += 3)
        text += " x" + std::to_string(j) + " <= " + std::to_string(10 + next(90)) + "\n";
    text += "Generals\n";
    for (int j = 0; j < columns; j += 5)
        text += " x" + std::to_string(j) + "\n";
    text += "End\n";
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

double readWithScipInterface(const char* path)
{
    SCIP* scip = nullptr;
    const Clock::time_point start = Clock::now();
    if (SCIPcreate(&scip) != SCIP_OKAY || SCIPincludeDefaultPlugins(scip) != SCIP_OKAY
        || SCIPsetMessagehdlr(scip, nullptr) != SCIP_OKAY || SCIPreadProb(scip, path, nullptr) != SCIP_OKAY) {
        std::fprintf(stderr, "the SCIP interface failed to read %s\n", path);
        return -1.0;
    }
    SCIPfree(&scip);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double readWithGlpk(const char* path)
{
    const Clock::time_point start = Clock::now();
    glp_prob* problem = glp_create_prob();
    const int result = glp_read_lp(problem, nullptr, path);
    glp_delete_prob(problem);
    if (result != 0) {
        std::fprintf(stderr, "glp_read_lp failed to read %s\n", path);
        return -1.0;
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <file to write the model to>\n", argv[0]);
        return 2;
    }
    const char* path = argv[1];
    constexpr int kRows = 10000;
    constexpr int kTermsPerRow = 20;
    if (!writeModel(path, kRows, kTermsPerRow, 20000)) {
        std::perror(path);
        return 1;
    }
    glp_term_out(GLP_OFF);
    std::vector<double> engine;
    std::vector<double> glpk;
    for (int round = 0; round < 7; ++round) {
        engine.push_back(readWithScipInterface(path));
        glpk.push_back(readWithGlpk(path));
        if (engine.back() < 0 || glpk.back() < 0)
            return 1;
    }
    const double ours = median(engine);
    const double theirs = median(glpk);
    std::printf("reading    %d non-zeros: engine %.4f s, glp_read_lp %.4f s, ratio %.3f\n", kRows * kTermsPerRow, ours,
                theirs, ours / theirs);
    return 0;
}
