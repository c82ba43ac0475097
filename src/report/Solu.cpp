#include "report/Solu.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "backends/ModelFiles.h"
#include "fs/Files.h"

namespace {

constexpr double kTolerance = 1e-6;
// SCIP's infinity: a primal bound this large is no solution.
constexpr double kInfinity = 1e20;

std::vector<std::string_view> wordsOf(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t begin = line.find_first_not_of(" \t\r", at);
        if (begin == std::string_view::npos)
            break;
        const std::size_t end = std::min(line.find_first_of(" \t\r", begin), line.size());
        words.push_back(line.substr(begin, end - begin));
        at = end;
    }
    return words;
}

std::optional<double> numberOf(std::string_view word)
{
    double value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool sameEntry(const KnownResult& a, const KnownResult& b)
{
    return a.kind == b.kind && a.value == b.value;
}

// The name without the extensions of model files and their compressions (".mps.gz"), which
// a name in a .solu file goes without.
std::string_view withoutModelExtensions(std::string_view name)
{
    constexpr std::string_view kExtensions[] = {".lp", ".mps", ".gz", ".bz2"};
    for (bool stripped = true; stripped;) {
        stripped = false;
        const std::size_t dot = name.rfind('.');
        if (dot == 0 || dot == std::string_view::npos)
            break;
        std::string extension(name.substr(dot));
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (std::find(std::begin(kExtensions), std::end(kExtensions), extension) != std::end(kExtensions)) {
            name = name.substr(0, dot);
            stripped = true;
        }
    }
    return name;
}

bool near(double value, double known)
{
    return std::fabs(value - known) <= kTolerance * std::max(1.0, std::fabs(known));
}

// Whether `value` lies beyond `known` in the direction the solver improves in, by more
// than the tolerance.
bool better(double value, double known, Sense sense)
{
    if (near(value, known))
        return false;
    return sense == Sense::Minimize ? value < known : value > known;
}

bool hasSolution(const SolveClaim& claim)
{
    return claim.objective && std::isfinite(*claim.objective) && std::fabs(*claim.objective) < kInfinity;
}

Check checkValue(const KnownResult& known, const SolveClaim& claim)
{
    const bool optimalKnown = known.kind == KnownResult::Kind::Optimal;
    if (claim.status == ModelStatus::Infeasible || claim.status == ModelStatus::Unbounded
        || claim.status == ModelStatus::InfeasibleOrUnbounded)
        return Check::Wrong;
    // A dual bound past a feasible value cannot be.
    if (claim.sense && claim.dualBound && std::isfinite(*claim.dualBound) && std::fabs(*claim.dualBound) < kInfinity
        && better(known.value, *claim.dualBound, *claim.sense))
        return Check::Wrong;
    if (!hasSolution(claim))
        return Check::Unknown;
    const double objective = *claim.objective;
    if (near(objective, known.value))
        return Check::Ok;
    if (claim.status == ModelStatus::Optimal && optimalKnown)
        return Check::Wrong;
    if (!claim.sense)
        return Check::Unknown;
    if (better(objective, known.value, *claim.sense))
        return optimalKnown ? Check::Wrong : Check::Better;
    // Worse than a known solution: only a claim of optimality contradicts it.
    return claim.status == ModelStatus::Optimal ? Check::Wrong : Check::Unknown;
}

}  // namespace

const KnownResult* KnownResults::find(std::string_view modelFileName) const
{
    const auto found = byName.find(modelStem(modelFileName));
    return found == byName.end() ? nullptr : &found->second;
}

std::optional<KnownResults> parseSolu(std::string_view text, std::string& problem)
{
    KnownResults results;
    std::map<std::string, std::size_t, std::less<>> lineOf;  // where each name's entry in force is
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        const std::vector<std::string_view> words = wordsOf(line);
        if (words.empty() || words[0].front() == '#')
            continue;
        const auto fail = [&](const std::string& why) {
            problem = "linha " + std::to_string(lineNumber) + ": " + why;
            return std::nullopt;
        };
        KnownResult known;
        std::size_t expected = 2;
        if (words[0] == "=opt=" || words[0] == "=best=") {
            known.kind = words[0] == "=opt=" ? KnownResult::Kind::Optimal : KnownResult::Kind::Best;
            expected = 3;
        } else if (words[0] == "=inf=") {
            known.kind = KnownResult::Kind::Infeasible;
        } else if (words[0] == "=unbd=") {
            known.kind = KnownResult::Kind::Unbounded;
        } else if (words[0] == "=unkn=") {
            known.kind = KnownResult::Kind::Unknown;
        } else {
            return fail("marca desconhecida '" + std::string(words[0]) + "'");
        }
        if (words.size() != expected)
            return fail("esperava " + std::to_string(expected) + " palavras, há " + std::to_string(words.size()));
        if (expected == 3) {
            const auto value = numberOf(words[2]);
            if (!value)
                return fail("valor inválido '" + std::string(words[2]) + "'");
            known.value = *value;
        }
        const std::string name(words[1]);
        const std::string here = "linha " + std::to_string(lineNumber) + ": ";
        if (const std::string_view bare = withoutModelExtensions(name); bare != name)
            results.warnings.push_back(here + "'" + name + "' tem a extensão de um arquivo de modelo; o nome vai sem ela: '"
                                       + std::string(bare) + "'");
        const auto earlier = results.byName.find(name);
        if (earlier != results.byName.end() && !sameEntry(earlier->second, known))
            results.warnings.push_back(here + "'" + name + "' já tinha outro resultado na linha "
                                       + std::to_string(lineOf[name]) + "; vale o desta linha");
        results.byName.insert_or_assign(name, known);
        lineOf[name] = lineNumber;
    }
    return results;
}

std::optional<KnownResults> readSoluFile(const std::string& path, std::string& problem)
{
    errno = 0;
    const int fd = isRegularFile(path) ? open(path.c_str(), O_RDONLY | O_CLOEXEC) : -1;
    if (fd < 0) {
        problem = errno ? std::strerror(errno) : "não é um arquivo";
        return std::nullopt;
    }
    std::string text;
    char buffer[1 << 16];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof buffer)) != 0) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            problem = std::strerror(errno);
            ::close(fd);
            return std::nullopt;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return parseSolu(text, problem);
}

const char* checkCode(Check check)
{
    switch (check) {
    case Check::Ok:
        return "ok";
    case Check::Wrong:
        return "wrong";
    case Check::Better:
        return "better";
    case Check::Unknown:
        break;
    }
    return "unknown";
}

Check checkAgainst(const KnownResult* known, const SolveClaim& claim)
{
    if (!known || statusInfo(claim.status).saysNothing)
        return Check::Unknown;
    switch (known->kind) {
    case KnownResult::Kind::Unknown:
        return Check::Unknown;
    case KnownResult::Kind::Infeasible:
        if (claim.status == ModelStatus::Infeasible || claim.status == ModelStatus::InfeasibleOrUnbounded)
            return Check::Ok;
        return hasSolution(claim) || claim.status == ModelStatus::Unbounded ? Check::Wrong : Check::Unknown;
    case KnownResult::Kind::Unbounded:
        if (claim.status == ModelStatus::Unbounded || claim.status == ModelStatus::InfeasibleOrUnbounded)
            return Check::Ok;
        return claim.status == ModelStatus::Infeasible || claim.status == ModelStatus::Optimal ? Check::Wrong
                                                                                              : Check::Unknown;
    case KnownResult::Kind::Optimal:
    case KnownResult::Kind::Best:
        return checkValue(*known, claim);
    }
    return Check::Unknown;
}

std::optional<KnownResult> verifiedResult(std::string_view statusCode, std::string_view solutionCheckCode,
                                          std::optional<double> objectiveRecomputed)
{
    if (statusCode == "infeasible")
        return KnownResult{KnownResult::Kind::Infeasible, 0};
    if (solutionCheckCode != "feasible" || !objectiveRecomputed || !std::isfinite(*objectiveRecomputed))
        return std::nullopt;
    const auto kind = statusCode == "optimal" ? KnownResult::Kind::Optimal : KnownResult::Kind::Best;
    return KnownResult{kind, *objectiveRecomputed};
}

std::string soluText(const KnownResults& results)
{
    std::string text;
    for (const auto& [name, known] : results.byName) {
        switch (known.kind) {
        case KnownResult::Kind::Optimal:
        case KnownResult::Kind::Best: {
            char value[64];
            const auto written = std::to_chars(value, value + sizeof value, known.value);
            text += (known.kind == KnownResult::Kind::Optimal ? "=opt= " : "=best= ") + name + " "
                + std::string(value, written.ptr) + "\n";
            break;
        }
        case KnownResult::Kind::Infeasible:
            text += "=inf= " + name + "\n";
            break;
        case KnownResult::Kind::Unbounded:
            text += "=unbd= " + name + "\n";
            break;
        case KnownResult::Kind::Unknown:
            text += "=unkn= " + name + "\n";
            break;
        }
    }
    return text;
}
