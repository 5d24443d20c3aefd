#include "tools/capture/gif_writer.h"

#include <gif_lib.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>

namespace {
struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColourMap = std::unique_ptr<ColorMapObject, MapDeleter>;

int WriteToFile(GifFileType* gif, const GifByteType* data, int size) {
    AtomicFile* file = static_cast<AtomicFile*>(gif->UserData);
    return file->Write(data, static_cast<size_t>(size)) ? size : 0;
}

// The frame's distinct colours, ascending.
std::vector<Pixel565> ColoursOf(const Image565& frame) {
    std::vector<bool> seen(65536, false);
    std::vector<Pixel565> colours;
    for (Pixel565 pixel : frame.pixels) {
        if (!seen[pixel]) {
            seen[pixel] = true;
            colours.push_back(pixel);
            if (colours.size() > 256) {
                throw std::runtime_error("a frame has more than 256 colours");
            }
        }
    }
    std::sort(colours.begin(), colours.end());
    return colours;
}

// A table of the colours and the index of each colour by its 565 value.
ColourMap MakeMap(const std::vector<Pixel565>& colours, std::vector<int16_t>& index) {
    const int size = 1 << GifBitSize(static_cast<int>(std::max<size_t>(colours.size(), 2)));
    ColourMap map(GifMakeMapObject(size, nullptr));
    if (!map) {
        throw std::runtime_error("no memory for a GIF colour table");
    }
    index.assign(65536, -1);
    for (size_t i = 0; i < colours.size(); ++i) {
        const Rgb8 rgb = Widen565(colours[i]);
        map->Colors[i] = GifColorType{rgb.red, rgb.green, rgb.blue};
        index[colours[i]] = static_cast<int16_t>(i);
    }
    return map;
}

bool AllIndexed(const Image565& frame, const std::vector<int16_t>& index) {
    return std::all_of(frame.pixels.begin(), frame.pixels.end(),
                       [&](Pixel565 pixel) { return index[pixel] >= 0; });
}
}  // namespace

int32_t GifDelay(int32_t index, int32_t fps) {
    const auto start = [fps](int64_t k) { return (200 * k + fps) / (2 * int64_t{fps}); };
    return static_cast<int32_t>(start(index + 1) - start(index));
}

GifWriter::GifWriter(AtomicFile& file, int32_t fps) : file_(file), fps_(fps) {
    int error = 0;
    gif_ = EGifOpen(&file_, WriteToFile, &error);
    if (gif_ == nullptr) {
        throw std::runtime_error(std::string("GIF encoder: ") + GifErrorString(error));
    }
    EGifSetGifVersion(gif_, true);
}

GifWriter::~GifWriter() {
    if (gif_ != nullptr) {
        EGifCloseFile(gif_, nullptr);
    }
}

void GifWriter::Check(int result) {
    if (result == GIF_ERROR) {
        file_.ThrowIfFailed();
        throw std::runtime_error(std::string("GIF encoder: ") + GifErrorString(gif_->Error));
    }
}

void GifWriter::Start(const Image565& first) {
    const ColourMap global = MakeMap(ColoursOf(first), globalIndex_);
    Check(EGifPutScreenDesc(gif_, first.width, first.height, 8, 0, global.get()));
    // Loop forever: the application extension browsers and viewers honour.
    static const GifByteType kLoopName[] = "NETSCAPE2.0";
    static const GifByteType kLoopForever[] = {1, 0, 0};
    Check(EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE));
    Check(EGifPutExtensionBlock(gif_, 11, kLoopName));
    Check(EGifPutExtensionBlock(gif_, 3, kLoopForever));
    Check(EGifPutExtensionTrailer(gif_));
}

void GifWriter::Add(const Image565& frame) {
    if (frames_ == 0) {
        Start(frame);
    }
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.DelayTime = GifDelay(frames_, fps_);
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    Check(EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension));

    std::vector<int16_t> localIndex;
    ColourMap local;
    if (!AllIndexed(frame, globalIndex_)) {
        local = MakeMap(ColoursOf(frame), localIndex);
    }
    const std::vector<int16_t>& index = local ? localIndex : globalIndex_;
    if (!local && gif_->Image.ColorMap != nullptr) {
        // giflib drops, without freeing, the previous frame's table here.
        GifFreeMapObject(gif_->Image.ColorMap);
        gif_->Image.ColorMap = nullptr;
    }
    Check(EGifPutImageDesc(gif_, 0, 0, frame.width, frame.height, false, local.get()));
    indices_.resize(frame.pixels.size());
    std::transform(frame.pixels.begin(), frame.pixels.end(), indices_.begin(),
                   [&](Pixel565 pixel) { return static_cast<uint8_t>(index[pixel]); });
    Check(EGifPutLine(gif_, indices_.data(), static_cast<int>(indices_.size())));
    ++frames_;
}

void GifWriter::Finish() {
    int error = 0;
    const int result = EGifCloseFile(gif_, &error);
    gif_ = nullptr;
    if (result == GIF_ERROR) {
        file_.ThrowIfFailed();
        throw std::runtime_error(std::string("GIF encoder: ") + GifErrorString(error));
    }
    file_.ThrowIfFailed();
}
