#include "tests/capture/support/image_files.h"

#include <gif_lib.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

RgbImage Widen(const Image565& image) {
    RgbImage widened{image.width, image.height, {}};
    for (Pixel565 pixel : image.pixels) {
        const Rgb8 rgb = Widen565(pixel);
        widened.rgb.insert(widened.rgb.end(), {rgb.red, rgb.green, rgb.blue});
    }
    return widened;
}

Image565 ReadRgb565(const std::string& path, int32_t width, int32_t height) {
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        throw std::runtime_error(path + ": cannot open");
    }
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                     std::istreambuf_iterator<char>()};
    if (bytes.size() != 2 * static_cast<size_t>(width) * height) {
        throw std::runtime_error(path + ": not " + std::to_string(width) + "x" +
                                 std::to_string(height) + " raw 16-bit pixels");
    }
    Image565 image{width, height, {}};
    for (size_t i = 0; i < bytes.size(); i += 2) {
        image.pixels.push_back(static_cast<Pixel565>(bytes[i] | bytes[i + 1] << 8));
    }
    return image;
}

namespace {
struct GifCloser {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

bool IsLoopForever(const SavedImage& image) {
    for (int i = 0; i + 1 < image.ExtensionBlockCount; ++i) {
        const ExtensionBlock& name = image.ExtensionBlocks[i];
        const ExtensionBlock& data = image.ExtensionBlocks[i + 1];
        if (name.Function == APPLICATION_EXT_FUNC_CODE && name.ByteCount == 11 &&
            std::memcmp(name.Bytes, "NETSCAPE2.0", 11) == 0 &&
            data.Function == CONTINUE_EXT_FUNC_CODE && data.ByteCount == 3 && data.Bytes[0] == 1 &&
            data.Bytes[1] == 0 && data.Bytes[2] == 0) {
            return true;
        }
    }
    return false;
}
}  // namespace

GifAnimation ReadGif(const std::string& path) {
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpenFileName(path.c_str(), &error));
    if (!gif) {
        throw std::runtime_error(path + ": " + GifErrorString(error));
    }
    if (DGifSlurp(gif.get()) != GIF_OK) {
        throw std::runtime_error(path + ": " + GifErrorString(gif->Error));
    }
    GifAnimation animation{gif->SWidth, gif->SHeight, false, {}};
    animation.loopsForever = gif->ImageCount > 0 && IsLoopForever(gif->SavedImages[0]);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& saved = gif->SavedImages[i];
        const GifImageDesc& desc = saved.ImageDesc;
        GraphicsControlBlock control{};
        if (DGifSavedExtensionToGCB(gif.get(), i, &control) != GIF_OK ||
            control.TransparentColor != NO_TRANSPARENT_COLOR || desc.Left != 0 || desc.Top != 0 ||
            desc.Width != gif->SWidth || desc.Height != gif->SHeight || desc.Interlace) {
            throw std::runtime_error(path + ": frame " + std::to_string(i) +
                                     " is not a whole opaque frame with a delay");
        }
        const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
        GifFrame frame{control.DelayTime, {desc.Width, desc.Height, {}}};
        for (int p = 0; p < desc.Width * desc.Height; ++p) {
            const int index = saved.RasterBits[p];
            if (map == nullptr || index >= map->ColorCount) {
                throw std::runtime_error(path + ": colour index out of its table");
            }
            const GifColorType colour = map->Colors[index];
            frame.image.rgb.insert(frame.image.rgb.end(), {colour.Red, colour.Green, colour.Blue});
        }
        animation.frames.push_back(std::move(frame));
    }
    return animation;
}
