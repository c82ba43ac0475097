#include "batch/FileSystemError.h"

#include <cstring>

FileSystemError::FileSystemError(const std::string& operation, const std::string& path, int error)
    : std::runtime_error(operation + ": " + std::strerror(error) + ": \"" + path + "\""), m_error(error)
{
}
