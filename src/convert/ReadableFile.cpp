#include "convert/ReadableFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
