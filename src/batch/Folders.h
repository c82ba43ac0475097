#pragma once

#include <string>
#include <vector>

inline constexpr char kPathSeparator = '/';

// True if the path names an existing folder, links followed. A missing path is a plain
// false; any other failure throws FileSystemError ("exists").
bool isValidFolder(std::string path);

// The folder's entries as full paths (the folder text as given, a '/' unless it already
// ends in one, the entry's name), sorted by name, "." and ".." left out. Errors are
// reported on standard error and the entries gathered until then are returned.
std::vector<std::string> listFolder(const std::string& folder);

// The pieces of a path between its separators; never empty.
std::vector<std::string> splitPath(std::string path);

// The folder text followed by the separator and the name, nothing normalised.
std::string pathInFolder(const std::string& folder, const std::string& name);
