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
// The longest file name every file system takes: 255 UTF-16 characters on
// Windows', 255 bytes of UTF-8 on the Unix ones Wine writes to.
constexpr size_t kNameMax = 255;
constexpr int kTemporaryAttempts = 100;
constexpr int kRenameAttempts = 50;
constexpr DWORD kRenamePauseMs = 10;

// Where the screen goes, made out as the display opens.
struct ShotFile {
    std::wstring path;    // in full, so that the end writes where the start looked
    std::wstring folder;  // of `path`, with its last separator
    std::wstring name;
    std::string shown;  // as the user gave it, for messages
};
ShotFile gShot;

// Made ready on the screen's thread, used by the exiting thread.
IWICImagingFactory* gFactory = nullptr;
IStream* gEncoded = nullptr;  // the PNG, in memory until it is written
std::vector<uint16_t> gPixels;
std::vector<uint8_t> gRows;  // 24-bit, blue first, as the encoder takes them

// The system's own words for an error where it has them, else its code.
std::string Describe(HRESULT result) {
    return DescribeError(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result)
                                                                    : static_cast<DWORD>(result));
}

// Under Wine the file goes to a Unix folder, whose names count bytes.
bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

size_t LastSeparator(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    // "C:shot.png" is in the current folder of drive C.
    if (slash == std::wstring::npos && path.size() >= 2 && path[1] == L':') {
        return 1;
    }
    return slash;
}

// The folder part of a path without its last separator, unless it is a root.
std::wstring FolderToAsk(const std::wstring& folder) {
    if (folder.empty()) {
        return L".";
    }
    const wchar_t last = folder.back();
    const std::wstring bare = folder.substr(0, folder.size() - 1);
    if ((last != L'\\' && last != L'/') || bare.empty() || bare.back() == L':') {
        return folder;  // a drive's current folder, or a root
    }
    return bare;
}

// CON, PRN, AUX, NUL, COM0-9 and LPT0-9 (and COM and LPT with a superscript
// 1, 2 or 3) name devices in every folder, whatever follows the first dot.
bool IsDeviceName(const std::wstring& name) {
    std::wstring base = name.substr(0, name.find(L'.'));
    while (!base.empty() && base.back() == L' ') {
        base.pop_back();
    }
    CharUpperBuffW(base.data(), static_cast<DWORD>(base.size()));
    if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL") {
        return true;
    }
    if (base.size() != 4 || (base.compare(0, 3, L"COM") != 0 && base.compare(0, 3, L"LPT") != 0)) {
        return false;
    }
    const wchar_t last = base[3];
    return (last >= L'0' && last <= L'9') || last == L'\u00b9' || last == L'\u00b2' ||
           last == L'\u00b3';
}

// ".NAME.tmpPID-N" beside the file, NAME cut short where the whole would be
// longer than kNameMax bytes of UTF-8 (so no longer in UTF-16 either), never
// inside a character.
std::wstring TemporaryName(const std::wstring& name, int attempt) {
    const std::wstring suffix =
        L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt);
    std::wstring kept = name;
    while (!kept.empty() && Utf8(L"." + kept + suffix).size() > kNameMax) {
        kept.pop_back();
        if (!kept.empty() && IS_HIGH_SURROGATE(kept.back())) {
            kept.pop_back();
        }
    }
    return L"." + kept + suffix;
}

// A file of a new name beside the screenshot, opened for writing; nothing
// that is already there is touched. On failure returns INVALID_HANDLE_VALUE
// with the system's error code in *error.
HANDLE CreateTemporary(DWORD flags, std::wstring* path, DWORD* error) {
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        *path = gShot.folder + TemporaryName(gShot.name, attempt);
        const HANDLE file =
            CreateFileW(path->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, flags, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            return file;
        }
        *error = GetLastError();
        if (*error != ERROR_FILE_EXISTS && *error != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    path->clear();
    return INVALID_HANDLE_VALUE;
}

// Why a file could not be written, as a user would say it.
std::string Reason(DWORD error) {
    switch (error) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "the disk is full";
        case ERROR_WRITE_PROTECT:
            return "the disk is read-only";
        case ERROR_ACCESS_DENIED:
            return "access is denied";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return "another program is using it";
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return "its folder is not there";
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_DIRECTORY:
            return "that is not a name a file can have";
        case ERROR_FILENAME_EXCED_RANGE:
            return "the name is too long";
        case ERROR_NOT_READY:
            return "the drive is not ready";
        default:
            return DescribeError(error);
    }
}

std::runtime_error CannotWrite(const std::string& reason) {
    return std::runtime_error("cannot write " + gShot.shown + ": " + reason);
}

// Everything that can be known before the run about whether the screen can
// be saved: what the name is, its folder, what is there under that name,
// and a file of a new name made and let go in that folder.
void CheckScreenshot(const GxSettings& settings) {
    gShot.shown = settings.launch.screenshotPath;
    const std::wstring& given = settings.screenshotPath;
    const size_t givenSlash = LastSeparator(given);
    const std::wstring name = given.substr(givenSlash == std::wstring::npos ? 0 : givenSlash + 1);
    if (IsDeviceName(name)) {
        throw CannotWrite(Utf8(name) + " is a device name, not a file");
    }
    const size_t bytes = Utf8(name).size();
    if (name.size() > kNameMax) {
        throw CannotWrite("the name is " + std::to_string(name.size()) +
                          " characters long, and a file name has at most " +
                          std::to_string(kNameMax));
    }
    if (bytes > kNameMax && UnderWine()) {
        throw CannotWrite("the name is " + std::to_string(bytes) +
                          " bytes long, and a file name has at most " + std::to_string(kNameMax));
    }
    const std::wstring givenFolder =
        givenSlash == std::wstring::npos ? L"" : given.substr(0, givenSlash + 1);
    const DWORD folder = GetFileAttributesW(FolderToAsk(givenFolder).c_str());
    if (folder == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        throw CannotWrite(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                              ? "there is no folder " + Utf8(FolderToAsk(givenFolder))
                              : Reason(error));
    }
    if ((folder & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        throw CannotWrite(Utf8(FolderToAsk(givenFolder)) + " is a file, not a folder");
    }

    const DWORD length = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    gShot.path.assign(length, L'\0');
    if (length == 0 || GetFullPathNameW(given.c_str(), length, gShot.path.data(), nullptr) == 0) {
        throw CannotWrite(Reason(GetLastError()));
    }
    gShot.path.resize(wcslen(gShot.path.c_str()));
    const size_t slash = LastSeparator(gShot.path);
    gShot.folder = gShot.path.substr(0, slash + 1);
    gShot.name = gShot.path.substr(slash + 1);

    const DWORD existing = GetFileAttributesW(gShot.path.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES) {
        if ((existing & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            throw CannotWrite("it is a folder");
        }
        // Windows replaces no read-only file.
        if ((existing & FILE_ATTRIBUTE_READONLY) != 0) {
            throw CannotWrite("it is read-only");
        }
    }
    std::wstring probe;
    DWORD error = 0;
    const HANDLE file =
        CreateTemporary(FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, &probe, &error);
    if (file == INVALID_HANDLE_VALUE) {
        throw CannotWrite(error == ERROR_ACCESS_DENIED ? "its folder cannot be written to"
                                                       : Reason(error));
    }
    CloseHandle(file);
}

// The encoded PNG, written under a temporary name in the same folder and
// renamed into place, so no half-written file is left. 0, or the system's
// error code.
DWORD WriteInPlace(const void* bytes, DWORD size) {
    std::wstring temporary;
    DWORD error = 0;
    const HANDLE file = CreateTemporary(FILE_ATTRIBUTE_NORMAL, &temporary, &error);
    if (file == INVALID_HANDLE_VALUE) {
        return error;
    }
    DWORD written = 0;
    if (!WriteFile(file, bytes, size, &written, nullptr)) {
        error = GetLastError();
    } else if (written != size) {
        error = ERROR_DISK_FULL;
    }
    if (!CloseHandle(file) && error == 0) {
        error = GetLastError();
    }
    // Windows replaces no file that is open, and another run saving to the
    // same name holds the file it renamed into place for a moment: a few
    // more tries, a little apart.
    for (int attempt = 1; error == 0; ++attempt) {
        if (MoveFileExW(temporary.c_str(), gShot.path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            break;
        }
        const DWORD failure = GetLastError();
        if ((failure != ERROR_ACCESS_DENIED && failure != ERROR_SHARING_VIOLATION) ||
            attempt == kRenameAttempts) {
            error = failure;
        } else {
            Sleep(kRenamePauseMs);
        }
    }
    if (error != 0) {
        DeleteFileW(temporary.c_str());
    }
    return error;
}

// The screen as an 8-bit RGB PNG in gEncoded.
HRESULT EncodePng(int32_t width, int32_t height) {
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IWICBitmap* bitmap = nullptr;
    IWICBitmapSource* source = nullptr;
    const UINT stride = static_cast<UINT>(width) * 3;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    HRESULT result = gFactory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(result)) {
        result = encoder->Initialize(gEncoded, WICBitmapEncoderNoCache);
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
                             static_cast<IUnknown*>(frame), static_cast<IUnknown*>(encoder)}) {
        if (object != nullptr) {
            object->Release();
        }
    }
    return result;
}

// Encodes the screen and writes it; a message for the user when it fails.
std::string SaveScreen(int32_t width, int32_t height) {
    HRESULT result = EncodePng(width, height);
    STATSTG status{};
    HGLOBAL memory = nullptr;
    if (SUCCEEDED(result)) {
        result = gEncoded->Stat(&status, STATFLAG_NONAME);
    }
    if (SUCCEEDED(result)) {
        result = GetHGlobalFromStream(gEncoded, &memory);
    }
    const void* bytes = SUCCEEDED(result) ? GlobalLock(memory) : nullptr;
    if (bytes == nullptr) {
        return "the screen could not be made a PNG image (" + Describe(result) + ")";
    }
    const DWORD error = WriteInPlace(bytes, static_cast<DWORD>(status.cbSize.QuadPart));
    GlobalUnlock(memory);
    return error == 0 ? "" : Reason(error);
}
}  // namespace

void PrepareScreenDump() {
    const GxState& gx = Gx();
    const size_t count = static_cast<size_t>(gx.model.screenWidth) * gx.model.screenHeight;
    gPixels.assign(count, 0);
    if (gx.settings.screenshotPath.empty()) {
        return;
    }
    CheckScreenshot(gx.settings);
    gRows.assign(3 * count, 0);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&gFactory));
    if (SUCCEEDED(result)) {
        result = CreateStreamOnHGlobal(nullptr, TRUE, &gEncoded);
    }
    if (FAILED(result)) {
        throw std::runtime_error("cannot save screenshots: no image encoder (" + Describe(result) +
                                 ")");
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
    const std::string failure = SaveScreen(gx.model.screenWidth, gx.model.screenHeight);
    if (!failure.empty()) {
        WriteErrorLine("gx.dll: cannot write " + gShot.shown + ": " + failure);
        TerminateProcess(GetCurrentProcess(), kFailed);
    }
}
