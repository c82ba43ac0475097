#pragma once

#include <string>

// Whether a batch entry is handed to a solver: its path's last two characters are "lp".
bool hasLpSuffix(const std::string& path);

// Only a regular file (links followed) is read as a model: a folder or a dangling link is
// no model, and a pipe would block the run.
bool isRegularFile(const std::string& path);
