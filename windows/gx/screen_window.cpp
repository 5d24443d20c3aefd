#include "windows/gx/screen_window.h"

#include <windows.h>

#include <pixels/pixel565.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "device_core/held_input.h"
#include "device_core/screen_layout.h"
#include "windows/gx/gx_state.h"
#include "windows/gx/program_window.h"
#include "windows/gx/screen_dump.h"

namespace {
constexpr wchar_t kClassName[] = L"GxScreen";
constexpr wchar_t kInitialTitle[] = L"GX display";
constexpr double kRefreshMs = 1000.0 / 60.0;
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;

// Held input goes to the program's main window as the device's messages,
// once it has one.
class ProgramInput : public device::InputSink {
public:
    HWND program = nullptr;

    void StylusDown(int32_t x, int32_t y) override { Stylus(WM_LBUTTONDOWN, x, y); }
    void StylusMove(int32_t x, int32_t y) override { Stylus(WM_MOUSEMOVE, x, y); }
    void StylusUp(int32_t x, int32_t y) override { Stylus(WM_LBUTTONUP, x, y); }
    void KeyDown(uint32_t virtualKey, bool repeat) override {
        Key(WM_KEYDOWN, virtualKey, repeat ? LPARAM{1} << 30 : 0);
    }
    void KeyUp(uint32_t virtualKey) override { Key(WM_KEYUP, virtualKey, LPARAM{3} << 30); }

private:
    void Stylus(UINT message, int32_t x, int32_t y) {
        if (program != nullptr) {
            PostStylus(program, message, x, y);
        }
    }
    // A repeat count of 1, the key's scan code, and the previous-state and
    // transition bits.
    void Key(UINT message, uint32_t virtualKey, LPARAM state) {
        if (program != nullptr) {
            const LPARAM scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
            PostKey(program, message, virtualKey, 1 | scan << 16 | state);
        }
    }
};

// Everything here belongs to the screen's thread, apart from `created`.
struct Screen {
    HWND window = nullptr;
    HANDLE created = nullptr;
    DWORD failure = 0;  // why the window could not be made, for the starting thread
    int32_t width = 0, height = 0;
    std::vector<uint16_t> pixels;
    std::vector<uint32_t> colours;  // the same, widened, for the window
    BITMAPINFO bitmap{};
    HWND program = nullptr;
    bool programNamed = false;
    bool inputPending = false;
    ProgramInput input;
    device::HeldInput held{input};
};
Screen gScreen;

BOOL CALLBACK LoadFirstIcon(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR icon) {
    (void)type;
    *reinterpret_cast<HICON*>(icon) = LoadIconW(module, name);
    return FALSE;
}

// The program's own icon: the first icon group of its executable.
HICON ProgramIcon() {
    HICON icon = nullptr;
    EnumResourceNamesW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(14), LoadFirstIcon,
                       reinterpret_cast<LONG_PTR>(&icon));
    return icon;
}

double NowMs() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

ScreenPlacement Placement() {
    RECT client;
    GetClientRect(gScreen.window, &client);
    return PlaceScreen(client.right, client.bottom, gScreen.width, gScreen.height);
}

// The screen pixel under a window position, pulled onto the screen's edge;
// false when the position lies in the bars around the screen.
bool ToScreen(LPARAM position, int32_t* screenX, int32_t* screenY) {
    const ScreenPlacement place = Placement();
    const int32_t x = static_cast<short>(LOWORD(position));
    const int32_t y = static_cast<short>(HIWORD(position));
    const bool inside =
        WindowToScreen(place, gScreen.width, gScreen.height, x, y, screenX, screenY);
    WindowToScreenClamped(place, gScreen.width, gScreen.height, x, y, screenX, screenY);
    return inside;
}

void Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(gScreen.window, &paint);
    const ScreenPlacement place = Placement();
    const int32_t w = gScreen.width * place.scale, h = gScreen.height * place.scale;
    StretchDIBits(dc, place.left, place.top, w, h, 0, 0, gScreen.width, gScreen.height,
                  gScreen.colours.data(), &gScreen.bitmap, DIB_RGB_COLORS, SRCCOPY);
    // Black bars around the screen when the window is larger.
    ExcludeClipRect(dc, place.left, place.top, place.left + w, place.top + h);
    RECT client;
    GetClientRect(gScreen.window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EndPaint(gScreen.window, &paint);
}

void Present() {
    uint64_t published = 0;
    CopyScreen(gScreen.pixels.data(), &published);
    WidenToXrgb(gScreen.pixels.data(), gScreen.width, gScreen.height, gScreen.colours.data(),
                static_cast<size_t>(gScreen.width) * sizeof(uint32_t));
    InvalidateRect(gScreen.window, nullptr, FALSE);
    UpdateWindow(gScreen.window);
    Gx().refreshes.fetch_add(1);
}

LRESULT CALLBACK ScreenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND program = gScreen.program;
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN: {
            int32_t x = 0, y = 0;
            if (program != nullptr && !gScreen.held.StylusHeld() && ToScreen(lParam, &x, &y)) {
                SetCapture(window);
                gScreen.held.StylusDown(x, y);
            }
            return 0;
        }
        case WM_MOUSEMOVE: {
            int32_t x = 0, y = 0;
            ToScreen(lParam, &x, &y);
            gScreen.held.StylusMove(x, y);
            return 0;
        }
        case WM_LBUTTONUP:
            if (gScreen.held.StylusHeld()) {
                int32_t x = 0, y = 0;
                ToScreen(lParam, &x, &y);
                gScreen.held.StylusUp(x, y);
                ReleaseCapture();
            }
            return 0;
        case WM_CAPTURECHANGED:
        case WM_KILLFOCUS:
            gScreen.held.ReleaseAll();
            return 0;
        case WM_KEYDOWN:
            if (program != nullptr) {
                gScreen.held.KeyDown(static_cast<uint32_t>(wParam));
            }
            return 0;
        case WM_KEYUP:
            gScreen.held.KeyUp(static_cast<uint32_t>(wParam));
            return 0;
        case WM_CLOSE:
            // The program decides; the screen stays until the process ends.
            if (program != nullptr) {
                PostClose(program);
            }
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void FireScheduledInput(ScheduledInputKind kind) {
    HWND program = gScreen.program;
    switch (kind) {
        case ScheduledInputKind::kTap: {
            const int32_t x = gScreen.width / 2, y = gScreen.height / 2;
            PostStylus(program, WM_LBUTTONDOWN, x, y);
            PostStylus(program, WM_LBUTTONUP, x, y);
            break;
        }
        case ScheduledInputKind::kKey: {
            const LPARAM scan = MapVirtualKeyW(VK_SPACE, MAPVK_VK_TO_VSC);
            PostKey(program, WM_KEYDOWN, VK_SPACE, 1 | scan << 16);
            PostKey(program, WM_KEYUP, VK_SPACE, 1 | scan << 16 | LPARAM{3} << 30);
            break;
        }
        case ScheduledInputKind::kClose:
            PostClose(program);
            break;
        case ScheduledInputKind::kNone:
            break;
    }
}

// Input for the program waits until it has a window to go to.
void FollowProgram() {
    GxState& gx = Gx();
    if (gScreen.program == nullptr || !IsWindow(gScreen.program)) {
        gScreen.program = FindProgramWindow(gx.programThread);
        gScreen.input.program = gScreen.program;
    }
    if (gScreen.program == nullptr) {
        return;
    }
    if (!gScreen.programNamed) {
        // The program's title, read without a message that would wait for
        // its busy thread; the screen then comes in front of its window.
        gScreen.programNamed = true;
        wchar_t title[256] = {};
        if (InternalGetWindowText(gScreen.program, title, 256) > 0) {
            SetWindowTextW(gScreen.window, title);
        }
        SetWindowPos(gScreen.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(gScreen.window);
    }
    const LaunchOptions& launch = gx.settings.launch;
    if (gScreen.inputPending &&
        GetTickCount64() - gx.startTick >= static_cast<ULONGLONG>(launch.inputAfterMs)) {
        gScreen.inputPending = false;
        FireScheduledInput(launch.input);
    }
}

bool CreateScreenWindow() {
    const GxState& gx = Gx();
    gScreen.width = gx.model.screenWidth;
    gScreen.height = gx.model.screenHeight;
    const size_t count = static_cast<size_t>(gScreen.width) * gScreen.height;
    gScreen.pixels.assign(count, 0);
    gScreen.colours.assign(count, 0);
    BITMAPINFOHEADER& header = gScreen.bitmap.bmiHeader;
    header.biSize = sizeof header;
    header.biWidth = gScreen.width;
    header.biHeight = -gScreen.height;  // rows top to bottom
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    gScreen.inputPending = gx.settings.launch.input != ScheduledInputKind::kNone;

    HINSTANCE instance = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&ScreenProc), &instance);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ScreenProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    windowClass.hIcon = ProgramIcon();
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);

    RECT work{0, 0, gScreen.width, gScreen.height};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    const int32_t given = gx.settings.launch.scale;
    const int32_t scale =
        given != 0 ? given
                   : LargestFittingScale(work.right - work.left - (frame.right - frame.left),
                                         work.bottom - work.top - (frame.bottom - frame.top),
                                         gScreen.width, gScreen.height, kMaxDefaultScale);
    RECT size{0, 0, gScreen.width * scale, gScreen.height * scale};
    AdjustWindowRectEx(&size, kWindowStyle, FALSE, 0);
    gScreen.window = CreateWindowExW(0, kClassName, kInitialTitle, kWindowStyle, CW_USEDEFAULT,
                                     CW_USEDEFAULT, size.right - size.left, size.bottom - size.top,
                                     nullptr, nullptr, instance, nullptr);
    if (gScreen.window == nullptr) {
        return false;
    }
    ShowWindow(gScreen.window, SW_SHOW);
    return true;
}

DWORD WINAPI ScreenThread(LPVOID) {
    const bool created = CreateScreenWindow();
    gScreen.failure = created ? 0 : GetLastError();
    SetEvent(gScreen.created);
    if (!created) {
        return 1;
    }
    // Waits of a millisecond or two, not the system's default tick.
    timeBeginPeriod(1);
    double next = NowMs();
    for (;;) {
        double now = NowMs();
        if (now >= next) {
            Present();
            next += kRefreshMs;
            if (next < now) {
                next = now + kRefreshMs;  // fell behind: no burst to catch up
            }
        }
        FollowProgram();
        now = NowMs();
        const DWORD wait = next > now ? static_cast<DWORD>(next - now) + 1 : 0;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}
}  // namespace

void StartScreenWindow() {
    gScreen.created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, ScreenThread, nullptr, 0, nullptr);
    if (thread == nullptr) {
        WriteErrorLine("gx.dll: cannot start the screen's thread");
        ExitProcess(1);
    }
    WaitForSingleObject(gScreen.created, INFINITE);
    CloseHandle(thread);
    if (gScreen.window == nullptr) {
        throw std::runtime_error("cannot open a window: " + DescribeError(gScreen.failure));
    }
}
