#include "platform/src/memory_shortage.h"

#include <atomic>
#include <string>

#include "platform/device.h"
#include "platform/src/host.h"
#include "platform/src/termination.h"

namespace platform {
namespace {
// The first call that ran short; the host needs only one.
std::atomic<const char*> gShortCall{nullptr};
}  // namespace

void OutOfMemoryIn(const char* call) noexcept {
    const TerminationDeferred deferred;
    const char* none = nullptr;
    gShortCall.compare_exchange_strong(none, call);
    try {
        WakeHost();
    } catch (...) {
        // Short of memory there too: the host sees it at its next frame.
    }
    ParkCurrentThread();
}

}  // namespace platform

namespace device {

std::string MemoryShortage() {
    const char* call = platform::gShortCall.load();
    return call == nullptr
               ? std::string()
               : std::string("not enough memory on the device for the program's ") + call;
}

}  // namespace device
