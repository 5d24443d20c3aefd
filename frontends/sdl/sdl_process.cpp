#include "frontends/sdl/sdl_process.h"

#include <dlfcn.h>
#include <link.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <mutex>
#include <string>
#include <vector>

namespace {
// SDL shows a message box from a child process (a fork of its own, or
// zenity) and waits for it. Were the launcher to end meanwhile (a second stop
// signal), the child would stay, and with it the box, the launcher's window
// (the child holds the inherited display connection) and the caller's output
// pipes.
pid_t gLauncher = 0;

void OnForkInChild() {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != gLauncher) {
        _exit(127);  // the launcher ended before the line above took effect
    }
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif
}  // namespace

void EndChildrenWithTheLauncher() {
    static std::once_flag once;
    std::call_once(once, [] {
        gLauncher = getpid();
        pthread_atfork(nullptr, nullptr, OnForkInChild);
    });
}

// A sanitizer reports at exit what a library kept or did; a library SDL has
// unloaded by then (Mesa's GL driver) shows as an unknown module that no
// suppression can name.
void KeepLibrariesLoaded() {
    if (!kSanitized) {
        return;
    }
    std::vector<std::string> names;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* found) {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
                static_cast<std::vector<std::string>*>(found)->push_back(info->dlpi_name);
            }
            return 0;
        },
        &names);
    for (const std::string& name : names) {
        dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
    }
}
