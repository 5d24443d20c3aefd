// The few drawing objects and sound calls the program touches.

#include <new>

#include <windows.h>

#include "platform/src/memory_shortage.h"
#include "platform/src/termination.h"
#include "platform/src/trace.h"

namespace {

// The stock objects the handheld has; their handles are stable pseudo-values.
constexpr int kStockObjects[] = {WHITE_BRUSH,
                                 1 /* LTGRAY_BRUSH */,
                                 2 /* GRAY_BRUSH */,
                                 3 /* DKGRAY_BRUSH */,
                                 BLACK_BRUSH,
                                 5 /* NULL_BRUSH */,
                                 6 /* WHITE_PEN */,
                                 7 /* BLACK_PEN */,
                                 8 /* NULL_PEN */,
                                 13 /* SYSTEM_FONT */,
                                 15 /* DEFAULT_PALETTE */};
constexpr uintptr_t kFirstStockObject = 0x3000;

}  // namespace

extern "C" {

HGDIOBJ WINAPI GetStockObject(int object) try {
    const platform::TerminationDeferred deferred;
    HGDIOBJ result = nullptr;
    for (int stock : kStockObjects) {
        if (stock == object) {
            result = reinterpret_cast<HGDIOBJ>(kFirstStockObject + static_cast<uintptr_t>(stock));
        }
    }
    platform::TraceLine("GetStockObject(%d) = %s", object, platform::Hex(result).c_str());
    return result;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("GetStockObject");
}

// There is no sound device: stopping (no sound given) succeeds, playing fails.
BOOL WINAPI PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags) try {
    const platform::TerminationDeferred deferred;
    const BOOL result = sound == nullptr ? TRUE : FALSE;
    platform::TraceLine("PlaySoundW(sound=%s, module=%s, flags=%s) = %d",
                        platform::Quoted(sound).c_str(), platform::Hex(module).c_str(),
                        platform::Hex(flags).c_str(), result);
    return result;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("PlaySoundW");
}

}  // extern "C"
