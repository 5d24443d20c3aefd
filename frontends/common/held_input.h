#pragma once
// What the user holds down on the device: the stylus and the keys. A
// front-end hands its input through here, so that the device hears of a
// release only for what it heard pressed, a drag only when the stylus moved,
// and, when the front-end loses the input (focus gone, a message box), of the
// release of everything still held.

#include <bitset>
#include <cstdint>

#include <windows.h>

class HeldInput {
public:
    bool StylusHeld() const { return stylusHeld_; }
    void StylusDown(int32_t x, int32_t y);  // ignored while held
    void StylusMove(int32_t x, int32_t y);  // only while held
    void StylusUp(int32_t x, int32_t y);    // only while held
    // Repeats while held, as the platform's own keyboard does.
    void KeyDown(UINT virtualKey);
    void KeyUp(UINT virtualKey);  // only for a key held
    // Lifts the stylus where it last was and lets go of every key.
    void ReleaseAll();

private:
    bool stylusHeld_ = false;
    int32_t stylusX_ = 0, stylusY_ = 0;
    std::bitset<256> keysDown_;
};
