#include "backends/gurobi/GurobiLibrary.h"

#include <cstdlib>
#include <string>
#include <string_view>

#include <dlfcn.h>
#include <unistd.h>

namespace {

std::string programFolder()
{
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer)
        return {};
    const std::string path(buffer, static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/'));
}

void* openFile(const std::string& path)
{
    return access(path.c_str(), F_OK) == 0 ? dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL) : nullptr;
}

}  // namespace

// The loader's own search reads LD_LIBRARY_PATH first, and takes an empty or relative entry
// against the working directory (a common result of appending to an unset variable). The
// absolute entries are tried here in the loader's order; the loader is left the rest of
// its search (its cache and the system folders) only when no other entry holds the file.
void* openGurobiLibrary()
{
    const std::string ownFolder = programFolder();
    if (!ownFolder.empty())
        if (void* handle = openFile(ownFolder + "/" + kGurobiLibraryName))
            return handle;

    bool copyInUnsafeFolder = false;
    if (const char* value = std::getenv("LD_LIBRARY_PATH")) {
        std::string_view entries = value;
        for (;;) {
            const auto end = entries.find_first_of(":;");
            const std::string entry(entries.substr(0, end));
            if (!entry.empty() && entry.front() == '/') {
                if (void* handle = openFile(entry + "/" + kGurobiLibraryName))
                    return handle;
            } else if (entry.empty() || entry.front() != '$') {
                const std::string folder = entry.empty() ? std::string(".") : entry;
                if (access((folder + "/" + kGurobiLibraryName).c_str(), F_OK) == 0)
                    copyInUnsafeFolder = true;
            }
            if (end == std::string_view::npos)
                break;
            entries.remove_prefix(end + 1);
        }
    }
    return copyInUnsafeFolder ? nullptr : dlopen(kGurobiLibraryName, RTLD_NOW | RTLD_LOCAL);
}

namespace {

template <typename Function>
bool resolve(void* library, const char* name, Function*& function)
{
    void* const symbol = dlsym(library, name);
    if (!symbol)
        return false;
    function = reinterpret_cast<Function*>(symbol);
    return true;
}

}  // namespace

bool resolveGurobiFunctions(void* library, GurobiFunctions& functions)
{
    return resolve(library, "GRBloadenvadv", functions.loadenvadv)
        && resolve(library, "GRBfreeenv", functions.freeenv)
        && resolve(library, "GRBsetdblparam", functions.setdblparam)
        && resolve(library, "GRBsetintparam", functions.setintparam)
        && resolve(library, "GRBsetstrparam", functions.setstrparam)
        && resolve(library, "GRBgetparamtype", functions.getparamtype)
        && resolve(library, "GRBreadparams", functions.readparams)
        && resolve(library, "GRBstartenv", functions.startenv)
        && resolve(library, "GRBreadmodel", functions.readmodel)
        && resolve(library, "GRBgetenv", functions.getenv)
        && resolve(library, "GRBprefetchattr", functions.prefetchattr)
        && resolve(library, "GRBgetintattr", functions.getintattr)
        && resolve(library, "GRBgetdblattr", functions.getdblattr)
        && resolve(library, "GRBgetdblattrarray", functions.getdblattrarray)
        && resolve(library, "GRBgetstrattrarray", functions.getstrattrarray)
        && resolve(library, "GRBupdatemodel", functions.updatemodel)
        && resolve(library, "GRBoptimize", functions.optimize)
        && resolve(library, "GRBgeterrormsg", functions.geterrormsg)
        && resolve(library, "GRBfreemodel", functions.freemodel)
        && resolve(library, "GRBversion", functions.version);
}

bool isGurobiLibraryAvailable()
{
    void* handle = openGurobiLibrary();
    if (!handle)
        return false;
    GurobiFunctions functions;
    const bool complete = resolveGurobiFunctions(handle, functions);
    dlclose(handle);
    return complete;
}

std::string gurobiVersion()
{
    const GurobiFunctions* functions = loadGurobiFunctions();
    if (!functions)
        return {};
    int major = 0, minor = 0, technical = 0;
    functions->version(&major, &minor, &technical);
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(technical);
}

const GurobiFunctions* loadGurobiFunctions()
{
    static GurobiFunctions functions;
    static bool loaded = false;
    if (loaded)
        return &functions;
    void* handle = openGurobiLibrary();
    if (!handle)
        return nullptr;
    if (!resolveGurobiFunctions(handle, functions)) {
        functions = GurobiFunctions{};
        dlclose(handle);
        return nullptr;
    }
    // The library stays loaded: the table points into it.
    loaded = true;
    return &functions;
}
