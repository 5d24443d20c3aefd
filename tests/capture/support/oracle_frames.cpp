#include "tests/capture/support/oracle_frames.h"

#include "effect/plasma_effect.h"
#include "tests/support/canvas.h"
#include "tests/support/plasma_oracle.h"

std::vector<Image565> OracleFrames(int32_t width, int32_t height,
                                   const std::vector<int32_t>& wanted) {
    PlasmaEffect effect;
    effect.BuildWaveTable();
    effect.BuildPalette();
    effect.width = width;
    effect.height = height;
    Canvas canvas(width, height, 2, 2 * width);
    int32_t counter = 1;  // a fresh program's frame counter
    std::vector<Image565> frames;
    for (int32_t frame = 1; frames.size() < wanted.size(); ++frame) {
        OracleRenderFrame(effect, counter, canvas.Surface());
        if (frame != wanted[frames.size()]) {
            continue;
        }
        Image565 image{width, height, {}};
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                image.pixels.push_back(canvas.At(x, y));
            }
        }
        frames.push_back(std::move(image));
    }
    return frames;
}
