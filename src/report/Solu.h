#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/Outcome.h"

// What a .solu file (the MIPLIB and SCIP format) knows of one model.
struct KnownResult {
    enum class Kind { Optimal, Best, Infeasible, Unbounded, Unknown };
    Kind kind = Kind::Unknown;
    double value = 0;  // for Optimal and Best
};

// Known results by model name (the model file's name without its extension).
struct KnownResults {
    std::map<std::string, KnownResult, std::less<>> byName;
    // Lines taken as written that look like a slip, each "linha N: why", in file order: an
    // entry that replaces a different one for the same name, a name with a model file's
    // extension (which no model file's name without its extension has).
    std::vector<std::string> warnings;

    const KnownResult* find(std::string_view modelFileName) const;
};

// "=opt= name value", "=best= name value", "=inf= name", "=unbd= name", "=unkn= name", one
// entry a line, blanks between words; empty lines and lines starting with '#' are skipped.
// A later line for a name replaces an earlier one (with a warning when they differ). Empty,
// with the reason (line number first), when a line is none of these.
std::optional<KnownResults> parseSolu(std::string_view text, std::string& problem);
// The same from a file; a file that cannot be read gives the system's reason.
std::optional<KnownResults> readSoluFile(const std::string& path, std::string& problem);

enum class Check { Ok, Wrong, Better, Unknown };

// "ok", "wrong", "better", "unknown".
const char* checkCode(Check check);

// What a solve is held against: its status, its primal bound (none when no solution; SCIP's
// 1e20 counts as none), its dual bound, and the model's direction when known.
struct SolveClaim {
    ModelStatus status = ModelStatus::Unknown;
    std::optional<double> objective;
    std::optional<double> dualBound;
    std::optional<Sense> sense;
};

// The check of a solve against what is known: `wrong` when the answer contradicts it (an
// objective off by more than a relative 1e-6 with an absolute floor of 1e-6, a status
// against the file, a bound past a known value), `better` for a solution better than a
// `=best=` value, `ok` when it matches, `unknown` when nothing can be said.
Check checkAgainst(const KnownResult* known, const SolveClaim& claim);

// What a run proved of a model, from the codes of its details row: `=opt=` with the
// recomputed objective for an optimal solution found feasible, `=best=` for another solution
// found feasible, `=inf=` for a model the solver proved infeasible; none for anything else.
std::optional<KnownResult> verifiedResult(std::string_view statusCode, std::string_view solutionCheckCode,
                                          std::optional<double> objectiveRecomputed);

// A .solu file of these results, one line per model in name order: "=opt= name value",
// "=best= name value", "=inf= name"; values in the shortest text that reads back as the same
// double.
std::string soluText(const KnownResults& results);
