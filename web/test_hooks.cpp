// Compiled only into the test site: what no page may do, for its tests.
#include <emscripten.h>

#include "device_core/display_margins.h"

extern "C" {

// A stray write one byte past display memory, as a row drawn too long would
// make; the next scan-out must catch it.
EMSCRIPTEN_KEEPALIVE int plasma_test_stray_write() {
    uint8_t* end = device::DisplayMemoryEnd();
    if (end == nullptr) {
        return 0;
    }
    *end = static_cast<uint8_t>(~*end);
    return 1;
}

}  // extern "C"
