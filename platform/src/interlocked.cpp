// The interlocked calls, lock-free: each is one sequentially consistent
// atomic operation on the caller's value, so they never block and a thread
// ended by TerminateThread cannot leave anything half done. (Where the CPU
// has no such instruction, as on ARMv5, the compiler calls its runtime's
// routines over the kernel's compare-and-swap helper: no lock there either.)
//
// Each is a termination point: a thread that TerminateThread has begun to
// end stops there, before the operation, on hosts that stop threads only at
// their calls into the stand-in.
//
// Only calls that store a value are listed in the trace; a read through
// InterlockedCompareExchange(&value, 0, 0) is not, as a render loop may make
// one every frame.

#include <new>
#include <string>

#include <windows.h>

#include "platform/src/memory_shortage.h"
#include "platform/src/pacing.h"
#include "platform/src/termination.h"
#include "platform/src/trace.h"

namespace {

void TraceStore(const char* call, LONG volatile* value, const char* arguments, LONG result) {
    if (platform::Tracing()) {
        platform::TraceLine("%s(%s%s) = %d", call,
                            platform::Hex(const_cast<const LONG*>(value)).c_str(), arguments,
                            result);
    }
}

}  // namespace

extern "C" {

LONG WINAPI InterlockedExchange(LONG volatile* target, LONG value) try {
    platform::TerminationPoint();
    const LONG previous = __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
    if (platform::Tracing()) {
        TraceStore("InterlockedExchange", target, (", " + std::to_string(value)).c_str(), previous);
    }
    return previous;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("InterlockedExchange");
}

LONG WINAPI InterlockedCompareExchange(LONG volatile* destination, LONG exchange,
                                       LONG comparand) try {
    platform::TerminationPoint();
    LONG previous = comparand;
    // When the values differ, the builtin writes the one it found into `previous`.
    __atomic_compare_exchange_n(destination, &previous, exchange, false, __ATOMIC_SEQ_CST,
                                __ATOMIC_SEQ_CST);
    if (previous == comparand && exchange != comparand && platform::Tracing()) {
        TraceStore("InterlockedCompareExchange", destination,
                   (", " + std::to_string(exchange) + ", " + std::to_string(comparand)).c_str(),
                   previous);
    }
    // A read, as a render loop makes of its running flag once a frame: on a
    // display without frame brackets, the drawing thread's is where its
    // frames end. Other threads read flags too and must not be held.
    if (exchange == comparand && platform::FrameEndsAtFlagRead()) {
        const platform::TerminationDeferred deferred;
        platform::PaceFrame();
    }
    return previous;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("InterlockedCompareExchange");
}

LONG WINAPI InterlockedIncrement(LONG volatile* addend) try {
    platform::TerminationPoint();
    const LONG result = __atomic_add_fetch(addend, 1, __ATOMIC_SEQ_CST);
    TraceStore("InterlockedIncrement", addend, "", result);
    return result;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("InterlockedIncrement");
}

LONG WINAPI InterlockedDecrement(LONG volatile* addend) try {
    platform::TerminationPoint();
    const LONG result = __atomic_sub_fetch(addend, 1, __ATOMIC_SEQ_CST);
    TraceStore("InterlockedDecrement", addend, "", result);
    return result;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("InterlockedDecrement");
}

}  // extern "C"
