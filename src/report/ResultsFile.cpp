#include "report/ResultsFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "batch/Folders.h"
#include "report/ResultRows.h"
#include "shell/Console.h"
#include "shell/Settings.h"

namespace {

constexpr const char* kHeader = "SOLVER;NOME;TEMPO;STATUS;Z;TEMPO LEITUR\r\n";

// The file of the current run, kept open between models.
struct OpenResultsFile {
    std::string folder;
    int fd = -1;
    off_t size = 0;
    std::size_t rowsWritten = 0;
};

OpenResultsFile g_file;

void closeFile()
{
    if (g_file.fd >= 0)
        close(g_file.fd);
    g_file = OpenResultsFile{};
}

void appendLines(std::string& text, std::size_t firstRow)
{
    for (std::size_t i = firstRow; i < g_resultRows.size(); ++i) {
        text += g_solverName;
        text += ';';
        text += g_resultRows[i];
        text += "\r\n";
    }
}

// Writes all of text or fails with errno set.
bool writeAll(int fd, const std::string& text)
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

// The file is still as this run left it. Deleting it, its folder, or replacing it (as
// editors do when they save) leaves ours without a name; emptying it or adding to it from
// outside changes its size. Either way the next write gives the whole file back.
bool stillAsLeft()
{
    struct stat info;
    return fstat(g_file.fd, &info) == 0 && info.st_nlink > 0 && info.st_size == g_file.size;
}

// Writes the text to a new file beside the old one and renames it over it, so that
// readers see either the old file or the complete new one. The open file, or -1.
int writeBeside(const std::string& folder, const std::string& path, const std::string& text)
{
    const std::string temporary = pathInFolder(folder, "." + std::string(kResultsFileName) + ".tmp");
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return -1;
    if (!writeAll(fd, text) || rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        close(fd);
        unlink(temporary.c_str());
        errno = error;
        return -1;
    }
    return fd;
}

// A folder the user may not write to can still hold a results file they may write: it is
// then rewritten in place. The open file, or -1.
int writeInPlace(const std::string& path, const std::string& text)
{
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (!writeAll(fd, text)) {
        const int error = errno;
        close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool replaceWhole(const std::string& folder)
{
    const std::string path = pathInFolder(folder, kResultsFileName);
    std::string text = kHeader;
    appendLines(text, 0);
    int fd = writeBeside(folder, path, text);
    if (fd < 0 && (errno == EACCES || errno == EPERM)) {
        const int folderError = errno;
        fd = writeInPlace(path, text);
        // The folder's refusal tells more than the missing file.
        if (fd < 0 && errno == ENOENT)
            errno = folderError;
    }
    if (fd < 0)
        return false;
    g_file.folder = folder;
    g_file.fd = fd;
    g_file.size = static_cast<off_t>(text.size());
    g_file.rowsWritten = g_resultRows.size();
    return true;
}

// Appends the rows written since the last call in one write; a write that fails part-way
// is cut back so that no partial line stays in the file.
bool appendNewRows()
{
    std::string text;
    appendLines(text, g_file.rowsWritten);
    if (!writeAll(g_file.fd, text)) {
        const int error = errno;
        if (ftruncate(g_file.fd, g_file.size) != 0) {
            // Nothing more can be done for the partial line; the next call rewrites the file.
        }
        errno = error;
        return false;
    }
    g_file.size += static_cast<off_t>(text.size());
    g_file.rowsWritten = g_resultRows.size();
    return true;
}

}  // namespace

void writeResultsFile(std::string outputFolder)
{
    if (g_file.fd >= 0 && (g_file.folder != outputFolder || !stillAsLeft()))
        closeFile();
    const bool written = g_file.fd >= 0 ? appendNewRows() : replaceWhole(outputFolder);
    if (!written) {
        const int error = errno;
        closeFile();
        printError("Erro ao gravar " + pathInFolder(outputFolder, kResultsFileName) + ": " + std::strerror(error)
                   + "\n");
    }
}

void finishResultsFile()
{
    closeFile();
}
