#pragma once

#include <string>

// A market-split instance (5 rows, 40 binaries): a few lines of LP, yet far beyond a
// second of branch and bound for any solver, so that time limits and interrupts can be
// seen. Always the same text.
std::string hardModel();
