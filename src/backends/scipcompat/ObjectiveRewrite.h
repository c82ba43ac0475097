#pragma once

#include <string>

// GLPK's CPLEX LP reader wants at least one variable in the objective and no constant term,
// while SCIP's reader takes an empty objective and a constant as the objective's last term
// ("obj: x + 5", but not "obj: 5 + x"). A model GLPK refused is
// given a second chance in a rewritten form: the constant is cut out of the objective
// (blanked, so that lines keep their numbers) and handed back, and an objective without
// variables gets one placeholder term with coefficient 0, which the caller removes again.
// A text that starts with its constraints gets an empty objective the same way.
struct ObjectiveRewrite {
    bool changed = false;
    double constant = 0.0;
    bool placeholderAdded = false;
};

// The name of the placeholder variable; it is the problem's first column.
inline constexpr const char* kPlaceholderColumn = "lumbrix_empty_objective";

// Rewrites `text` in place. Unchanged (changed == false) when the objective needs neither
// fix, or has a form that SCIP rejects too (a constant before another term).
ObjectiveRewrite rewriteObjective(std::string& text);
