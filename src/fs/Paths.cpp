#include "fs/Paths.h"

std::string pathInFolder(const std::string& folder, const std::string& name)
{
    return folder + kPathSeparator + name;
}

std::string fileName(const std::string& path)
{
    return path.substr(path.rfind(kPathSeparator) + 1);
}

bool hasSuffix(std::string_view path, std::string_view suffix)
{
    return path.size() >= suffix.size() && path.substr(path.size() - suffix.size()) == suffix;
}
