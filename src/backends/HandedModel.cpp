#include "backends/HandedModel.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <new>
#include <vector>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include "engines/model/ModelFile.h"

namespace {

constexpr std::size_t kInputPiece = std::size_t{1} << 20;

bool readsCompression(const ModelKinds& reads, Compression compression)
{
    return compression == Compression::None || (compression == Compression::Gzip && reads.gzip)
        || (compression == Compression::Bzip2 && reads.bzip2);
}

// Writes all of it; false when the reader has gone (EPIPE) or the write fails.
bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Streams the decompressed file into the pipe. A reader that stops early (SCIP stops at
// ENDATA, or at its first error) is no failure of ours; data that is not what the name says is.
std::optional<std::string> decompress(int source, int sink, Compression compression)
{
    Decoder decoder(compression);
    bool readerGone = false;
    const Decoder::Sink write = [sink, &readerGone](const char* data, std::size_t size) {
        readerGone = !writeAll(sink, data, size);
        return !readerGone;
    };
    std::vector<char> piece(kInputPiece);
    for (;;) {
        const ssize_t count = read(source, piece.data(), piece.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::string("cannot read the file: ") + std::strerror(errno);
        const bool decoded = count == 0 ? decoder.finish(write)
                                        : decoder.feed(piece.data(), static_cast<std::size_t>(count), write);
        if (!decoded)
            return readerGone ? std::nullopt : std::optional<std::string>(decoder.reason());
        if (count == 0)
            return std::nullopt;
    }
}

}  // namespace

HandedModel::HandedModel(const std::string& path, const ModelKinds& reads) : m_path(path)
{
    const std::optional<ModelKind> kind = modelKindOfName(path);
    if (!kind || readsCompression(reads, kind->compression))
        return;
    const int source = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return;  // the solver tells why it cannot open the file
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        m_failure = std::string("cannot create a pipe: ") + std::strerror(errno);
        close(source);
        return;
    }
    m_readEnd = ends[0];
    m_path = "/proc/self/fd/" + std::to_string(m_readEnd);
    m_extension = kind->format == ModelFormat::Mps ? "mps" : "lp";
    const int writeEnd = ends[1];
    const Compression compression = kind->compression;
    m_writer = std::thread([this, source, writeEnd, compression] {
        // A reader that stops early makes write() fail with EPIPE instead of killing the process.
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        try {
            m_failure = decompress(source, writeEnd, compression);
        } catch (const std::bad_alloc&) {
            m_failure = "not enough memory to decompress the file";
        }
        close(source);
        close(writeEnd);
    });
}

HandedModel::~HandedModel()
{
    finish();
}

void HandedModel::closeReadEnd()
{
    if (m_readEnd >= 0)
        close(m_readEnd);
    m_readEnd = -1;
}

std::optional<std::string> HandedModel::finish()
{
    // The writer may wait for a reader that has stopped: without a read end it stops too.
    closeReadEnd();
    if (m_writer.joinable())
        m_writer.join();
    return m_failure;
}
