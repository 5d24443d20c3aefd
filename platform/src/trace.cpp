#include "platform/src/trace.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <mutex>
#include <string>

#include "device_core/time_order.h"
#include "platform/src/clock.h"
#include "platform/src/termination.h"
#include "platform/src/thread_record.h"

namespace platform {
namespace {

struct TraceState {
    std::atomic<FILE*> file{nullptr};
    std::mutex mutex;
    int error = 0;  // of the first line that could not be written
    device::TimeOrder order;
};

TraceState& Trace() {
    static TraceState* state = new TraceState;
    return *state;
}

}  // namespace

void StartTrace(FILE* file) {
    TraceState& trace = Trace();
    const std::lock_guard<std::mutex> lock(trace.mutex);
    trace.error = 0;
    trace.order = device::TimeOrder();
    trace.file.store(file);
}

int FinishTrace() {
    TraceState& trace = Trace();
    const std::lock_guard<std::mutex> lock(trace.mutex);
    FILE* file = trace.file.load();
    if (file != nullptr && std::fflush(file) != 0 && trace.error == 0) {
        trace.error = errno;
    }
    return trace.error;
}

bool Tracing() {
    return Trace().file.load() != nullptr;
}

void TraceLine(const char* format, ...) {
    TraceState& trace = Trace();
    FILE* file = trace.file.load();
    if (file == nullptr) {
        return;
    }
    const TerminationDeferred deferred;
    std::string line = ' ' + CurrentThread()->name + ' ';
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length > 0) {
        const size_t start = line.size();
        line.resize(start + static_cast<size_t>(length) + 1);
        std::vsnprintf(&line[start], static_cast<size_t>(length) + 1, format, arguments);
        line.resize(start + static_cast<size_t>(length));
    }
    va_end(arguments);
    line += '\n';
    // Stamped under the lock, and never before the line above, so that times
    // never go back down the file (threads' clocks may differ a little).
    const std::lock_guard<std::mutex> lock(trace.mutex);
    errno = 0;
    const double stamp = trace.order.Stamp(MillisecondsSinceStart());
    const bool written = std::fprintf(file, "%.3f", stamp) >= 0 &&
                         std::fputs(line.c_str(), file) >= 0 && std::fflush(file) == 0;
    if (!written && trace.error == 0) {
        trace.error = errno != 0 ? errno : EIO;
    }
}

}  // namespace platform
