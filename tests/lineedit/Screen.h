#pragma once

#include <string>
#include <string_view>
#include <vector>

// What a terminal shows after the given output: one text per line, escape sequences for
// cursor movement and erasing carried out, others dropped. Enough for a line editor's
// output; no wrapping (the tests use a wide window).
std::vector<std::string> screenLines(std::string_view output);
