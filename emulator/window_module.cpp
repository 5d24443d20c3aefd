#include "emulator/window_module.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "emulator/module_check.h"
#include "frontends/sdl/sdl_module.h"

namespace {
std::string NextToExecutable(const std::string& fileName) {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    const std::string executable(path, length > 0 ? static_cast<size_t>(length) : 0);
    const size_t slash = executable.rfind('/');
    // A bare name would be looked for on the library path instead.
    if (slash == std::string::npos) {
        throw std::runtime_error(
            "cannot open a window: cannot find the window front-end: /proc/self/exe is unreadable");
    }
    return executable.substr(0, slash + 1) + fileName;
}

// dlerror's text, on one line.
std::string LastLoadError() {
    const char* error = dlerror();
    std::string reason = error != nullptr ? error : "unknown error";
    for (char& c : reason) {
        c = (c == '\n' || c == '\r') ? ' ' : c;  // the launcher prints one line
    }
    return reason;
}

// Throws unless the module at `path` is one the loader can map: a truncated
// module would be SIGBUS inside dlopen. Its descriptor is closed again
// before the load, so that loading takes no more descriptors than it did
// (a process short of them is told so by what the window needs).
void CheckModule(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error("cannot open a window: cannot load the window front-end: " + path +
                                 ": " + std::strerror(errno));
    }
    std::string damage;
    try {
        damage = ModuleDamage(fd, ExecutableMachine());
    } catch (const std::runtime_error& failure) {
        close(fd);
        throw std::runtime_error("cannot open a window: the window front-end " + path + ": " +
                                 failure.what());
    }
    close(fd);
    if (!damage.empty()) {
        throw std::runtime_error("cannot open a window: the window front-end " + path +
                                 " is damaged: " + damage);
    }
}

void* LoadCheckedModule(const std::string& path) {
    CheckModule(path);
    // Every symbol now, so that a module from another build fails here, not
    // in the middle of a run.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        throw std::runtime_error("cannot open a window: cannot load the window front-end: " +
                                 LastLoadError());
    }
    return module;
}
}  // namespace

std::unique_ptr<Frontend> OpenWindowModule(const std::string& fileName,
                                           const SdlFrontendOptions& options) {
    const std::string path = NextToExecutable(fileName);
    void* module = LoadCheckedModule(path);
    const auto entry = reinterpret_cast<SdlModuleEntry>(dlsym(module, kSdlModuleEntry));
    if (entry == nullptr) {
        throw std::runtime_error("cannot open a window: " + path +
                                 " is not this build's window front-end: " + LastLoadError());
    }
    std::string reason;
    Frontend* frontend = entry(&options, &reason);
    if (frontend == nullptr) {
        throw std::runtime_error(reason);
    }
    return std::unique_ptr<Frontend>(frontend);
}
