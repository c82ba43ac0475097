#include "backends/Solver.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "backends/cbc/CbcBackend.h"
#include "backends/gurobi/GurobiBackend.h"
#include "backends/scip/ScipBackend.h"

namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

}  // namespace

std::span<const Solver* const> solvers()
{
    // The registry: one line per solver, the default first.
    static const std::array<const Solver*, 3> registry{
        &scipSolver(),
        &gurobiSolver(),
        &cbcSolver(),
    };
    return registry;
}

const Solver& defaultSolver()
{
    return *solvers().front();
}

const Solver* solverByWord(std::string_view word)
{
    for (const Solver* solver : solvers())
        if (sameIgnoringCase(solver->word, word))
            return solver;
    return nullptr;
}

const Solver* solverByShellWord(std::string_view word)
{
    for (const Solver* solver : solvers())
        if (solver->shellWord != nullptr && word == solver->shellWord)
            return solver;
    return nullptr;
}
