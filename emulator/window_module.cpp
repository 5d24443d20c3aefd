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

// dlerror's text, on one line, with the descriptor's path put back as the
// module's own.
std::string LastLoadError(const std::string& loaded, const std::string& path) {
    const char* error = dlerror();
    std::string reason = error != nullptr ? error : "unknown error";
    for (size_t at = reason.find(loaded); at != std::string::npos;
         at = reason.find(loaded, at + path.size())) {
        reason.replace(at, loaded.size(), path);
    }
    for (char& c : reason) {
        c = (c == '\n' || c == '\r') ? ' ' : c;  // the launcher prints one line
    }
    return reason;
}

// An open descriptor, closed at the end of its scope unless kept.
class OpenFile {
public:
    explicit OpenFile(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~OpenFile() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int fd() const { return fd_; }
    // Left open to the end of the process.
    void Keep() { fd_ = -1; }

private:
    int fd_;
};

// By process id, not /proc/self: the name the loader keeps must mean the
// same file to a debugger or a sanitizer's symbolizer in another process.
std::string DescriptorPath(int fd) {
    return "/proc/" + std::to_string(getpid()) + "/fd/" + std::to_string(fd);
}

// Loads the module at `path` once its headers say the loader can map it: a
// truncated module would be SIGBUS inside dlopen. The module is checked and
// loaded through one descriptor, so the file checked is the file loaded.
void* LoadCheckedModule(const OpenFile& file, const std::string& path) {
    if (file.fd() < 0) {
        throw std::runtime_error("cannot open a window: cannot load the window front-end: " + path +
                                 ": " + std::strerror(errno));
    }
    std::string damage;
    try {
        damage = ModuleDamage(file.fd(), ExecutableMachine());
    } catch (const std::runtime_error& failure) {
        throw std::runtime_error("cannot open a window: the window front-end " + path + ": " +
                                 failure.what());
    }
    if (!damage.empty()) {
        throw std::runtime_error("cannot open a window: the window front-end " + path +
                                 " is damaged: " + damage);
    }
    const std::string loaded = DescriptorPath(file.fd());
    // Every symbol now, so that a module from another build fails here, not
    // in the middle of a run.
    void* module = dlopen(loaded.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        throw std::runtime_error("cannot open a window: cannot load the window front-end: " +
                                 LastLoadError(loaded, path));
    }
    return module;
}
}  // namespace

std::unique_ptr<Frontend> OpenWindowModule(const std::string& fileName,
                                           const SdlFrontendOptions& options) {
    const std::string path = NextToExecutable(fileName);
    OpenFile file(path);
    void* module = LoadCheckedModule(file, path);
    const std::string loaded = DescriptorPath(file.fd());
    // The loader knows the module by its descriptor's path: open, that path
    // names the module for as long as it is loaded, which is to the end.
    file.Keep();
    const auto entry = reinterpret_cast<SdlModuleEntry>(dlsym(module, kSdlModuleEntry));
    if (entry == nullptr) {
        throw std::runtime_error(
            "cannot open a window: " + path +
            " is not this build's window front-end: " + LastLoadError(loaded, path));
    }
    std::string reason;
    Frontend* frontend = entry(&options, &reason);
    if (frontend == nullptr) {
        throw std::runtime_error(reason);
    }
    return std::unique_ptr<Frontend>(frontend);
}
