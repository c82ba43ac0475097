#include "batch/Folders.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <sys/stat.h>

#include "batch/FileSystemError.h"
#include "shell/Console.h"

namespace {

bool meansMissing(int error)
{
    return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG || error == ELOOP;
}

void reportListingError(const std::string& description)
{
    printError("Erro ao acessar a pasta: " + description + "\n");
}

}  // namespace

bool isValidFolder(std::string path)
{
    // No file-system name holds a NUL byte; the system call would stop at it.
    if (path.find('\0') != std::string::npos)
        return false;
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        if (meansMissing(errno))
            return false;
        throw FileSystemError("exists", path, errno);
    }
    return S_ISDIR(info.st_mode);
}

std::vector<std::string> listFolder(const std::string& folder)
{
    std::vector<std::string> entries;
    DIR* dir = nullptr;
    if (folder.find('\0') == std::string::npos)
        dir = opendir(folder.c_str());
    else
        errno = ENOENT;
    if (!dir) {
        reportListingError(std::string("directory_iterator::directory_iterator: ") + std::strerror(errno) + ": \""
                           + folder + "\"");
        return entries;
    }
    const bool endsInSeparator = !folder.empty() && folder.back() == kPathSeparator;
    const std::string prefix = endsInSeparator ? folder : folder + kPathSeparator;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir);
        if (!entry) {
            if (errno != 0)
                reportListingError(std::string("directory_iterator::operator++: ") + std::strerror(errno));
            break;
        }
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        entries.push_back(prefix + name);
    }
    closedir(dir);
    // The system enumerates in hash order; users need stable model numbers.
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::vector<std::string> splitPath(std::string path)
{
    std::vector<std::string> pieces;
    std::string::size_type start = 0;
    for (auto at = path.find(kPathSeparator); at != std::string::npos; at = path.find(kPathSeparator, start)) {
        pieces.push_back(path.substr(start, at - start));
        start = at + 1;
    }
    pieces.push_back(path.substr(start));
    return pieces;
}

std::string pathInFolder(const std::string& folder, const std::string& name)
{
    return folder + kPathSeparator + name;
}
