#include "windows/gx/screen_dump.h"

#include <wincodec.h>
#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include <pixels/pixel565.h>
#include "windows/gx/gx_state.h"

namespace {
constexpr UINT kFailed = 1;

// Made ready on the screen's thread, used by the exiting thread.
IWICImagingFactory* gFactory = nullptr;
std::vector<uint16_t> gPixels;
std::vector<uint8_t> gRows;  // 24-bit, blue first, as the encoder takes them

// The system's own words for an error where it has them, else its code.
std::string Describe(HRESULT result) {
    return DescribeError(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result)
                                                                    : static_cast<DWORD>(result));
}

// A screenshot that could not be saved is refused before the run, not after
// it: its folder has to be there.
void CheckScreenshotFolder(const GxSettings& settings) {
    const std::wstring& path = settings.screenshotPath;
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring folder =
        slash == std::wstring::npos ? L"." : path.substr(0, slash == 0 ? 1 : slash);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        const DWORD error =
            attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_DIRECTORY;
        throw std::runtime_error("cannot write " + settings.launch.screenshotPath + ": " +
                                 Describe(HRESULT_FROM_WIN32(error)));
    }
}

// Writes the screen as an 8-bit RGB PNG under a temporary name in the same
// folder and renames it into place, so no half-written file is left.
HRESULT WritePng(const std::wstring& path, int32_t width, int32_t height) {
    const std::wstring temporary = path + L".part";
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IWICBitmap* bitmap = nullptr;
    IWICBitmapSource* source = nullptr;
    const UINT stride = static_cast<UINT>(width) * 3;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    HRESULT result = gFactory->CreateStream(&stream);
    if (SUCCEEDED(result)) {
        result = stream->InitializeFromFilename(temporary.c_str(), GENERIC_WRITE);
    }
    if (SUCCEEDED(result)) {
        result = gFactory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    }
    if (SUCCEEDED(result)) {
        result = encoder->Initialize(stream, WICBitmapEncoderNoCache);
    }
    if (SUCCEEDED(result)) {
        result = encoder->CreateNewFrame(&frame, nullptr);
    }
    if (SUCCEEDED(result)) {
        result = frame->Initialize(nullptr);
    }
    if (SUCCEEDED(result)) {
        result = frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height));
    }
    if (SUCCEEDED(result)) {
        result = frame->SetPixelFormat(&format);
    }
    if (SUCCEEDED(result)) {
        result = gFactory->CreateBitmapFromMemory(
            static_cast<UINT>(width), static_cast<UINT>(height), GUID_WICPixelFormat24bppBGR,
            stride, static_cast<UINT>(gRows.size()), gRows.data(), &bitmap);
    }
    if (SUCCEEDED(result)) {
        // An encoder may offer a format of its own in place of the one asked
        // for; the pixels are then converted to it.
        if (IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) {
            source = bitmap;
            source->AddRef();
        } else {
            result = WICConvertBitmapSource(format, bitmap, &source);
        }
    }
    if (SUCCEEDED(result)) {
        result = frame->WriteSource(source, nullptr);
    }
    if (SUCCEEDED(result)) {
        result = frame->Commit();
    }
    if (SUCCEEDED(result)) {
        result = encoder->Commit();
    }
    for (IUnknown* object : {static_cast<IUnknown*>(source), static_cast<IUnknown*>(bitmap),
                             static_cast<IUnknown*>(frame), static_cast<IUnknown*>(encoder),
                             static_cast<IUnknown*>(stream)}) {
        if (object != nullptr) {
            object->Release();
        }
    }
    if (SUCCEEDED(result) &&
        !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        result = HRESULT_FROM_WIN32(GetLastError());
    }
    if (FAILED(result)) {
        DeleteFileW(temporary.c_str());
    }
    return result;
}
}  // namespace

void PrepareScreenDump() {
    const GxState& gx = Gx();
    const size_t count = static_cast<size_t>(gx.model.screenWidth) * gx.model.screenHeight;
    gPixels.assign(count, 0);
    if (gx.settings.screenshotPath.empty()) {
        return;
    }
    CheckScreenshotFolder(gx.settings);
    gRows.assign(3 * count, 0);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_PPV_ARGS(&gFactory));
    if (FAILED(result)) {
        gFactory = nullptr;
        WriteErrorLine("gx.dll: cannot save screenshots: no image encoder (" + Describe(result) +
                       ")");
        ExitProcess(kFailed);
    }
}

void FinishAtExit() {
    GxState& gx = Gx();
    if (!gx.ready.load()) {
        return;  // never started, or ended for a bad setting
    }
    uint64_t published = 0;
    CopyScreen(gPixels.data(), &published);
    if (gx.settings.stats) {
        const double seconds = static_cast<double>(GetTickCount64() - gx.startTick) / 1000.0;
        const unsigned long long refreshes = gx.refreshes.load();
        char line[160];
        std::snprintf(line, sizeof line,
                      "gx.dll: %.2f s, %llu refreshes (%.1f/s), %llu published frames (%.1f/s)",
                      seconds, refreshes, refreshes / seconds,
                      static_cast<unsigned long long>(published), published / seconds);
        WriteErrorLine(line);
    }
    if (gFactory == nullptr) {
        return;
    }
    uint8_t* out = gRows.data();
    for (const uint16_t pixel : gPixels) {
        const Rgb8 rgb = Widen565(pixel);
        *out++ = rgb.blue;
        *out++ = rgb.green;
        *out++ = rgb.red;
    }
    const HRESULT result =
        WritePng(gx.settings.screenshotPath, gx.model.screenWidth, gx.model.screenHeight);
    if (FAILED(result)) {
        WriteErrorLine("gx.dll: cannot save the screen as " + gx.settings.launch.screenshotPath +
                       " (" + Describe(result) + ")");
        TerminateProcess(GetCurrentProcess(), kFailed);
    }
}
