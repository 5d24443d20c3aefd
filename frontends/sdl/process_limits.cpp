#include "frontends/sdl/process_limits.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
// The process's mapped size (VmSize), from /proc/self/statm.
uint64_t MappedBytes() {
    unsigned long long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "re")) {
        if (std::fscanf(statm, "%llu", &pages) != 1) {
            pages = 0;
        }
        std::fclose(statm);
    }
    return pages * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}
}  // namespace

bool AddressSpaceLeft(uint64_t* bytes) {
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return false;
    }
    const uint64_t mapped = MappedBytes();
    *bytes = limit.rlim_cur > mapped ? limit.rlim_cur - mapped : 0;
    return true;
}

std::string DescriptorShortage(int count) {
    std::vector<int> opened;
    int error = 0;
    while (static_cast<int>(opened.size()) < count) {
        const int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            error = errno;
            break;
        }
        opened.push_back(fd);
    }
    for (const int fd : opened) {
        close(fd);
    }
    if (error != EMFILE && error != ENFILE) {
        return "";
    }
    std::string reason = std::strerror(error);
    rlimit limit{};
    if (error == EMFILE && getrlimit(RLIMIT_NOFILE, &limit) == 0 &&
        limit.rlim_cur != RLIM_INFINITY) {
        reason += " (ulimit -n is " + std::to_string(limit.rlim_cur) + ")";
    }
    return reason;
}
