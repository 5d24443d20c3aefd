#include "device_core/held_input.h"

namespace device {

void HeldInput::StylusDown(int32_t x, int32_t y) {
    if (!stylusHeld_) {
        stylusHeld_ = true;
        stylusX_ = x;
        stylusY_ = y;
        sink_.StylusDown(x, y);
    }
}

void HeldInput::StylusMove(int32_t x, int32_t y) {
    if (stylusHeld_ && (x != stylusX_ || y != stylusY_)) {
        stylusX_ = x;
        stylusY_ = y;
        sink_.StylusMove(x, y);
    }
}

void HeldInput::StylusUp(int32_t x, int32_t y) {
    if (stylusHeld_) {
        stylusHeld_ = false;
        stylusX_ = x;
        stylusY_ = y;
        sink_.StylusUp(x, y);
    }
}

void HeldInput::KeyDown(uint32_t virtualKey) {
    if (virtualKey < keysDown_.size()) {
        const bool repeat = keysDown_.test(virtualKey);
        keysDown_.set(virtualKey);
        sink_.KeyDown(virtualKey, repeat);
    }
}

void HeldInput::KeyUp(uint32_t virtualKey) {
    if (virtualKey < keysDown_.size() && keysDown_.test(virtualKey)) {
        keysDown_.reset(virtualKey);
        sink_.KeyUp(virtualKey);
    }
}

void HeldInput::ReleaseAll() {
    StylusUp(stylusX_, stylusY_);
    for (uint32_t key = 0; key < keysDown_.size(); ++key) {
        if (keysDown_.test(key)) {
            keysDown_.reset(key);
            sink_.KeyUp(key);
        }
    }
}

}  // namespace device
