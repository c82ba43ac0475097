#pragma once

#include <algorithm>
#include <vector>

// The middle of repeated timings: one slow round (a page fault, the other core busy) moves
// it less than it moves the mean.
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
