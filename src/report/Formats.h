#pragma once

#include <string>

// A number on the console: six significant digits, a decimal point (2, 0.0156, 1.5e+06).
std::string consoleNumber(double value);

// A number in a result row: six decimals after a decimal comma, never an exponent
// (2,000000; -12,000000).
std::string rowNumber(double value);
