#include "platform/hostsymbols.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace hostsymbols {

void* FindInProcess(const char* name)
{
    if (!name)
        return nullptr;
    return ::dlsym(RTLD_DEFAULT, name);
}

std::string ModulePath(const void* address)
{
    Dl_info info {};
    if (::dladdr(address, &info) == 0 || !info.dli_fname || !*info.dli_fname)
        return {};
    std::string path = info.dli_fname;
    // A library loaded by a relative path is named as it was loaded; the
    // names derived from it must not change with the working folder.
    if (path.front() != '/') {
        const std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
        if (cwd)
            path = std::string(cwd.get()) + "/" + path;
    }
    return path;
}

} // namespace hostsymbols
