#pragma once

#include <cstdio>
#include <cstring>
#include <functional>

#include <dirent.h>

// Hands `solve` every .lp file of `folder` in listing order, as a run meets them, and prints
// how many it solved on standard error; the exit status of a baseline program.
inline int solveEveryLpFile(const char* folder, const std::function<bool(const char* path)>& solve)
{
    DIR* dir = opendir(folder);
    if (!dir) {
        std::perror(folder);
        return 1;
    }
    int solved = 0;
    char path[8192];
    while (const dirent* entry = readdir(dir)) {
        const std::size_t length = std::strlen(entry->d_name);
        if (length < 3 || std::strcmp(entry->d_name + length - 3, ".lp") != 0)
            continue;
        std::snprintf(path, sizeof path, "%s/%s", folder, entry->d_name);
        if (solve(path))
            ++solved;
        else
            std::fprintf(stderr, "failed: %s\n", path);
    }
    closedir(dir);
    std::fprintf(stderr, "%d models\n", solved);
    return 0;
}
