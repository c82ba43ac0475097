#pragma once

#include <string>

#include <sys/stat.h>

// The new LP file replaces the old one only once GLPK has written it whole. Where that
// cannot be done (a folder the user may not write to, a final name that is no plain file or
// one that GLPK could not open for writing either, a name too long to extend), GLPK writes
// the final file itself as it always did, so that it succeeds and fails as before.
class LpReplacement {
public:
    explicit LpReplacement(const std::string& lpPath);
    ~LpReplacement();
    LpReplacement(const LpReplacement&) = delete;
    LpReplacement& operator=(const LpReplacement&) = delete;

    // The name GLPK is to write.
    const std::string& writePath() const { return m_temporary.empty() ? m_final : m_temporary; }
    // Gives the written file the final name (and the old file's owner and mode).
    bool commit();

private:
    void forget();

    std::string m_final;
    std::string m_temporary;  // empty when GLPK writes the final file
    bool m_keepsOldFile = false;
    struct stat m_old = {};
};

// Removes the temporary LP file being written now, if there is one: for a handler of a signal
// that ends the program, so it makes plain system calls only.
void removeUnfinishedLpFile();
