#include "backends/ModelFile.h"

#include <sys/stat.h>

bool hasLpSuffix(const std::string& path)
{
    return path.size() >= 2 && path.compare(path.size() - 2, 2, "lp") == 0;
}

bool isRegularFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
