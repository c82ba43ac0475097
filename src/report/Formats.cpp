#include "report/Formats.h"

#include <algorithm>
#include <charconv>

// std::to_chars writes what printf writes in the C locale (%g and %f here), at a small
// part of printf's cost, which a batch of thousands of tiny models feels.

std::string consoleNumber(double value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
    return std::string(text, result.ptr);
}

std::string rowNumber(double value)
{
    // The largest double takes 309 integer digits in this form.
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    std::replace(text, result.ptr, '.', ',');
    return std::string(text, result.ptr);
}
