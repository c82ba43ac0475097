#pragma once

#include <stdexcept>
#include <string>

// A failed file-system operation other than a missing path. Its description names the
// operation, the system's text for the error and the path:
//   remove: Permission denied: "/data/modelos/sol_stat.csv"
class FileSystemError : public std::runtime_error {
public:
    FileSystemError(const std::string& operation, const std::string& path, int error);

    int errorCode() const { return m_error; }

private:
    int m_error;
};
