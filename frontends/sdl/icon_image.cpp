#include "frontends/sdl/icon_image.h"

namespace {
constexpr size_t kFileHeaderBytes = 6;
constexpr size_t kEntryBytes = 16;
constexpr uint32_t kInfoHeaderBytes = 40;

// Little-endian fields of a byte range, each read checked against its end.
class Reader {
public:
    Reader(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}
    bool Has(size_t offset, size_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }
    uint32_t U16(size_t offset) const { return bytes_[offset] | uint32_t{bytes_[offset + 1]} << 8; }
    uint32_t U32(size_t offset) const { return U16(offset) | U16(offset + 2) << 16; }
    const uint8_t* At(size_t offset) const { return bytes_ + offset; }

private:
    const uint8_t* bytes_;
    size_t size_;
};

uint32_t Rgb(const uint8_t* bgr) {
    return uint32_t{bgr[2]} << 16 | uint32_t{bgr[1]} << 8 | bgr[0];
}

// The pixel at column x of a stored row, without its alpha.
uint32_t PixelAt(const uint8_t* row, int32_t x, uint32_t bits, const uint8_t* palette,
                 uint32_t colours) {
    if (bits >= 24) {
        return Rgb(row + x * (bits / 8));
    }
    const uint32_t perByte = 8 / bits;
    const uint32_t shift = 8 - bits * (1 + x % perByte);
    const uint32_t index = (row[x / perByte] >> shift) & ((1u << bits) - 1);
    return index < colours ? Rgb(palette + 4 * index) : 0;
}
}  // namespace

bool DecodeIcon(const uint8_t* bytes, size_t size, int32_t wantedSize, IconImage* image) {
    const Reader file(bytes, size);
    if (!file.Has(0, kFileHeaderBytes) || file.U16(0) != 0 || file.U16(2) != 1) {
        return false;
    }
    const uint32_t count = file.U16(4);
    if (count == 0 || !file.Has(kFileHeaderBytes, count * kEntryBytes)) {
        return false;
    }
    size_t chosen = 0;
    int32_t chosenSize = -1;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t entry = kFileHeaderBytes + i * kEntryBytes;
        const int32_t side = bytes[entry] == 0 ? 256 : bytes[entry];  // 0 stands for 256
        if (chosenSize != wantedSize && (side == wantedSize || side > chosenSize)) {
            chosen = entry;
            chosenSize = side;
        }
    }
    const size_t length = file.U32(chosen + 8), offset = file.U32(chosen + 12);
    if (!file.Has(offset, length) || length < kInfoHeaderBytes) {
        return false;
    }
    const Reader dib(file.At(offset), length);
    const uint32_t headerBytes = dib.U32(0);
    const int32_t width = static_cast<int32_t>(dib.U32(4));
    const int32_t height = static_cast<int32_t>(dib.U32(8)) / 2;  // colour rows, then mask rows
    const uint32_t bits = dib.U16(14), compression = dib.U32(16);
    if (headerBytes < kInfoHeaderBytes || width <= 0 || width > 256 || height <= 0 ||
        height > 256 || compression != 0 ||
        !(bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32)) {
        return false;
    }
    uint32_t colours = 0;
    if (bits <= 8) {
        colours = dib.U32(32) != 0 ? dib.U32(32) : 1u << bits;
        if (colours > 256) {
            return false;
        }
    }
    const size_t paletteAt = headerBytes, pixelsAt = paletteAt + 4 * size_t{colours};
    const size_t stride = (size_t{bits} * width + 31) / 32 * 4;
    const size_t maskAt = pixelsAt + stride * height,
                 maskStride = (size_t{1} * width + 31) / 32 * 4;
    if (!dib.Has(maskAt, maskStride * height)) {
        return false;
    }
    // 32-bit images may carry their own alpha; where all of it is zero the
    // mask is meant instead.
    bool ownAlpha = false;
    for (int32_t y = 0; bits == 32 && y < height && !ownAlpha; ++y) {
        for (int32_t x = 0; x < width && !ownAlpha; ++x) {
            ownAlpha = dib.At(pixelsAt + y * stride)[4 * x + 3] != 0;
        }
    }
    image->width = width;
    image->height = height;
    image->argb.assign(static_cast<size_t>(width) * height, 0);
    for (int32_t y = 0; y < height; ++y) {
        const size_t stored = static_cast<size_t>(height - 1 - y);  // rows are stored bottom-up
        const uint8_t* row = dib.At(pixelsAt + stored * stride);
        const uint8_t* mask = dib.At(maskAt + stored * maskStride);
        for (int32_t x = 0; x < width; ++x) {
            uint32_t alpha = ((mask[x / 8] >> (7 - x % 8)) & 1) ? 0 : 0xFF;
            if (ownAlpha) {
                alpha = row[4 * x + 3];
            }
            image->argb[static_cast<size_t>(y) * width + x] =
                alpha << 24 | PixelAt(row, x, bits, dib.At(paletteAt), colours);
        }
    }
    return true;
}
