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

void branchOnMostFractional(glp_tree* tree)
{
    glp_prob* problem = glp_ios_get_prob(tree);
    int chosen = 0;
    double best = -1.0;
    for (int j = 1; j <= glp_get_num_cols(problem); ++j) {
        if (!glp_ios_can_branch(tree, j))
            continue;
        const double value = glp_get_col_prim(problem, j);
        const double fraction = std::min(value - std::floor(value), std::ceil(value) - value);
        if (fraction > best) {
            best = fraction;
            chosen = j;
        }
    }
    if (chosen != 0)
        glp_ios_branch_upon(tree, chosen, GLP_NO_BRNCH);
}

}  // namespace

SearchOptions glpkDefaultSearchOptions()
{
    return SearchOptions{};
}

// Over bench/instances, GLPK's hybrid pseudocost branching alone made the search five times
// faster (shifted geometric mean) and no model slower; GLPK's cuts made blend2, enigma and
// misc03 several times slower, with it or without; its heuristics and presolver did not help.
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
    const auto now = std::chrono::steady_clock::now();
    if (timing.pending && reason != GLP_IBRANCH) {
        timing.longest = std::max(timing.longest, std::chrono::duration<double>(now - timing.asked).count());
        timing.pending = false;
    }
    if (reason != GLP_IBRANCH || options.branching != GLP_BR_PCH)
        return;
    if (secondsLeft < std::max({kBranchReserveSeconds, 2.0 * timing.longest, timing.relaxation})) {
        branchOnMostFractional(tree);
        return;
    }
    timing.asked = now;
    timing.pending = true;
}
