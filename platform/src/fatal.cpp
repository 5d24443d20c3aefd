#include "platform/src/fatal.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

void Fatal(const char* what) {
    std::fprintf(stderr, "device: %s\n", what);
    std::abort();
}

}  // namespace platform
