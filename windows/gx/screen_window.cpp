#include "windows/gx/screen_window.h"

#include <windows.h>

#include <bitset>
#include <vector>

#include "frontends/common/screen_pixels.h"
#include "frontends/common/window_layout.h"
#include "windows/gx/gx_state.h"
#include "windows/gx/program_window.h"
#include "windows/gx/screen_dump.h"

namespace {
constexpr wchar_t kClassName[] = L"GxScreen";
constexpr wchar_t kInitialTitle[] = L"GX display";
constexpr double kRefreshMs = 1000.0 / 60.0;
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;

// Everything here belongs to the screen's thread, apart from `created`.
struct Screen {
    HWND window = nullptr;
    HANDLE created = nullptr;
    int32_t width = 0, height = 0;
    std::vector<uint16_t> pixels;
    std::vector<uint32_t> colours;  // the same, widened, for the window
    BITMAPINFO bitmap{};
    HWND program = nullptr;
    bool programNamed = false;
    bool inputPending = false;
    bool stylusDown = false;
    int32_t stylusX = 0, stylusY = 0;
    std::bitset<256> keysDown;
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

// Sets the stylus from a window position, pulled onto the screen's edge;
// false when the position lies in the bars around the screen.
bool ToScreen(LPARAM position) {
    const ScreenPlacement place = Placement();
    const int32_t x = static_cast<short>(LOWORD(position));
    const int32_t y = static_cast<short>(HIWORD(position));
    const bool inside = WindowToScreen(place, gScreen.width, gScreen.height, x, y, &gScreen.stylusX,
                                       &gScreen.stylusY);
    WindowToScreenClamped(place, gScreen.width, gScreen.height, x, y, &gScreen.stylusX,
                          &gScreen.stylusY);
    return inside;
}

void ReleaseStylus() {
    if (gScreen.stylusDown) {
        gScreen.stylusDown = false;
        if (gScreen.program != nullptr) {
            PostStylus(gScreen.program, WM_LBUTTONUP, gScreen.stylusX, gScreen.stylusY);
        }
    }
}

void ReleaseHeldInput() {
    ReleaseStylus();
    for (size_t key = 0; key < gScreen.keysDown.size(); ++key) {
        if (gScreen.keysDown.test(key) && gScreen.program != nullptr) {
            const UINT scan = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
            PostKey(gScreen.program, WM_KEYUP, key, 1 | LPARAM{scan} << 16 | LPARAM{3} << 30);
        }
    }
    gScreen.keysDown.reset();
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
        case WM_LBUTTONDOWN:
            if (program != nullptr && !gScreen.stylusDown && ToScreen(lParam)) {
                gScreen.stylusDown = true;
                SetCapture(window);
                PostStylus(program, WM_LBUTTONDOWN, gScreen.stylusX, gScreen.stylusY);
            }
            return 0;
        case WM_MOUSEMOVE:
            if (gScreen.stylusDown) {
                const int32_t lastX = gScreen.stylusX, lastY = gScreen.stylusY;
                ToScreen(lParam);
                if (gScreen.stylusX != lastX || gScreen.stylusY != lastY) {
                    PostStylus(program, WM_MOUSEMOVE, gScreen.stylusX, gScreen.stylusY);
                }
            }
            return 0;
        case WM_LBUTTONUP:
            if (gScreen.stylusDown) {
                ToScreen(lParam);
                ReleaseStylus();
                ReleaseCapture();
            }
            return 0;
        case WM_CAPTURECHANGED:
            ReleaseStylus();
            return 0;
        case WM_KILLFOCUS:
            ReleaseHeldInput();
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (program != nullptr && wParam < gScreen.keysDown.size()) {
                gScreen.keysDown.set(wParam, message == WM_KEYDOWN);
                PostKey(program, message, wParam, lParam);
            }
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
    gScreen.width = gx.screenWidth;
    gScreen.height = gx.screenHeight;
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
    const int32_t scale = LargestFittingScale(work.right - work.left - (frame.right - frame.left),
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
    PrepareScreenDump();
    const bool created = CreateScreenWindow();
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
}
