#pragma once
// What the user holds down on the device: the stylus and the keys. A host
// hands its input through here, so that the device hears of a release only
// for what it heard pressed, a drag only when the stylus moved, and, when
// the host loses the input (focus gone, a message box), of the release of
// everything still held.

#include <bitset>
#include <cstdint>

namespace device {

// Where held input goes: the device as each host reaches it. Positions are
// screen pixels as held; keys are the platform's virtual-key codes.
class InputSink {
public:
    virtual void StylusDown(int32_t x, int32_t y) = 0;
    virtual void StylusMove(int32_t x, int32_t y) = 0;
    virtual void StylusUp(int32_t x, int32_t y) = 0;
    // `repeat`: the key was already down (the keyboard's auto-repeat).
    virtual void KeyDown(uint32_t virtualKey, bool repeat) = 0;
    virtual void KeyUp(uint32_t virtualKey) = 0;

protected:
    ~InputSink() = default;
};

class HeldInput {
public:
    explicit HeldInput(InputSink& sink) : sink_(sink) {}

    bool StylusHeld() const { return stylusHeld_; }
    void StylusDown(int32_t x, int32_t y);  // ignored while held
    void StylusMove(int32_t x, int32_t y);  // only while held
    void StylusUp(int32_t x, int32_t y);    // only while held
    // Repeats while held, as the platform's own keyboard does.
    void KeyDown(uint32_t virtualKey);
    void KeyUp(uint32_t virtualKey);  // only for a key held
    // Lifts the stylus where it last was and lets go of every key.
    void ReleaseAll();

private:
    InputSink& sink_;
    bool stylusHeld_ = false;
    int32_t stylusX_ = 0, stylusY_ = 0;
    std::bitset<256> keysDown_;
};

}  // namespace device
