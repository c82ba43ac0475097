// The engine's own cost of a batch: create, read, solve and free every .lp file of a
// folder in one process, with the log silenced as in a quiet run. Nothing else.
#include <cstdio>
#include <cstring>

#include <dirent.h>

#include <scip/scip.h>
#include <scip/scipdefplugins.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder of .lp models>\n", argv[0]);
        return 2;
    }
    DIR* dir = opendir(argv[1]);
    if (!dir) {
        std::perror(argv[1]);
        return 1;
    }
    int solved = 0;
    char path[8192];
    while (const dirent* entry = readdir(dir)) {
        const std::size_t length = std::strlen(entry->d_name);
        if (length < 3 || std::strcmp(entry->d_name + length - 3, ".lp") != 0)
            continue;
        std::snprintf(path, sizeof path, "%s/%s", argv[1], entry->d_name);
        SCIP* scip = nullptr;
        if (SCIPcreate(&scip) != SCIP_OKAY || SCIPincludeDefaultPlugins(scip) != SCIP_OKAY
            || SCIPcreateProbBasic(scip, "lp_example") != SCIP_OKAY || SCIPreadProb(scip, path, nullptr) != SCIP_OKAY
            || SCIPsetMessagehdlr(scip, nullptr) != SCIP_OKAY || SCIPsolve(scip) != SCIP_OKAY)
            std::fprintf(stderr, "failed: %s\n", path);
        else
            ++solved;
        if (scip)
            SCIPfree(&scip);
    }
    closedir(dir);
    std::fprintf(stderr, "%d models\n", solved);
    return 0;
}
