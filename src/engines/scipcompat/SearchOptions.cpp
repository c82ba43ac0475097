#include "engines/scipcompat/SearchOptions.h"

#include <optional>

namespace {

std::optional<SearchOptions> g_replaced;

int flag(bool on)
{
    return on ? GLP_ON : GLP_OFF;
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
