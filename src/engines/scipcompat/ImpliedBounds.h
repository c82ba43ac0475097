#pragma once

#include <cstddef>
#include <vector>

#include "engines/scipcompat/LpBuild.h"

// Bounds that every point satisfying a layout's rows and column bounds keeps, for columns
// whose own bounds are infinite: first by the rows' activities (each row bounds a column by
// the other columns' smallest and largest contributions, over a few rounds), then by the
// linear relaxation's minimum and maximum of the column. Computed when first asked for.
class ImpliedBounds {
public:
    explicit ImpliedBounds(const GlpkLayout& layout) : m_layout(layout) {}

    // Tightens `lower` and `upper`, the column's bounds, with what the layout's rows imply
    // (the rows propagated are those of the first call; the relaxation has every row). Infinite bounds are +-HUGE_VAL; a bound
    // stays infinite when none exists. False when GLPK failed fatally while solving a
    // relaxation: every GLPK object is gone then (see runGlpkGuarded).
    bool tighten(std::size_t column, double& lower, double& upper);

private:
    void propagate();
    bool relax(std::size_t column, double& lower, double& upper);

    const GlpkLayout& m_layout;
    std::vector<double> m_lower;
    std::vector<double> m_upper;
};
