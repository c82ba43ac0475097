#include "engines/scipcompat/SearchOptions.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

std::optional<SearchOptions> g_replaced;

int flag(bool on)
{
    return on ? GLP_ON : GLP_OFF;
}

int candidates(glp_tree* tree, int& mostFractional)
{
    glp_prob* problem = glp_ios_get_prob(tree);
    int count = 0;
    double best = -1.0;
    for (int j = 1; j <= glp_get_num_cols(problem); ++j) {
        if (!glp_ios_can_branch(tree, j))
            continue;
        ++count;
        const double value = glp_get_col_prim(problem, j);
        const double fraction = std::min(value - std::floor(value), std::ceil(value) - value);
        if (fraction > best) {
            best = fraction;
            mostFractional = j;
        }
    }
    return count;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One trial LP as GLPK's pseudocost start-up makes it: a copy of the problem with the
// candidate fixed, at most 30 dual simplex iterations.
double timeTrial(glp_tree* tree, int column)
{
    const auto start = std::chrono::steady_clock::now();
    glp_prob* problem = glp_ios_get_prob(tree);
    glp_prob* copy = glp_create_prob();
    glp_copy_prob(copy, problem, GLP_OFF);
    const double value = std::floor(glp_get_col_prim(problem, column));
    glp_set_col_bnds(copy, column, GLP_FX, value, value);
    glp_smcp parameters;
    glp_init_smcp(&parameters);
    parameters.msg_lev = GLP_MSG_OFF;
    parameters.meth = GLP_DUAL;
    parameters.it_lim = 30;
    glp_simplex(copy, &parameters);
    glp_delete_prob(copy);
    return secondsSince(start);
}
}  // namespace

SearchOptions glpkDefaultSearchOptions()
{
    return SearchOptions{};
}

// Over bench/instances, GLPK's hybrid pseudocost branching alone made the search four to five
// times faster (shifted geometric mean) and no model more than 1.1 times slower; GLPK's cuts
// made blend2, enigma and misc03 several times slower, with it or without; its heuristics and
// presolver did not help.
SearchOptions chosenSearchOptions()
{
    SearchOptions options;
    options.branching = GLP_BR_PCH;
    return options;
}

const SearchOptions& activeSearchOptions()
{
    static const SearchOptions chosen = chosenSearchOptions();
    return g_replaced ? *g_replaced : chosen;
}

void useSearchOptions(const SearchOptions& options)
{
    g_replaced = options;
}

void applySearchOptions(const SearchOptions& options, glp_iocp& parameters)
{
    parameters.gmi_cuts = flag(options.gomoryCuts);
    parameters.mir_cuts = flag(options.mirCuts);
    parameters.cov_cuts = flag(options.coverCuts);
    parameters.clq_cuts = flag(options.cliqueCuts);
    parameters.fp_heur = flag(options.feasibilityPump);
    parameters.ps_heur = flag(options.proximitySearch);
    parameters.sr_heur = flag(options.simpleRounding);
    parameters.br_tech = options.branching;
    parameters.bt_tech = options.backtracking;
    parameters.presolve = flag(options.presolve);
}

void adjustSearchAtNode(glp_tree* tree, const SearchOptions& options, glp_iocp& parameters)
{
    if (!options.cutsAtRootOnly || glp_ios_node_level(tree, glp_ios_curr_node(tree)) == 0)
        return;
    parameters.gmi_cuts = GLP_OFF;
    parameters.mir_cuts = GLP_OFF;
    parameters.cov_cuts = GLP_OFF;
    parameters.clq_cuts = GLP_OFF;
}

void guardBranching(glp_tree* tree, int reason, const SearchOptions& options, BranchTiming& timing, double secondsLeft)
{
    if (timing.pending && reason != GLP_IBRANCH) {
        timing.longest = std::max(timing.longest, secondsSince(timing.asked));
        timing.pending = false;
    }
    if (reason != GLP_IBRANCH || options.branching != GLP_BR_PCH)
        return;
    int mostFractional = 0;
    const int count = candidates(tree, mostFractional);
    if (mostFractional == 0)
        return;
    if (timing.trial < 0.0 && secondsLeft >= kBranchReserveSeconds)
        timing.trial = timeTrial(tree, mostFractional);
    const double startUp = 2.0 * count * std::max(timing.trial, 0.0);
    if (secondsLeft < std::max({kBranchReserveSeconds, 2.0 * timing.longest, 2.0 * startUp})) {
        glp_ios_branch_upon(tree, mostFractional, GLP_NO_BRNCH);
        return;
    }
    timing.asked = std::chrono::steady_clock::now();
    timing.pending = true;
}
