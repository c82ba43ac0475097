#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// File-system helpers return their failures as values; the caller decides what to tell.

// A failed operation other than a missing path: "remove: Permission denied: "/data/x.csv"".
struct FsError {
    std::string operation;
    std::string path;
    int code = 0;

    std::string describe() const;
};

// Whether the path names an existing folder, links followed. A missing path is a plain
// "no"; any other failure of the query is an error ("exists").
struct FolderCheck {
    bool isFolder = false;
    std::optional<FsError> error;
};
FolderCheck checkFolder(const std::string& path);

// The folder's entries as full paths (the folder text as given, a '/' unless it already ends
// in one, the entry's name), sorted by name, "." and ".." left out. A failure ends the listing:
// the entries gathered until then are kept, with the description of the failure.
struct Listing {
    std::vector<std::string> entries;
    std::optional<std::string> error;
};
Listing listFolder(const std::string& folder);

// Only a regular file (links followed) is read as a model: a folder or a dangling link is no
// model, and a pipe would block the run.
bool isRegularFile(const std::string& path);

// True if the path names a file that can be opened for reading. The file is opened and
// closed again; nothing is read.
bool isReadableFile(const std::string& path);

// True if the path names something that exists but is neither a file nor a folder (a FIFO,
// a socket, a device): opening it to read may wait for ever.
bool isStreamOrDevice(const std::string& path);

// Writes all of the text, or fails with errno set.
bool writeAll(int fd, std::string_view text);

// Writes the text to `temporary` (beside `path`) and renames it over `path`, so that readers
// see the old file or the whole new one. 0, or the errno of the failure.
int replaceFile(const std::string& path, const std::string& temporary, std::string_view text);

// Makes the folder, unless one is there already. 0, or the errno of the failure (ENOTDIR
// when something else has the name).
int makeFolder(const std::string& path);

// A file's whole text; nullopt when it cannot be read (errno tells why).
std::optional<std::string> readWholeFile(const std::string& path);
