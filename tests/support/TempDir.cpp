#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <sys/stat.h>

namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "lumbrix-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(m_path, fs::directory_options::skip_permission_denied, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error))
            chmod(it->path().c_str(), 0700);
    }
    chmod(m_path.c_str(), 0700);
    fs::remove_all(m_path, error);
}

std::string TempDir::file(const std::string& name) const
{
    return m_path + "/" + name;
}

std::string TempDir::write(const std::string& name, const std::string& contents) const
{
    const std::string path = file(name);
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << contents;
    return path;
}

std::string TempDir::folder(const std::string& name) const
{
    const std::string path = file(name);
    fs::create_directories(path);
    return path;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

bool fileExists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}
