#include "fs/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fs/Paths.h"

namespace {

bool meansMissing(int error)
{
    return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG || error == ELOOP;
}

}  // namespace

std::string FsError::describe() const
{
    return operation + ": " + std::strerror(code) + ": \"" + path + "\"";
}

FolderCheck checkFolder(const std::string& path)
{
    // No file-system name holds a NUL byte; the system call would stop at it.
    if (path.find('\0') != std::string::npos)
        return {};
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        if (meansMissing(errno))
            return {};
        return {false, FsError{"exists", path, errno}};
    }
    return {S_ISDIR(info.st_mode), std::nullopt};
}

Listing listFolder(const std::string& folder)
{
    Listing listing;
    DIR* dir = nullptr;
    if (folder.find('\0') == std::string::npos)
        dir = opendir(folder.c_str());
    else
        errno = ENOENT;
    if (!dir) {
        listing.error = std::string("directory_iterator::directory_iterator: ") + std::strerror(errno) + ": \"" + folder
            + "\"";
        return listing;
    }
    const bool endsInSeparator = !folder.empty() && folder.back() == kPathSeparator;
    const std::string prefix = endsInSeparator ? folder : folder + kPathSeparator;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir);
        if (!entry) {
            if (errno != 0)
                listing.error = std::string("directory_iterator::operator++: ") + std::strerror(errno);
            break;
        }
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        listing.entries.push_back(prefix + name);
    }
    closedir(dir);
    // The system enumerates in hash order; users need stable model numbers.
    std::sort(listing.entries.begin(), listing.entries.end());
    return listing;
}

bool isRegularFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool writeAll(int fd, std::string_view text)
{
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool isReadableFile(const std::string& path)
{
    if (path.find('\0') != std::string::npos)
        return false;
    // Non-blocking, so that a FIFO does not wait for a writer.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    // A folder opens for reading here, but it holds no data: only a regular file counts.
    struct stat info;
    const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    // The file was only opened to test it; a failed close changes nothing about that.
    static_cast<void>(close(fd));
    return regular;
}

bool isStreamOrDevice(const std::string& path)
{
    struct stat info;
    if (path.find('\0') != std::string::npos || stat(path.c_str(), &info) != 0)
        return false;
    return !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

int replaceFile(const std::string& path, const std::string& temporary, std::string_view text)
{
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    int error = 0;
    if (!writeAll(fd, text))
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0)
        unlink(temporary.c_str());
    return error;
}

int makeFolder(const std::string& path)
{
    if (mkdir(path.c_str(), 0777) == 0)
        return 0;
    const int error = errno;
    struct stat info;
    if (error == EEXIST)
        return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    return error;
}

std::optional<std::string> readWholeFile(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return text;
}
