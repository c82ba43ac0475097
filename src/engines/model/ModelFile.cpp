#include "engines/model/ModelFile.h"

#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A device or pipe that never ends (/dev/zero) stops here instead of filling the memory.
constexpr std::size_t kLongestStream = std::size_t{256} << 20;

// Reads the whole file: 0, or the reason (an errno value). SCIP counts a folder as a file
// it cannot open.
int readWholeFile(const char* filename, std::string& text)
{
    const int fd = open(filename, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int failure = 0;
    struct stat info;
    if (fstat(fd, &info) != 0)
        failure = errno;
    else if (S_ISDIR(info.st_mode))
        failure = EISDIR;
    else if (info.st_size > 0)
        text.resize(static_cast<std::size_t>(info.st_size));
    const bool stream = failure == 0 && !S_ISREG(info.st_mode);
    std::size_t done = 0;
    while (failure == 0) {
        if (stream && done >= kLongestStream) {
            failure = EFBIG;
            break;
        }
        if (done == text.size())
            text.resize(done + 65536);  // the file may have grown, or be a pipe
        const ssize_t count = read(fd, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            failure = errno;
        if (count <= 0)
            break;
        done += static_cast<std::size_t>(count);
    }
    text.resize(done);
    if (close(fd) != 0 && failure == 0)
        failure = errno;
    return failure;
}

}  // namespace

int readModelFile(const char* path, LpModel& model, LpReadError& error)
{
    if (const int failure = readWholeFile(path, model.text))
        return failure;
    return parseLpText(model.text, model, error) ? 0 : -1;
}
