#include "frontends/common/held_input.h"

#include "platform/device.h"

void HeldInput::StylusDown(int32_t x, int32_t y) {
    if (!stylusHeld_) {
        stylusHeld_ = true;
        stylusX_ = x;
        stylusY_ = y;
        device::StylusDown(x, y);
    }
}

void HeldInput::StylusMove(int32_t x, int32_t y) {
    if (stylusHeld_ && (x != stylusX_ || y != stylusY_)) {
        stylusX_ = x;
        stylusY_ = y;
        device::StylusMove(x, y);
    }
}

void HeldInput::StylusUp(int32_t x, int32_t y) {
    if (stylusHeld_) {
        stylusHeld_ = false;
        stylusX_ = x;
        stylusY_ = y;
        device::StylusUp(x, y);
    }
}

void HeldInput::KeyDown(UINT virtualKey) {
    if (virtualKey < keysDown_.size()) {
        keysDown_.set(virtualKey);
        device::KeyDown(virtualKey);
    }
}

void HeldInput::KeyUp(UINT virtualKey) {
    if (virtualKey < keysDown_.size() && keysDown_.test(virtualKey)) {
        keysDown_.reset(virtualKey);
        device::KeyUp(virtualKey);
    }
}

void HeldInput::ReleaseAll() {
    StylusUp(stylusX_, stylusY_);
    for (UINT key = 0; key < keysDown_.size(); ++key) {
        if (keysDown_.test(key)) {
            device::KeyUp(key);
        }
    }
    keysDown_.reset();
}
