#include "emulator/startup_shortage.h"

#include <cxxabi.h>
#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

namespace {
std::terminate_handler gPrevious = nullptr;

// No allocation here: there is no memory to be had.
[[noreturn]] void TerminateBeforeMain() {
    // Null: not even the exception itself could be allocated.
    const std::type_info* thrown = abi::__cxa_current_exception_type();
    if (thrown == nullptr || *thrown == typeid(std::bad_alloc)) {
        static const char kLine[] = "plasma-demo: not enough memory to start\n";
        [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, kLine, sizeof kLine - 1);
        _exit(1);
    }
    if (gPrevious != nullptr) {
        gPrevious();
    }
    std::abort();
}

// Ahead of every initialiser of default priority in this executable.
__attribute__((constructor(101))) void WatchStartupShortage() {
    gPrevious = std::set_terminate(TerminateBeforeMain);
}
}  // namespace

void EndStartupShortageWatch() {
    std::set_terminate(gPrevious);
}
