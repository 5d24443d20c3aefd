#include <gtest/gtest.h>

#include <string>

#include "frontends/sdl/icon_image.h"
#include "resources/embedded_resources.h"
#include "tests/frontends/programs.h"

namespace {

TEST(DecodeIcon, ReadsTheProgramsIconAsImageMagickDoes) {
    const struct {
        int index;
        int32_t size;
    } images[] = {{0, 32}, {1, 16}};
    for (const auto& wanted : images) {
        IconImage image;
        ASSERT_TRUE(DecodeIcon(kPlasmaIcon, kPlasmaIconSize, wanted.size, &image));
        EXPECT_EQ(image.width, wanted.size);
        EXPECT_EQ(image.height, wanted.size);
        EXPECT_EQ(image.argb, IconByImageMagick(wanted.index)) << wanted.size;
    }
}

TEST(DecodeIcon, TakesTheLargestWhenNoImageHasTheWantedSize) {
    IconImage image;
    ASSERT_TRUE(DecodeIcon(kPlasmaIcon, kPlasmaIconSize, 48, &image));
    EXPECT_EQ(image.width, 32);
}

TEST(DecodeIcon, RejectsEveryTruncationWithoutReadingPastTheEnd) {
    for (size_t size = 0; size < kPlasmaIconSize; ++size) {
        const std::vector<uint8_t> cut(kPlasmaIcon, kPlasmaIcon + size);
        IconImage image;
        // The 16x16 image is stored last, so any cut damages it.
        EXPECT_FALSE(DecodeIcon(cut.data(), cut.size(), 16, &image)) << size << " bytes";
    }
}

// An icon file of one 2x2 image, bottom row stored first.
std::vector<uint8_t> TinyIcon(uint16_t bits, const std::vector<uint8_t>& palette,
                              const std::vector<uint8_t>& rows, uint8_t maskBottom, uint8_t maskTop,
                              uint32_t compression = 0) {
    std::vector<uint8_t> dib;
    const auto put = [&dib](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            dib.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    put(40, 4), put(2, 4), put(4, 4), put(1, 2), put(bits, 2), put(compression, 4);
    put(0, 4), put(0, 4), put(0, 4), put(static_cast<uint32_t>(palette.size() / 4), 4), put(0, 4);
    dib.insert(dib.end(), palette.begin(), palette.end());
    dib.insert(dib.end(), rows.begin(), rows.end());
    for (uint8_t mask : {maskBottom, maskTop})
        put(mask, 4);  // one 4-byte mask row each
    std::vector<uint8_t> file = {0, 0, 1, 0, 1, 0, 2, 2, 0, 0, 1, 0, static_cast<uint8_t>(bits), 0};
    const uint32_t size = static_cast<uint32_t>(dib.size()), offset = 22;
    for (uint32_t value : {size, offset})
        for (int i = 0; i < 4; ++i)
            file.push_back(static_cast<uint8_t>(value >> (8 * i)));
    file.insert(file.end(), dib.begin(), dib.end());
    return file;
}

struct TinyCase {
    const char* what;
    std::vector<uint8_t> file;
    std::vector<uint32_t> expected;  // top row first
};

TEST(DecodeIcon, ReadsEachDepthWithItsTransparency) {
    // Palette entries are blue, green, red, unused.
    const std::vector<uint8_t> palette = {0x10, 0x20, 0x30, 0, 0xA0, 0xB0, 0xC0, 0};
    const TinyCase cases[] = {
        {"1 bit, top-left masked",
         TinyIcon(1, palette, {0x40, 0, 0, 0, 0x80, 0, 0, 0}, 0x00, 0x80),
         {0x00C0B0A0, 0xFF302010, 0xFF302010, 0xFFC0B0A0}},
        {"4 bits, bottom-right masked",
         TinyIcon(4, palette, {0x10, 0, 0, 0, 0x01, 0, 0, 0}, 0x40, 0x00),
         {0xFF302010, 0xFFC0B0A0, 0xFFC0B0A0, 0x00302010}},
        {"8 bits, an index past the palette is black",
         TinyIcon(8, palette, {1, 0, 0, 0, 0, 7, 0, 0}, 0x00, 0x00),
         {0xFF302010, 0xFF000000, 0xFFC0B0A0, 0xFF302010}},
        {"24 bits",
         TinyIcon(24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}, 0, 0x40),
         {0xFF090807, 0x000C0B0A, 0xFF030201, 0xFF060504}},
        {"32 bits with its own alpha",
         TinyIcon(32, {}, {1, 2, 3, 0x80, 4, 5, 6, 0, 7, 8, 9, 0xFF, 10, 11, 12, 0x01}, 0xC0, 0xC0),
         {0xFF090807, 0x010C0B0A, 0x80030201, 0x00060504}},
        {"32 bits without alpha uses the mask",
         TinyIcon(32, {}, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0}, 0x80, 0x00),
         {0xFF090807, 0xFF0C0B0A, 0x00030201, 0xFF060504}},
    };
    for (const TinyCase& c : cases) {
        IconImage image;
        ASSERT_TRUE(DecodeIcon(c.file.data(), c.file.size(), 2, &image)) << c.what;
        EXPECT_EQ(image.width, 2) << c.what;
        EXPECT_EQ(image.height, 2) << c.what;
        EXPECT_EQ(image.argb, c.expected) << c.what;
    }
}

TEST(DecodeIcon, RejectsWhatItCannotRead) {
    const std::vector<uint8_t> palette = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
    const std::vector<uint8_t> rows = {0, 0, 0, 0, 0, 0, 0, 0};
    std::vector<uint8_t> cursor = TinyIcon(1, palette, rows, 0, 0);
    cursor[2] = 2;  // a cursor file, not an icon
    std::vector<uint8_t> png = TinyIcon(1, palette, rows, 0, 0);
    const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::copy(std::begin(signature), std::end(signature), png.begin() + 22);
    const struct {
        const char* what;
        std::vector<uint8_t> file;
    } cases[] = {
        {"a cursor", cursor},
        {"a compressed image", TinyIcon(1, palette, rows, 0, 0, 1)},
        {"16 bits a pixel", TinyIcon(16, {}, rows, 0, 0)},
        {"an image stored as PNG", png},
        {"no images", {0, 0, 1, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        IconImage image;
        EXPECT_FALSE(DecodeIcon(c.file.data(), c.file.size(), 2, &image)) << c.what;
    }
}

}  // namespace
