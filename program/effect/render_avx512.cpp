#include "effect/render_paths.h"

#if PLASMA_HAVE_AVX512_PATH

// GCC 12 warns inside its own headers when they are used under a target
// attribute (their "undefined" vectors are self-initialised).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#pragma GCC diagnostic pop

// Only these functions use AVX-512; the rest of the program stays baseline.
#define PLASMA_AVX512 __attribute__((target("avx512f,avx512bw,avx512vbmi")))
#define PLASMA_AVX512_INLINE PLASMA_AVX512 inline __attribute__((always_inline))

bool CpuHasAvx512Vbmi() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vbmi");
}

namespace {

struct ByteVectors {
    alignas(64) uint8_t iotaWords[2][64];  // 16-bit 0..31 and 32..63
    alignas(64) uint8_t evenBytes[64];     // byte 2i of two registers
    alignas(64) uint8_t dwordLow[64];      // byte 0 of 32 dwords, twice
    alignas(64) uint8_t dwordLowHigh[64];  // bytes 0, then bytes 1, of 32 dwords
    alignas(64) uint8_t unpackOrder[64];   // pixel order that byte unpacking undoes
};

constexpr ByteVectors MakeByteVectors() {
    ByteVectors v{};
    for (int i = 0; i < 64; ++i) {
        v.iotaWords[i / 32][2 * (i % 32)] = static_cast<uint8_t>(i);
        v.evenBytes[i] = static_cast<uint8_t>(2 * i);
        v.dwordLow[i] = static_cast<uint8_t>(4 * (i % 32));
        v.dwordLowHigh[i] = static_cast<uint8_t>(i < 32 ? 4 * i : 4 * (i - 32) + 1);
        // Byte 16l + 8h + j is unpacked into the word of pixel 32h + 8l + j.
        const int lane = i / 16, half = (i % 16) / 8, j = i % 8;
        v.unpackOrder[i] = static_cast<uint8_t>(32 * half + 8 * lane + j);
    }
    return v;
}

constexpr ByteVectors kVectors = MakeByteVectors();

PLASMA_AVX512_INLINE __m512i Load(const uint8_t* bytes) {
    return _mm512_load_si512(bytes);
}

// 256 bytes in four registers, looked up 64 at a time.
struct ByteTable {
    __m512i quarter[4];
};

PLASMA_AVX512_INLINE __m512i Lookup(const ByteTable& table, __m512i index) {
    const __mmask64 upperHalf = _mm512_movepi8_mask(index);
    const __m512i lower = _mm512_permutex2var_epi8(table.quarter[0], index, table.quarter[1]);
    const __m512i upper = _mm512_permutex2var_epi8(table.quarter[2], index, table.quarter[3]);
    return _mm512_mask_blend_epi8(upperHalf, lower, upper);
}

// i * step modulo 256 for i = 0..63.
PLASMA_AVX512_INLINE __m512i StepTimesIota(uint8_t step) {
    const __m512i factor = _mm512_set1_epi16(step);
    const __m512i low = _mm512_mullo_epi16(Load(kVectors.iotaWords[0]), factor);
    const __m512i high = _mm512_mullo_epi16(Load(kVectors.iotaWords[1]), factor);
    return _mm512_permutex2var_epi8(low, Load(kVectors.evenBytes), high);
}

// The 256 values of a walk, 64 to a register.
PLASMA_AVX512_INLINE void WalkVectors(const ByteTable& wave, WaveWalk walk, __m512i* values) {
    const __m512i stepsA = StepTimesIota(walk.stepA);
    const __m512i stepsB = StepTimesIota(walk.stepB);
    for (int block = 0; block < 4; ++block) {
        const uint32_t start = 64u * static_cast<uint32_t>(block);
        const __m512i a = _mm512_add_epi8(
            _mm512_set1_epi8(static_cast<char>(walk.phaseA + start * walk.stepA)), stepsA);
        const __m512i b = _mm512_add_epi8(
            _mm512_set1_epi8(static_cast<char>(walk.phaseB + start * walk.stepB)), stepsB);
        values[block] = _mm512_add_epi8(Lookup(wave, a), Lookup(wave, b));
    }
}

// Pixels of the 256-pixel period, 32 to a register.
struct Period {
    __m512i pixels[8];
};

template <int kRegisters>
PLASMA_AVX512_INLINE void BuildPeriod(const __m512i* along, const ByteTable& low,
                                      const ByteTable& high, __m512i constant, Period& period) {
#pragma GCC unroll 4
    for (int block = 0; block < 4; ++block) {
        if (2 * block >= kRegisters)
            break;
        const __m512i index = _mm512_add_epi8(along[block], constant);
        const __m512i lows = Lookup(low, index);
        const __m512i highs = Lookup(high, index);
        period.pixels[2 * block] = _mm512_unpacklo_epi8(lows, highs);
        period.pixels[2 * block + 1] = _mm512_unpackhi_epi8(lows, highs);
    }
}

// Stores the first `registers` registers of a period, the last one under `lastMask`.
template <int kRegisters>
PLASMA_AVX512_INLINE void StoreShortLine(uint8_t* at, const Period& period, __mmask32 lastMask) {
#pragma GCC unroll 8
    for (int r = 0; r + 1 < kRegisters; ++r) {
        _mm512_storeu_si512(at + 64 * r, period.pixels[r]);
    }
    _mm512_mask_storeu_epi16(at + 64 * (kRegisters - 1), lastMask, period.pixels[kRegisters - 1]);
}

PLASMA_AVX512_INLINE void StoreLongLine(uint8_t* at, const Period& period, int32_t length) {
    for (; length >= 256; length -= 256, at += 512) {
        for (int r = 0; r < 8; ++r) {
            _mm512_storeu_si512(at + 64 * r, period.pixels[r]);
        }
    }
    const int full = length / 32;
    const __mmask32 tail = static_cast<__mmask32>((1u << (length % 32)) - 1);
    for (int r = 0; r < 8; ++r) {
        if (r < full) {
            _mm512_storeu_si512(at + 64 * r, period.pixels[r]);
        } else if (r == full) {
            _mm512_mask_storeu_epi16(at + 64 * r, tail, period.pixels[r]);
        }
    }
}

// kRegisters: registers a line of at most 256 pixels needs, or 0 for longer lines.
template <int kRegisters>
PLASMA_AVX512 void DrawLinesWith(const PlasmaLines& lines) {
    ByteTable wave, low, high;
    for (int q = 0; q < 4; ++q) {
        const int32_t* w = lines.wave + 64 * q;
        const __m512i select = Load(kVectors.dwordLow);
        const __m512i a =
            _mm512_permutex2var_epi8(_mm512_loadu_si512(w), select, _mm512_loadu_si512(w + 16));
        const __m512i b = _mm512_permutex2var_epi8(_mm512_loadu_si512(w + 32), select,
                                                   _mm512_loadu_si512(w + 48));
        wave.quarter[q] = _mm512_shuffle_i64x2(a, b, 0x44);

        const uint32_t* p = lines.palette + 64 * q;
        const __m512i split = Load(kVectors.dwordLowHigh);
        const __m512i first =
            _mm512_permutex2var_epi8(_mm512_loadu_si512(p), split, _mm512_loadu_si512(p + 16));
        const __m512i second =
            _mm512_permutex2var_epi8(_mm512_loadu_si512(p + 32), split, _mm512_loadu_si512(p + 48));
        low.quarter[q] = _mm512_shuffle_i64x2(first, second, 0x44);
        high.quarter[q] = _mm512_shuffle_i64x2(first, second, 0xEE);
    }

    __m512i along[4], across[4];
    WalkVectors(wave, lines.along, along);
    WalkVectors(wave, lines.across, across);
    for (__m512i& block : along) {
        block = _mm512_permutexvar_epi8(Load(kVectors.unpackOrder), block);
    }
    alignas(64) uint8_t constants[256];
    for (int block = 0; block < 4; ++block) {
        _mm512_store_si512(constants + 64 * block, across[block]);
    }

    // Stores through bytes may alias anything, so keep the layout in locals.
    uint8_t* const first = lines.first;
    const ptrdiff_t stride = lines.lineStride;
    const int32_t count = lines.count;
    const int32_t length = lines.length;

    // Lines not drawn yet among the first 256; line k + 256 repeats line k.
    const int32_t firstLines = count < 256 ? count : 256;
    uint64_t pending[4];
    for (int block = 0; block < 4; ++block) {
        const int32_t n = firstLines - 64 * block;
        pending[block] = n >= 64 ? ~uint64_t{0} : n > 0 ? (uint64_t{1} << n) - 1 : 0;
    }
    const __mmask32 lastMask = lines.length % 32 == 0
                                   ? ~__mmask32{0}
                                   : static_cast<__mmask32>((1u << (lines.length % 32)) - 1);

    Period period;
    for (int block = 0; block < 4; ++block) {
        while (pending[block] != 0) {
            const uint8_t value = constants[64 * block + __builtin_ctzll(pending[block])];
            const __m512i constant = _mm512_set1_epi8(static_cast<char>(value));
            uint64_t same[4];
            for (int b = 0; b < 4; ++b) {
                same[b] = _mm512_cmpeq_epi8_mask(across[b], constant) & pending[b];
                pending[b] &= ~same[b];
            }
            BuildPeriod<kRegisters == 0 ? 8 : kRegisters>(along, low, high, constant, period);
            for (int b = 0; b < 4; ++b) {
                for (uint64_t m = same[b]; m != 0; m &= m - 1) {
                    const int32_t line = 64 * b + __builtin_ctzll(m);
                    for (int32_t repeat = line;; repeat += 256) {
                        uint8_t* at = first + repeat * stride;
                        if (kRegisters == 0) {
                            StoreLongLine(at, period, length);
                        } else {
                            StoreShortLine<kRegisters == 0 ? 1 : kRegisters>(at, period, lastMask);
                        }
                        if (count - repeat <= 256)
                            break;
                    }
                }
            }
        }
    }
}

}  // namespace

// Each distinct line is built once in registers (two 128-entry byte lookups
// per palette byte) and stored to every line that shares its constant.
void DrawLinesAvx512Vbmi(const PlasmaLines& lines) {
    switch (lines.length > 256 ? 0 : (lines.length + 31) / 32) {
        case 1:
            return DrawLinesWith<1>(lines);
        case 2:
            return DrawLinesWith<2>(lines);
        case 3:
            return DrawLinesWith<3>(lines);
        case 4:
            return DrawLinesWith<4>(lines);
        case 5:
            return DrawLinesWith<5>(lines);
        case 6:
            return DrawLinesWith<6>(lines);
        case 7:
            return DrawLinesWith<7>(lines);
        case 8:
            return DrawLinesWith<8>(lines);
        default:
            return DrawLinesWith<0>(lines);
    }
}

#endif
