#pragma once

#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it
// (permissions restored first) when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    // path() + "/" + name
    std::string file(const std::string& name) const;
    // Writes a file (creating its folders) and returns its path.
    std::string write(const std::string& name, const std::string& contents) const;
    // Creates a folder and returns its path.
    std::string folder(const std::string& name) const;

private:
    std::string m_path;
};

std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
