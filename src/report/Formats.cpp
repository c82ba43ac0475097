#include "report/Formats.h"

#include <algorithm>
#include <cstdio>

std::string consoleNumber(double value)
{
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%g", value);
    return std::string(text, static_cast<std::size_t>(length));
}

std::string rowNumber(double value)
{
    // The largest double takes 309 integer digits in this form.
    char text[400];
    const int length = std::snprintf(text, sizeof text, "%f", value);
    std::string number(text, static_cast<std::size_t>(length));
    std::replace(number.begin(), number.end(), '.', ',');
    return number;
}
