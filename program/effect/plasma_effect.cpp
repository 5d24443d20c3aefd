#include "effect/plasma_effect.h"

int32_t PlasmaEffect::frameCounter = 1;

namespace {
// Ramp end points: black, blue, green, blue-green, cyan, white and back down.
constexpr ColourKey kKeys[16] = {
    0x000000, 0xFF0000, 0xFF0000, 0x00FF00, 0x00FF00, 0x80FF00, 0x80FF00, 0xFFFF00,
    0xFFFF00, 0xFFFFFF, 0xFFFFFF, 0xFFFF00, 0xFFFF00, 0x80FF00, 0x80FF00, 0x000000,
};
}  // namespace

PlasmaEffect::PlasmaEffect()
    : width(0),
      height(0),
      phase0(0),
      phase1(0),
      phase2(0),
      phase3(0),
      base0(0),
      base1(0),
      base2(0),
      base3(0),
      pixelStep2(1),
      pixelStep3(2),
      rowStep0(1),
      rowStep1(2),
      frameStep2(-1),
      frameStep3(3),
      frameStep0(1),
      frameStep1(-2) {
    for (int i = 0; i < 16; ++i) {
        keys[i] = kKeys[i];
    }
}

PlasmaEffect::~PlasmaEffect() = default;

void PlasmaEffect::Init(int32_t newWidth, int32_t newHeight) {
    width = newWidth;
    height = newHeight;
    BuildWaveTable();
    BuildPalette();
    RenderFrame();
}

void PlasmaEffect::AdvanceFrame() {
    frameCounter = (frameCounter + 1) % 1024;
    pixelStep2 = frameCounter;
    rowStep0 = frameCounter;
    // Only a step's value modulo 256 moves a phase: summed unsigned, any
    // int32_t step wraps instead of overflowing.
    base0 = static_cast<uint8_t>(base0 + static_cast<uint32_t>(frameStep0));
    base1 = static_cast<uint8_t>(base1 + static_cast<uint32_t>(frameStep1));
    base2 = static_cast<uint8_t>(base2 + static_cast<uint32_t>(frameStep2));
    base3 = static_cast<uint8_t>(base3 + static_cast<uint32_t>(frameStep3));
}
