#include "platform/src/thread_record.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include "platform/device.h"
#include "platform/src/sanitizer_build.h"
#include "platform/src/termination_mechanism.h"

namespace platform {
namespace {

constexpr uintptr_t kFirstThreadHandle = 0x100;
constexpr uintptr_t kHandleStep = 4;
constexpr DWORD kFirstThreadId = 0x1000;
// Sanitizers keep their own bookkeeping on the thread's stack.
constexpr size_t kMinimumStack = kSanitizerBuild ? 1024 * 1024 : 64 * 1024;

struct ThreadsState {
    std::mutex mutex;
    std::vector<ThreadRecord*> records;     // every thread ever seen; never freed
    std::vector<ThreadRecord*> created;     // by handle: kFirstThreadHandle + kHandleStep * i
    std::vector<std::string> createdNames;  // the host's names for them, in order
};

ThreadsState& Threads() {
    static ThreadsState* state = new ThreadsState;  // outlives threads still running at exit
    return *state;
}

thread_local ThreadRecord* tCurrent = nullptr;

// Caller holds the registry lock; `record` is not running yet.
void Register(ThreadsState& state, ThreadRecord* record, bool withHandle) {
    record->id = kFirstThreadId + static_cast<DWORD>(kHandleStep * state.records.size());
    if (withHandle) {
        const size_t count = state.created.size();
        record->handle = reinterpret_cast<HANDLE>(kFirstThreadHandle + kHandleStep * count);
        record->draws = count == 0;
        record->name = count < state.createdNames.size() ? state.createdNames[count]
                                                         : "thread" + std::to_string(count + 1);
    }
}

void Add(ThreadsState& state, ThreadRecord* record) {
    state.records.push_back(record);
    if (record->handle != nullptr) {
        state.created.push_back(record);
    }
}

void RoomForOneMore(std::vector<ThreadRecord*>& records) {
    if (records.size() == records.capacity()) {
        records.reserve(std::max<size_t>(8, 2 * records.size()));
    }
}

struct Start {
    ThreadRecord* record;
    std::function<DWORD()> body;
};

void* RunThread(void* argument) {
    Start* start = static_cast<Start*>(argument);
    ThreadRecord* self = start->record;
    tCurrent = self;
    {
        std::function<DWORD()> body = std::move(start->body);
        delete start;
        AttachTerminationSlot(&self->termination);
        const DWORD code = body();
        const TerminationDeferred deferred;
        RecordFinished(&self->termination, code);  // parks here instead when terminated
    }
    return nullptr;
}

}  // namespace

ThreadRecord* CurrentThread() {
    if (tCurrent == nullptr) {
        ThreadRecord* record = new ThreadRecord;
        record->name = "device";
        record->thread = pthread_self();
        ThreadsState& state = Threads();
        const TerminationDeferred deferred;
        const std::lock_guard<std::mutex> lock(state.mutex);
        Register(state, record, false);
        Add(state, record);
        tCurrent = record;
    }
    return tCurrent;
}

bool OnDrawingThread() {
    return tCurrent != nullptr && tCurrent->draws;
}

ThreadRecord* ThreadFromHandle(HANDLE handle) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value < kFirstThreadHandle || (value - kFirstThreadHandle) % kHandleStep != 0) {
        return nullptr;
    }
    const size_t index = (value - kFirstThreadHandle) / kHandleStep;
    ThreadsState& state = Threads();
    const TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(state.mutex);
    return index < state.created.size() ? state.created[index] : nullptr;
}

size_t ThreadStackBytes(size_t requested) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    size_t bytes = std::max(requested, kMinimumStack);
    bytes = std::max(bytes, static_cast<size_t>(PTHREAD_STACK_MIN));
    return (bytes + page - 1) / page * page;
}

ThreadRecord* SpawnThread(const char* name, size_t stackBytes, bool withHandle,
                          std::function<DWORD()> body, int* error) noexcept {
    InstallTerminationHandler();
    const TerminationDeferred deferred;
    // The thread's bookkeeping comes first: short of memory for it, no thread.
    std::unique_ptr<ThreadRecord> record;
    std::unique_ptr<Start> start;
    ThreadsState* registry = nullptr;
    try {
        registry = &Threads();
    } catch (const std::bad_alloc&) {
        *error = ENOMEM;
        return nullptr;
    }
    ThreadsState& state = *registry;
    const std::lock_guard<std::mutex> lock(state.mutex);
    try {
        record = std::make_unique<ThreadRecord>();
        if (name != nullptr) {
            record->name = name;
        }
        start.reset(new Start{record.get(), std::move(body)});
        // Room in the registry now, so that Add cannot fail once the thread runs.
        RoomForOneMore(state.records);
        RoomForOneMore(state.created);
        Register(state, record.get(), withHandle);
    } catch (const std::bad_alloc&) {
        *error = ENOMEM;
        return nullptr;
    }
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_attr_setstacksize(&attributes, stackBytes);
    int failed = 0;
    {
        const NewThreadsHeld held;
        failed = pthread_create(&record->thread, &attributes, RunThread, start.get());
    }
    pthread_attr_destroy(&attributes);
    if (failed != 0) {
        *error = failed;
        return nullptr;
    }
    start.release();  // the thread's now
    Add(state, record.get());
    return record.release();
}

}  // namespace platform

namespace device {

void NameProgramThreads(std::vector<std::string> names) {
    platform::ThreadsState& state = platform::Threads();
    const platform::TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(state.mutex);
    state.createdNames = std::move(names);
}

}  // namespace device
