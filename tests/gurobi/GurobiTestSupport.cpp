#include "GurobiTestSupport.h"

#include <sstream>
#include <string_view>

const char* const kOptimalLp =
    "Maximize\n obj: 12 x + 6 y\nSubject To\n c1: x + y <= 4\n c2: x + 3 y <= 6\nBounds\n x <= 3\nEnd\n";
const char* const kOptimalMip = "Maximize\n obj: x + y\nSubject To\n c1: 2 x + 2 y <= 9\nGeneral\n x y\nEnd\n";
const char* const kInfeasibleLp = "Minimize\n obj: x + y\nSubject To\n c1: x + y >= 5\n c2: x + y <= 2\nEnd\n";
const char* const kUnboundedLp = "Maximize\n obj: x\nSubject To\n c1: x - y <= 1\nEnd\n";
const char* const kUnboundedRelaxationMip = "Maximize\n obj: x\nSubject To\n c1: x - y <= 0\nGeneral\n x y\nEnd\n";
const char* const kMalformedLp = "Maximize\n obj: x +\nSubject To\n c1: x <= <= 4\nEnd\n";

std::string doubleFolder()
{
    return GUROBI_DOUBLE_DIR;
}

std::string incompleteDoubleFolder()
{
    return GUROBI_INCOMPLETE_DIR;
}

std::string hardMip()
{
    // Even coefficients against odd right-hand sides: no integer point exists, yet every
    // relaxation is feasible, so the search has nothing to prune with.
    unsigned state = 12345;
    const int rows = 4, columns = 40;
    std::ostringstream text;
    text << "Minimize\n obj: 0 x1\nSubject To\n";
    for (int r = 0; r < rows; ++r) {
        long sum = 0;
        text << " c" << r << ":";
        for (int c = 1; c <= columns; ++c) {
            state = state * 1103515245u + 12345u;
            const int a = 2 * static_cast<int>((state >> 16) % 50);
            sum += a;
            text << " + " << a << " x" << c;
        }
        text << " = " << (sum / 2) / 2 * 2 + 1 << "\n";
    }
    text << "Binary\n";
    for (int c = 1; c <= columns; ++c)
        text << " x" << c << "\n";
    text << "End\n";
    return text.str();
}

std::string optimalWith(const std::string& request)
{
    return "\\ double: " + request + "\n" + kOptimalLp;
}

ProcessResult runWithDouble(const TempDir& dir, const std::string& commands,
                            std::vector<std::pair<std::string, std::string>> environment)
{
    ProcessOptions options;
    options.workingDirectory = dir.path();
    options.environment = std::move(environment);
    options.environment.emplace_back("LD_LIBRARY_PATH", doubleFolder());
    options.environment.emplace_back("GRB_DOUBLE_LOG", dir.file("calls.log"));
    return runLumbrix("solver\nGUROBI\n" + commands + "exit\n", options);
}

std::string optCommands(const std::string& modelFolder, const std::string& outputFolder)
{
    return "opt\n" + modelFolder + "\n" + outputFolder + "\n";
}

std::string modelSection(const std::string& out, int index)
{
    const std::string start = "MODELO " + std::to_string(index) + " \n";
    const auto begin = out.find(start);
    if (begin == std::string::npos)
        return "<no MODELO " + std::to_string(index) + ">";
    const auto from = begin + start.size();
    const auto end = std::min(out.find(std::string(70, '-'), from), out.find("Lumbrix> ", from));
    return out.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Consumes a console number (2, 0.0156, 1.5e+06) at text[at]; false when there is none.
bool consoleNumberAt(const std::string& text, std::size_t& at)
{
    if (at >= text.size() || !isDigit(text[at]))
        return false;
    while (at < text.size() && (isDigit(text[at]) || std::string_view(".e+-").find(text[at]) != std::string_view::npos))
        ++at;
    return true;
}

// Consumes a row number (12,345678) at text[at].
bool rowNumberAt(const std::string& text, std::size_t& at)
{
    const std::size_t start = at;
    while (at < text.size() && isDigit(text[at]))
        ++at;
    if (at == start || at >= text.size() || text[at] != ',')
        return false;
    for (int i = 0; i < 6; ++i)
        if (++at >= text.size() || !isDigit(text[at]))
            return false;
    ++at;
    return true;
}

}  // namespace

bool matchesPattern(const std::string& text, const std::string& pattern)
{
    std::size_t at = 0;
    for (std::size_t p = 0; p < pattern.size();) {
        if (pattern.compare(p, 3, "<T>") == 0) {
            if (!consoleNumberAt(text, at))
                return false;
            p += 3;
        } else if (pattern.compare(p, 3, "<R>") == 0) {
            if (!rowNumberAt(text, at))
                return false;
            p += 3;
        } else {
            if (at >= text.size() || text[at] != pattern[p])
                return false;
            ++at;
            ++p;
        }
    }
    return at == text.size();
}

std::string doubleLog(const TempDir& dir)
{
    return readFile(dir.file("calls.log"));
}

std::vector<std::string> loggedCalls(const TempDir& dir)
{
    std::istringstream log(doubleLog(dir));
    std::vector<std::string> calls;
    std::string line;
    while (std::getline(log, line))
        if (line.rfind("GRB", 0) == 0)
            calls.push_back(line);
    return calls;
}
