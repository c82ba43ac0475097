#pragma once

#include <chrono>

#include <glpk.h>

// How GLPK's branch and bound searches: its cut classes, heuristics, branching and
// backtracking, and its MIP presolver.
struct SearchOptions {
    bool gomoryCuts = false;
    bool mirCuts = false;
    bool coverCuts = false;
    bool cliqueCuts = false;
    bool cutsAtRootOnly = false;  // the cut classes above at the root node only
    bool feasibilityPump = false;
    bool proximitySearch = false;
    bool simpleRounding = true;
    int branching = GLP_BR_DTH;
    int backtracking = GLP_BT_BLB;
    bool presolve = false;
};

// GLPK's own defaults, as glp_init_iocp sets them.
SearchOptions glpkDefaultSearchOptions();

// The options the engine searches with, chosen by measurement (bench/SearchOptions.cpp).
SearchOptions chosenSearchOptions();

// The options the next searches of this process use: the chosen ones unless the
// measurement replaced them with useSearchOptions.
const SearchOptions& activeSearchOptions();
void useSearchOptions(const SearchOptions& options);

// Sets `parameters` (initialised by glp_init_iocp) to `options`.
void applySearchOptions(const SearchOptions& options, glp_iocp& parameters);

// Called from the branch-and-bound callback at each node's preprocessing: below the root,
// cuts kept to the root stop. GLPK reads its parameters through the pointer glp_intopt was
// given, so `parameters` must be that very object.
void adjustSearchAtNode(glp_tree* tree, const SearchOptions& options, glp_iocp& parameters);

// How long branching decisions take, over one search.
struct BranchTiming {
    std::chrono::steady_clock::time_point asked;
    bool pending = false;      // a decision left to GLPK, not yet timed
    double longest = 0.0;      // seconds
    double trial = -1.0;       // seconds one trial LP of GLPK's pseudocost start-up takes; < 0: not timed yet
};

// Called at every event of the branch-and-bound callback. GLPK's pseudocost branching first
// tries both branches of every candidate it has no history for, each on a copy of the
// problem, and looks at no clock meanwhile. Where that could reach the deadline (twice the
// candidates' trial LPs, as long as one takes, or twice the longest decision so far, or
// kBranchReserveSeconds, is more than the time left) the search branches on the most
// fractional candidate itself.
inline constexpr double kBranchReserveSeconds = 10.0;
void guardBranching(glp_tree* tree, int reason, const SearchOptions& options, BranchTiming& timing, double secondsLeft);
