#pragma once

#include <chrono>

// The reading time of a model: whole milliseconds of a steady clock, taken around the
// reading, and turned into seconds.
inline long long readClockMillis()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

inline double readSeconds(long long startMillis, long long endMillis)
{
    return static_cast<double>(endMillis - startMillis) / 1000.0;
}
