#include "engines/model/ModelFile.h"

#include <cerrno>
#include <mutex>
#include <string>
#include <strings.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A device or pipe that never ends (/dev/zero) stops here instead of filling the memory.
constexpr std::size_t kLongestStream = std::size_t{256} << 20;

// Larger files are read again rather than kept.
constexpr off_t kKeptFileBytes = off_t{1} << 20;

// Reads the whole file: 0, or the reason (an errno value). SCIP counts a folder as a file
// it cannot open. `info` is the file's, as opened.
int readWholeFile(const char* filename, std::string& text, struct stat& info)
{
    const int fd = open(filename, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int failure = 0;
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

bool isGzipData(const std::string& data)
{
    return data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0x1f
        && static_cast<unsigned char>(data[1]) == 0x8b;
}

// Replaces the file's bytes by what they decode to. Plain text passes unless the name says
// bzip2.
bool decode(Compression compression, std::string& text, LpReadError& error)
{
    if (compression != Compression::Bzip2 && !isGzipData(text))
        return true;
    if (compression == Compression::None)
        compression = Compression::Gzip;
    std::string decoded;
    decoded.reserve(text.size() * 4);
    const Decoder::Sink sink = [&decoded](const char* data, std::size_t size) {
        decoded.append(data, size);
        return true;
    };
    Decoder decoder(compression);
    if (!decoder.feed(text.data(), text.size(), sink) || !decoder.finish(sink)) {
        error.line = 0;
        error.message = decoder.reason();
        return false;
    }
    text = std::move(decoded);
    return true;
}

// The text after the last dot of the last path component; empty without one.
std::string_view extensionOf(std::string_view name)
{
    const std::size_t slash = name.find_last_of("/\\");
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return name.substr(dot + 1);
}


bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size
        && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec
        && a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// The last small model read with readModelFileKept, until it is taken.
struct KeptModel {
    std::string path;
    struct stat info {};
    std::shared_ptr<const LpModel> model;
};

std::mutex g_keptMutex;
KeptModel g_kept;

int readInto(const char* path, const ModelKind& kind, LpModel& model, LpReadError& error, struct stat& info)
{
    if (const int failure = readWholeFile(path, model.text, info))
        return failure;
    if (!decode(kind.compression, model.text, error))
        return -1;
    const bool parsed = kind.format == ModelFormat::Mps ? parseMpsText(model.text, model, error)
                                                        : parseLpText(model.text, model, error);
    return parsed ? 0 : -1;
}

}  // namespace

std::optional<ModelFormat> modelFormatOfExtension(std::string_view extension)
{
    const std::string copy(extension);
    if (strcasecmp(copy.c_str(), "lp") == 0)
        return ModelFormat::Lp;
    if (strcasecmp(copy.c_str(), "mps") == 0)
        return ModelFormat::Mps;
    return std::nullopt;
}

std::optional<ModelKind> modelKindOfName(std::string_view name)
{
    ModelKind kind;
    std::string_view extension = extensionOf(name);
    Compression compression = Compression::None;
    if (extension == "gz" || extension == "z" || extension == "Z")
        compression = Compression::Gzip;
    else if (extension == "bz2")
        compression = Compression::Bzip2;
    if (extension == "gz" || extension == "z" || extension == "Z" || extension == "bz2") {
        name.remove_suffix(extension.size() + 1);
        extension = extensionOf(name);
    }
    const std::optional<ModelFormat> format = modelFormatOfExtension(extension);
    if (!format)
        return std::nullopt;
    kind.format = *format;
    kind.compression = compression;
    return kind;
}

int readModelFile(const char* path, const ModelKind& kind, LpModel& model, LpReadError& error)
{
    struct stat info {};
    return readInto(path, kind, model, error, info);
}

int readModelFile(const char* path, LpModel& model, LpReadError& error)
{
    const std::optional<ModelKind> kind = modelKindOfName(path);
    if (!kind) {
        error.line = 0;
        error.message = "the file name names no model format (.lp or .mps, optionally followed by .gz or .bz2)";
        return -1;
    }
    return readModelFile(path, *kind, model, error);
}

int readModelFileKept(const char* path, const ModelKind& kind, std::shared_ptr<const LpModel>& model,
                      LpReadError& error)
{
    {
        const std::lock_guard lock(g_keptMutex);
        g_kept = KeptModel{};
    }
    auto fresh = std::make_shared<LpModel>();
    struct stat info {};
    const int failure = readInto(path, kind, *fresh, error, info);
    if (failure != 0)
        return failure;
    if (S_ISREG(info.st_mode) && info.st_size <= kKeptFileBytes) {
        const std::lock_guard lock(g_keptMutex);
        g_kept = KeptModel{path, info, fresh};
    }
    model = std::move(fresh);
    return 0;
}

std::shared_ptr<const LpModel> takeKeptModel(const char* path)
{
    KeptModel kept;
    {
        const std::lock_guard lock(g_keptMutex);
        std::swap(kept, g_kept);
    }
    struct stat info {};
    if (!kept.model || kept.path != path || stat(path, &info) != 0 || !sameFile(info, kept.info))
        return nullptr;
    return kept.model;
}
