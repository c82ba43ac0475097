#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "engines/model/LinearLayout.h"

// Bounds that every point satisfying a layout's rows and column bounds keeps, for columns
// whose own bounds are infinite: first by the rows' activities (each row bounds a column by
// the other columns' smallest and largest contributions, over a few rounds), then by the
// linear relaxation's minimum and maximum of the column, which the solver at hand computes.
// Computed when first asked for.
class ImpliedBounds {
public:
    ImpliedBounds(const LinearLayout& layout, const RelaxationBounds& relaxation)
        : m_layout(layout), m_relaxation(relaxation)
    {
    }

    // Tightens `lower` and `upper`, the column's bounds, with what the layout's rows imply
    // (the rows propagated are those of the first call; the relaxation has every row).
    // Infinite bounds are +-HUGE_VAL; a bound stays infinite when none exists. False when the
    // relaxation's solver failed.
    bool tighten(std::size_t column, double& lower, double& upper);

private:
    void propagate();
    bool relax(std::size_t column, double& lower, double& upper);

    const LinearLayout& m_layout;
    const RelaxationBounds& m_relaxation;
    std::vector<double> m_lower;
    std::vector<double> m_upper;
};
