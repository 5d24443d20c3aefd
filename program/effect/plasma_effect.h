#pragma once

#include <cstdint>

#include "effect/colour.h"

// The animated plasma. Draws straight into the process-wide DrawSurface.
// Fields are public so that tools and tests can look at the animation state.
class PlasmaEffect {
public:
    PlasmaEffect();
    virtual ~PlasmaEffect();

    // Stores the size, builds the tables and draws the first frame. Phases,
    // steps and the frame counter are kept, so a second Init continues.
    void Init(int32_t width, int32_t height);
    void BuildWaveTable();
    void BuildPalette();
    void BuildRamp(ColourKey from, ColourKey to, int32_t count, uint32_t* destination);
    // Entry `index` (0 to count - 1) of that ramp.
    static Pixel565 RampEntry(ColourKey from, ColourKey to, int32_t index, int32_t count);
    // Draws one frame and advances the animation by one frame.
    void RenderFrame();

    int32_t width;
    int32_t height;
    uint32_t palette[256];  // Pixel565 in the low half
    int32_t wave[256];
    ColourKey keys[16];
    uint8_t phase0, phase1, phase2, phase3;
    uint8_t base0, base1, base2, base3;
    int32_t pixelStep2;
    int32_t pixelStep3;
    int32_t rowStep0;
    int32_t rowStep1;
    int32_t frameStep2;
    int32_t frameStep3;
    int32_t frameStep0;
    int32_t frameStep1;

    // Shared by every effect of the process; always in 0..1023.
    static int32_t frameCounter;

private:
    void AdvanceFrame();
};
