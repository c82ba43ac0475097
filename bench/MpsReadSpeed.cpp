// Reading speed by format: one generated model of 1,000,000 non-zeros written as CPLEX LP,
// as fixed MPS and as gzipped MPS, each read by the SCIP interface the program links (its
// reader and the problem it builds), in alternating rounds. Prints the medians and the
// ratios MPS / LP and gzipped MPS / MPS.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <scip/scip.h>
#include <scip/scipdefplugins.h>
#include <zlib.h>

#include "Median.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Term {
    int row;
    int column;
    std::string value;
};

// Rows of 20 random terms over 100,000 columns, every fifth one integer, every third one
// with an upper bound; the same numbers as text in both formats.
struct Model {
    int rows = 0;
    int columns = 0;
    std::vector<Term> terms;  // by row
    std::vector<std::string> objective, rhs, upper;
};

Model makeModel(int rows, int termsPerRow, int columns)
{
    Model model;
    model.rows = rows;
    model.columns = columns;
    unsigned seed = 11;
    const auto next = [&seed](int high) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<unsigned>(high));
    };
    for (int j = 0; j < columns; ++j) {
        model.objective.push_back(std::to_string(1 + next(50)));
        model.upper.push_back(j % 3 == 0 ? std::to_string(10 + next(90)) : std::string());
    }
    for (int i = 0; i < rows; ++i) {
        std::vector<int> used;
        for (int k = 0; k < termsPerRow; ++k) {
            int column = next(columns);
            while (std::find(used.begin(), used.end(), column) != used.end())
                column = (column + 1) % columns;
            used.push_back(column);
            model.terms.push_back({i, column, std::to_string(1 + next(99)) + "." + std::to_string(next(10))});
        }
        model.rhs.push_back(std::to_string(1000 + next(9000)));
    }
    return model;
}

std::string lpText(const Model& model)
{
    std::string text = "\\ reading benchmark\nMaximize\n obj:";
    for (int j = 0; j < model.columns; ++j)
        text += " + " + model.objective[static_cast<std::size_t>(j)] + " x" + std::to_string(j) + (j % 8 == 7 ? "\n" : "");
    text += "\nSubject To\n";
    std::size_t k = 0;
    for (int i = 0; i < model.rows; ++i) {
        text += " c" + std::to_string(i) + ":";
        for (bool first = true; k < model.terms.size() && model.terms[k].row == i; ++k, first = false)
            text += (first ? " " : " + ") + model.terms[k].value + " x" + std::to_string(model.terms[k].column);
        text += " <= " + model.rhs[static_cast<std::size_t>(i)] + "\n";
    }
    text += "Bounds\n";
    for (int j = 0; j < model.columns; ++j)
        if (!model.upper[static_cast<std::size_t>(j)].empty())
            text += " x" + std::to_string(j) + " <= " + model.upper[static_cast<std::size_t>(j)] + "\n";
    text += "Generals\n";
    for (int j = 0; j < model.columns; j += 5)
        text += " x" + std::to_string(j) + "\n";
    text += "End\n";
    return text;
}

// One fixed-layout line: a type (or blanks), a name, a second name and a value, in MPS's
// columns.
void appendLine(std::string& text, const char* type, const std::string& name, const std::string& row,
                const std::string& value)
{
    char line[128];
    const int length = std::snprintf(line, sizeof line, " %-2s %-8s  %-8s  %12s", type, name.c_str(), row.c_str(),
                                     value.c_str());
    text.append(line, static_cast<std::size_t>(length));
}

void appendSecond(std::string& text, const std::string& row, const std::string& value)
{
    char line[64];
    const int length = std::snprintf(line, sizeof line, "   %-8s  %12s", row.c_str(), value.c_str());
    text.append(line, static_cast<std::size_t>(length));
}

// Fixed MPS, two entries a line, integer columns between markers; an integer column
// without an upper bound gets PL (a marked column is binary by default).
std::string mpsText(const Model& model)
{
    std::vector<const Term*> byColumn;
    for (const Term& term : model.terms)
        byColumn.push_back(&term);
    std::stable_sort(byColumn.begin(), byColumn.end(),
                     [](const Term* a, const Term* b) { return a->column < b->column; });
    std::string text = "NAME          READ\nOBJSENSE\n    MAX\nROWS\n N  obj\n";
    for (int i = 0; i < model.rows; ++i)
        text += " L  c" + std::to_string(i) + "\n";
    text += "COLUMNS\n";
    std::size_t k = 0;
    for (int j = 0; j < model.columns; ++j) {
        const std::string name = "x" + std::to_string(j);
        const bool integer = j % 5 == 0;
        if (integer)
            text += "    MARKER                 'MARKER'                 'INTORG'\n";
        std::vector<std::pair<std::string, std::string>> entries{{"obj", model.objective[static_cast<std::size_t>(j)]}};
        for (; k < byColumn.size() && byColumn[k]->column == j; ++k)
            entries.emplace_back("c" + std::to_string(byColumn[k]->row), byColumn[k]->value);
        for (std::size_t e = 0; e < entries.size(); e += 2) {
            appendLine(text, "", name, entries[e].first, entries[e].second);
            if (e + 1 < entries.size())
                appendSecond(text, entries[e + 1].first, entries[e + 1].second);
            text += "\n";
        }
        if (integer)
            text += "    MARKER                 'MARKER'                 'INTEND'\n";
    }
    text += "RHS\n";
    for (int i = 0; i < model.rows; ++i)
    {
        appendLine(text, "", "RHS", "c" + std::to_string(i), model.rhs[static_cast<std::size_t>(i)]);
        text += "\n";
    }
    text += "BOUNDS\n";
    for (int j = 0; j < model.columns; ++j) {
        const std::string name = "x" + std::to_string(j);
        const std::string& upper = model.upper[static_cast<std::size_t>(j)];
        if (!upper.empty()) {
            appendLine(text, "UP", "BND", name, upper);
            text += "\n";
        } else if (j % 5 == 0) {
            text += " PL BND       " + name + "\n";
        }
    }
    text += "ENDATA\n";
    return text;
}

bool writeFile(const std::string& path, const std::string& text)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

bool writeGzip(const std::string& path, const std::string& text)
{
    gzFile file = gzopen(path.c_str(), "wb6");
    if (file == nullptr)
        return false;
    const bool written = gzwrite(file, text.data(), static_cast<unsigned>(text.size())) == static_cast<int>(text.size());
    return gzclose(file) == Z_OK && written;
}

double readWithScipInterface(const std::string& path)
{
    SCIP* scip = nullptr;
    const Clock::time_point start = Clock::now();
    if (SCIPcreate(&scip) != SCIP_OKAY || SCIPincludeDefaultPlugins(scip) != SCIP_OKAY
        || SCIPsetMessagehdlr(scip, nullptr) != SCIP_OKAY || SCIPreadProb(scip, path.c_str(), nullptr) != SCIP_OKAY) {
        std::fprintf(stderr, "the SCIP interface failed to read %s\n", path.c_str());
        return -1.0;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    SCIPfree(&scip);
    return seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder to write the models to>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    constexpr int kRows = 50000;
    constexpr int kTermsPerRow = 20;
    const Model model = makeModel(kRows, kTermsPerRow, 100000);
    const std::string lp = folder + "/read.lp", mps = folder + "/read.mps", gz = folder + "/read.mps.gz";
    const std::string mpsContent = mpsText(model);
    if (!writeFile(lp, lpText(model)) || !writeFile(mps, mpsContent) || !writeGzip(gz, mpsContent)) {
        std::perror(folder.c_str());
        return 1;
    }
    std::vector<double> lpTimes, mpsTimes, gzTimes;
    for (int round = 0; round < 5; ++round) {
        lpTimes.push_back(readWithScipInterface(lp));
        mpsTimes.push_back(readWithScipInterface(mps));
        gzTimes.push_back(readWithScipInterface(gz));
        if (lpTimes.back() < 0 || mpsTimes.back() < 0 || gzTimes.back() < 0)
            return 1;
    }
    const double lpTime = median(lpTimes), mpsTime = median(mpsTimes), gzTime = median(gzTimes);
    std::printf("formats    %d non-zeros: LP %.3f s, MPS %.3f s, MPS.gz %.3f s; MPS / LP %.3f, MPS.gz / MPS %.3f\n",
                kRows * kTermsPerRow, lpTime, mpsTime, gzTime, mpsTime / lpTime, gzTime / mpsTime);
    return 0;
}
