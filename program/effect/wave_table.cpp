#include <cmath>
#include <cstdint>
#include <cstring>

#include "effect/plasma_effect.h"

namespace {
// The double nearest to 3.14159 / 64, taken from its bit pattern so that the
// table does not depend on how the compiler rounds a decimal literal.
double WaveStep() {
    const uint64_t bits = 0x3FA921F9F01B866EULL;
    double step;
    std::memcpy(&step, &bits, sizeof step);
    return step;
}
}  // namespace

// Two whole periods of a sine of amplitude just under 30.
void PlasmaEffect::BuildWaveTable() {
    const double step = WaveStep();
    for (int i = 0; i < 256; ++i) {
        wave[i] = static_cast<int32_t>(30.0 * std::sin(i * step));
    }
}
