#pragma once

#include <cstdint>

// Draws `frames` consecutive frames, from Init on, with the shipped
// RenderFrame (whichever path it takes) and with the oracle, each into its own
// canvas of the given layout, and checks after every frame that both canvases
// (margins included) and both animation states are the same.
void ExpectFramesMatchOracle(const char* name, int32_t width, int32_t height, int32_t xPitch,
                             int32_t yPitch, int32_t margin, int frames);
