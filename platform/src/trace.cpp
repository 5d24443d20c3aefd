#include "platform/src/trace.h"

#include <atomic>
#include <cstdarg>
#include <mutex>
#include <string>

#include "platform/src/clock.h"
#include "platform/src/termination.h"
#include "platform/src/thread_record.h"

namespace platform {
namespace {

struct TraceState {
    std::atomic<FILE*> file{nullptr};
    std::mutex mutex;
};

TraceState& Trace() {
    static TraceState* state = new TraceState;
    return *state;
}

}  // namespace

void StartTrace(FILE* file) {
    Trace().file.store(file);
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
    // Stamped under the lock, so that times never go back down the file.
    const std::lock_guard<std::mutex> lock(trace.mutex);
    std::fprintf(file, "%.3f", MillisecondsSinceStart());
    std::fputs(line.c_str(), file);
    std::fflush(file);
}

}  // namespace platform
