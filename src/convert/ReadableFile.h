#pragma once

#include <string>

// True if the path names a file that can be opened for reading. The file is opened and
// closed again; nothing is read.
bool isReadableFile(const std::string& path);

// True if the path names something that exists but is neither a file nor a folder (a FIFO,
// a socket, a device): opening it to read may wait for ever.
bool isStreamOrDevice(const std::string& path);
