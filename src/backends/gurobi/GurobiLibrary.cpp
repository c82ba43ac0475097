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

// The loader reads an empty or relative entry of LD_LIBRARY_PATH against the working
// directory (a common result of appending to an unset variable). The library is looked
// for there by the loader only if no such directory holds a file of that name.
bool searchAvoidsWorkingDirectory()
{
    const char* value = std::getenv("LD_LIBRARY_PATH");
    if (!value)
        return true;
    std::string_view entries = value;
    for (;;) {
        const auto end = entries.find_first_of(":;");
        const std::string_view entry = entries.substr(0, end);
        if (entry.empty() || (entry.front() != '/' && entry.front() != '$')) {
            const std::string folder = entry.empty() ? std::string(".") : std::string(entry);
            if (access((folder + "/" + kGurobiLibraryName).c_str(), F_OK) == 0)
                return false;
        }
        if (end == std::string_view::npos)
            return true;
        entries.remove_prefix(end + 1);
    }
}

}  // namespace

void* openGurobiLibrary()
{
    const std::string ownFolder = programFolder();
    if (!ownFolder.empty())
        if (void* handle = openFile(ownFolder + "/" + kGurobiLibraryName))
            return handle;
    if (!searchAvoidsWorkingDirectory())
        return nullptr;
    return dlopen(kGurobiLibraryName, RTLD_NOW | RTLD_LOCAL);
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
        && resolve(library, "GRBstartenv", functions.startenv)
        && resolve(library, "GRBreadmodel", functions.readmodel)
        && resolve(library, "GRBgetenv", functions.getenv)
        && resolve(library, "GRBprefetchattr", functions.prefetchattr)
        && resolve(library, "GRBgetintattr", functions.getintattr)
        && resolve(library, "GRBgetdblattr", functions.getdblattr)
        && resolve(library, "GRBupdatemodel", functions.updatemodel)
        && resolve(library, "GRBoptimize", functions.optimize)
        && resolve(library, "GRBgeterrormsg", functions.geterrormsg)
        && resolve(library, "GRBfreemodel", functions.freemodel);
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
