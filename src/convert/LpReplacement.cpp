#include "convert/LpReplacement.h"

#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The temporary of the LpReplacement that lives now; read by a signal handler.
std::atomic<const char*> g_unfinished{nullptr};
static_assert(std::atomic<const char*>::is_always_lock_free, "a signal handler reads the temporary's name");

// Where the new LP file is written before it takes the final name: beside it, so that the
// rename stays within one file system, hidden, and ending in neither "lp" nor "mod", so
// that a run over the folder passes it over. The process id keeps two programs apart.
std::string temporaryNameFor(const std::string& lpPath)
{
    const std::string::size_type slash = lpPath.rfind('/');
    const std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
    return lpPath.substr(0, nameStart) + "." + lpPath.substr(nameStart) + "." + std::to_string(getpid()) + ".tmp";
}

}  // namespace

LpReplacement::LpReplacement(const std::string& lpPath) : m_final(lpPath)
{
    const bool exists = lstat(lpPath.c_str(), &m_old) == 0;
    if (!exists && errno != ENOENT)
        return;
    if (exists && (!S_ISREG(m_old.st_mode) || faccessat(AT_FDCWD, lpPath.c_str(), W_OK, AT_EACCESS) != 0))
        return;
    const std::string temporary = temporaryNameFor(lpPath);
    // One left by a run of a process with the same id that was killed.
    static_cast<void>(unlink(temporary.c_str()));
    // Known before it exists, so that a signal never leaves it behind.
    m_temporary = temporary;
    g_unfinished.store(m_temporary.c_str());
    const int fd = open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        forget();
        return;
    }
    static_cast<void>(close(fd));
    m_keepsOldFile = exists;
}

LpReplacement::~LpReplacement()
{
    if (m_temporary.empty())
        return;
    static_cast<void>(unlink(m_temporary.c_str()));
    forget();
}

// Forgotten only once it is gone: a signal in between removes nothing that exists.
void LpReplacement::forget()
{
    g_unfinished.store(nullptr);
    m_temporary.clear();
}

bool LpReplacement::commit()
{
    if (m_temporary.empty())
        return true;
    if (m_keepsOldFile) {
        // Only root may give a file away; anyone else keeps the new file as their own.
        static_cast<void>(chown(m_temporary.c_str(), m_old.st_uid, m_old.st_gid));
        static_cast<void>(chmod(m_temporary.c_str(), m_old.st_mode & 07777));
    }
    if (rename(m_temporary.c_str(), m_final.c_str()) != 0)
        return false;
    forget();
    return true;
}

void removeUnfinishedLpFile()
{
    if (const char* path = g_unfinished.load())
        static_cast<void>(unlink(path));
}
