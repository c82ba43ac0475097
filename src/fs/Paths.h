#pragma once

#include <string>
#include <string_view>

inline constexpr char kPathSeparator = '/';

// The folder text followed by the separator and the name, nothing normalised.
std::string pathInFolder(const std::string& folder, const std::string& name);

// What follows the last separator of a path.
std::string fileName(const std::string& path);

// Whether the path's last characters are exactly `suffix` (case counts, no dot implied).
bool hasSuffix(std::string_view path, std::string_view suffix);
