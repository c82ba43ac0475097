#include "report/TableFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fs/Files.h"
#include "fs/Paths.h"

namespace {

// Writes the text to a new file beside the old one and renames it over it, so that readers
// see either the old file or the complete new one. The open file, or -1.
int writeBeside(const std::string& temporary, const std::string& path, const std::string& text)
{
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return -1;
    if (!writeAll(fd, text) || rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::close(fd);
        unlink(temporary.c_str());
        errno = error;
        return -1;
    }
    return fd;
}

// A folder the user may not write to can still hold a file they may write. The open file, or -1.
int writeInPlace(const std::string& path, const std::string& text)
{
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (!writeAll(fd, text)) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

}  // namespace

TableFile::TableFile(std::string folder, std::string name, std::string header)
    : m_folder(std::move(folder)), m_name(std::move(name)), m_path(pathInFolder(m_folder, m_name)),
      m_header(std::move(header))
{
}

TableFile::~TableFile()
{
    close();
}

void TableFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

int TableFile::create()
{
    close();
    return replaceWhole();
}

int TableFile::append(std::string_view line)
{
    m_lines.emplace_back(line);
    if (m_fd >= 0 && !stillAsLeft())
        close();
    const int error = m_fd >= 0 ? appendNew() : replaceWhole();
    if (error != 0)
        close();
    return error;
}

bool TableFile::isFile(const std::string& other) const
{
    struct stat mine, theirs;
    return m_fd >= 0 && fstat(m_fd, &mine) == 0 && stat(other.c_str(), &theirs) == 0 && mine.st_dev == theirs.st_dev
        && mine.st_ino == theirs.st_ino;
}

// Deleting the file, its folder, or replacing it (as editors do when they save) leaves ours
// without a name; emptying it or adding to it from outside changes its size.
bool TableFile::stillAsLeft() const
{
    struct stat info;
    return fstat(m_fd, &info) == 0 && info.st_nlink > 0 && info.st_size == m_size;
}

int TableFile::replaceWhole()
{
    std::string text = m_header;
    for (const auto& line : m_lines)
        text += line;
    int fd = writeBeside(pathInFolder(m_folder, "." + m_name + ".tmp"), m_path, text);
    if (fd < 0 && (errno == EACCES || errno == EPERM)) {
        const int folderError = errno;
        fd = writeInPlace(m_path, text);
        // The folder's refusal tells more than the missing file.
        if (fd < 0 && errno == ENOENT)
            errno = folderError;
    }
    if (fd < 0)
        return errno;
    m_fd = fd;
    m_size = static_cast<off_t>(text.size());
    m_linesWritten = m_lines.size();
    return 0;
}

// The lines added since the last write go out in one write; a write that fails part-way is
// cut back so that no partial line stays in the file.
int TableFile::appendNew()
{
    std::string text;
    for (std::size_t i = m_linesWritten; i < m_lines.size(); ++i)
        text += m_lines[i];
    if (!writeAll(m_fd, text)) {
        const int error = errno;
        if (ftruncate(m_fd, m_size) != 0) {
            // Nothing more can be done for the partial line; the next call rewrites the file.
        }
        return error;
    }
    m_size += static_cast<off_t>(text.size());
    m_linesWritten = m_lines.size();
    return 0;
}
