#include "conformance/probe.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <initializer_list>

namespace {

// Not among the messages the stand-in names, but part of what is compared:
// desktop Windows sends it after WM_DESTROY.
constexpr UINT kNcDestroy = 0x0082;
// A message of the probe's own (the application range).
constexpr UINT kProbeMessage = 0x8001;
// A frameless window, so that client and screen coordinates agree.
constexpr DWORD kPopup = 0x80000000;
constexpr int kMissingResource = 4321;
constexpr DWORD kTerminateCode = 42;
constexpr DWORD kReturnCode = 17;

void Line(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    std::putchar('\n');
    std::fflush(stdout);
}

const char* NameOf(UINT message) {
    switch (message) {
        case WM_CREATE:
            return "WM_CREATE";
        case WM_DESTROY:
            return "WM_DESTROY";
        case kNcDestroy:
            return "WM_NCDESTROY";
        case WM_PAINT:
            return "WM_PAINT";
        case WM_CLOSE:
            return "WM_CLOSE";
        case WM_QUIT:
            return "WM_QUIT";
        case WM_KEYDOWN:
            return "WM_KEYDOWN";
        case WM_KEYUP:
            return "WM_KEYUP";
        case WM_CHAR:
            return "WM_CHAR";
        case WM_MOUSEMOVE:
            return "WM_MOUSEMOVE";
        case WM_LBUTTONDOWN:
            return "WM_LBUTTONDOWN";
        case WM_LBUTTONUP:
            return "WM_LBUTTONUP";
        case kProbeMessage:
            return "PROBE";
        default:
            return nullptr;  // the platform's own business: not compared
    }
}

// The parts of a message that mean the same on every target: for keys the
// repeat count and transition bits (scan codes are the keyboard's), for the
// stylus its point and button.
void Describe(char* text, size_t size, UINT message, WPARAM wParam, LPARAM lParam) {
    const char* name = NameOf(message);
    switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
            std::snprintf(text, size, "%s key=0x%02x repeat=%u previous=%u up=%u", name,
                          static_cast<unsigned>(wParam), static_cast<unsigned>(lParam & 0xFFFF),
                          static_cast<unsigned>((lParam >> 30) & 1),
                          static_cast<unsigned>((lParam >> 31) & 1));
            break;
        case WM_CHAR:
            std::snprintf(text, size, "%s char=0x%02x", name, static_cast<unsigned>(wParam));
            break;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            std::snprintf(text, size, "%s x=%d y=%d buttons=%u", name,
                          static_cast<int>(static_cast<short>(LOWORD(lParam))),
                          static_cast<int>(static_cast<short>(HIWORD(lParam))),
                          static_cast<unsigned>(wParam));
            break;
        case WM_QUIT:
        case kProbeMessage:
            std::snprintf(text, size, "%s wParam=%u", name, static_cast<unsigned>(wParam));
            break;
        default:
            std::snprintf(text, size, "%s", name);
            break;
    }
}

int gDepth = 0;           // how deeply the procedure is nested in itself
bool gQuiet = false;      // the procedure lists nothing while an order is taken
UINT gQuitOnDestroy = 0;  // PostQuitMessage code on WM_DESTROY, plus one

LRESULT CALLBACK ProbeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (NameOf(message) == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    char text[96];
    Describe(text, sizeof text, message, wParam, lParam);
    if (!gQuiet) {
        Line("%*sproc %s", 2 * (gDepth + 1), "", text);
    }
    ++gDepth;
    LRESULT result = 0;
    if (message == WM_DESTROY && gQuitOnDestroy != 0) {
        PostQuitMessage(static_cast<int>(gQuitOnDestroy - 1));
    } else if (message == WM_CLOSE) {
        result = DefWindowProcW(window, message, wParam, lParam);
        Line("%*sDefWindowProcW(WM_CLOSE) = %ld", 2 * gDepth, "", static_cast<long>(result));
    } else if (message != WM_CREATE) {
        result = DefWindowProcW(window, message, wParam, lParam);
    }
    --gDepth;
    return result;
}

// Takes, translates and dispatches messages, one line each, until
// GetMessageW has returned `stopAfter` (WM_QUIT: until it returned 0) with
// the given wParam. With `order`, lists instead only what was taken, by name
// and wParam, on one line that it returns in `order`.
void Pump(UINT stopAfter, WPARAM stopWParam, char* order = nullptr, size_t orderSize = 0) {
    size_t used = 0;
    gQuiet = order != nullptr;
    for (int taken = 0; taken < 64; ++taken) {
        MSG m{};
        const BOOL result = GetMessageW(&m, nullptr, 0, 0);
        const char* name = NameOf(m.message);
        if (name != nullptr && order != nullptr && used < orderSize) {
            used += static_cast<size_t>(std::snprintf(order + used, orderSize - used, " %s(0x%x)",
                                                      name, static_cast<unsigned>(m.wParam)));
        } else if (name != nullptr) {
            char text[96];
            Describe(text, sizeof text, m.message, m.wParam, m.lParam);
            Line("GetMessageW = %d %s", result, text);
        }
        if (result <= 0) {
            if (stopAfter == WM_QUIT) {
                gQuiet = false;
                return;
            }
            continue;
        }
        const BOOL translated = TranslateMessage(&m);
        if (name != nullptr && order == nullptr) {
            Line("  TranslateMessage(%s) = %d", name, translated);
        }
        DispatchMessageW(&m);
        if (m.message == stopAfter && m.wParam == stopWParam) {
            gQuiet = false;
            return;
        }
    }
    gQuiet = false;
    Line("pump: gave up after 64 messages");
}

DWORD WINAPI SleepForever(LPVOID) {
    for (;;) {
        Sleep(10);
    }
}

DWORD WINAPI ReturnAtOnce(LPVOID) {
    return kReturnCode;
}

void ObserveResources(HINSTANCE instance) {
    Line("LoadIconW(missing) = %s",
         LoadIconW(instance, MAKEINTRESOURCEW(kMissingResource)) == nullptr ? "null" : "handle");
    Line("LoadCursorW(missing) = %s",
         LoadCursorW(instance, MAKEINTRESOURCEW(kMissingResource)) == nullptr ? "null" : "handle");
}

HWND ObserveWindowCreation(HINSTANCE instance) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ProbeProcedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = TEXT("probe");
    Line("RegisterClassW = %s", RegisterClassW(&windowClass) != 0 ? "atom" : "0");
    const HWND window = CreateWindowExW(0, TEXT("probe"), TEXT("probe"), kPopup, 0, 0, 240, 320,
                                        nullptr, nullptr, instance, nullptr);
    Line("CreateWindowExW = %s", window != nullptr ? "window" : "null");
    Line("ShowWindow = %d", ShowWindow(window, SW_SHOW));
    Line("UpdateWindow = %d", UpdateWindow(window));
    return window;
}

// Input, posted messages and a quit request all waiting at once: the order
// GetMessageW hands them out in, before the quit and after it.
void ObserveQueueOrder(HWND window) {
    Line("-- queue: key pressed, posted 1, quit 5, posted 2");
    DriverPressKey('A');
    Line("PostMessageW = %d", PostMessageW(window, kProbeMessage, 1, 0));
    PostQuitMessage(5);
    Line("PostMessageW = %d", PostMessageW(window, kProbeMessage, 2, 0));
    char order[256] = "";
    Pump(WM_QUIT, 5, order, sizeof order);
    Line("taken up to the quit:%s", order);
    // Whatever is left comes out after the quit; a last key marks the end.
    DriverPressKey('Z');
    order[0] = 0;
    Pump(WM_KEYUP, 'Z', order, sizeof order);
    Line("taken after it, up to a last key:%s", order);
}

// Keys: their messages' bits, what TranslateMessage answers and the
// characters it posts.
void ObserveKeys() {
    Line("-- keys");
    DriverPressKey(VK_LEFT);
    DriverPressKey('A');
    Pump(WM_KEYUP, 'A');
}

void ObserveStylus(HWND window) {
    Line("-- stylus tap");
    DriverTap(window, 10, 20);
    Pump(WM_LBUTTONUP, 0);
}

void ObserveClose(HWND window) {
    Line("-- WM_CLOSE through DefWindowProcW, a message posted behind it");
    gQuitOnDestroy = 3 + 1;
    Line("PostMessageW = %d", PostMessageW(window, WM_CLOSE, 0, 0));
    Line("PostMessageW = %d", PostMessageW(window, kProbeMessage, 7, 0));
    Pump(WM_QUIT, 3);
    Line("PostMessageW(destroyed) = %d", PostMessageW(window, kProbeMessage, 8, 0));
    Line("DestroyWindow(destroyed) = %d", DestroyWindow(window));
}

void ObserveThreads() {
    Line("-- threads");
    DWORD id = 0;
    const HANDLE sleeper = CreateThread(nullptr, 0, SleepForever, nullptr, 0, &id);
    Line("CreateThread = %s", sleeper != nullptr ? "handle" : "null");
    Sleep(20);
    DWORD code = 0;
    BOOL ok = GetExitCodeThread(sleeper, &code);
    Line("GetExitCodeThread(running) = %d, code %u", ok, static_cast<unsigned>(code));
    Line("TerminateThread(running, %u) = %d", static_cast<unsigned>(kTerminateCode),
         TerminateThread(sleeper, kTerminateCode));
    ok = GetExitCodeThread(sleeper, &code);
    Line("GetExitCodeThread(terminated) = %d, code %u", ok, static_cast<unsigned>(code));

    const HANDLE returner = CreateThread(nullptr, 0, ReturnAtOnce, nullptr, 0, &id);
    code = STILL_ACTIVE;
    for (int i = 0; i < 500 && code == STILL_ACTIVE; ++i) {
        Sleep(10);
        GetExitCodeThread(returner, &code);
    }
    Line("GetExitCodeThread(returned) = code %u", static_cast<unsigned>(code));
    Line("TerminateThread(returned, 99) = %d", TerminateThread(returner, 99));
    ok = GetExitCodeThread(returner, &code);
    Line("GetExitCodeThread(returned, then terminated) = %d, code %u", ok,
         static_cast<unsigned>(code));
}

void ObserveSleep() {
    Line("-- Sleep");
    for (DWORD ms : {1u, 15u, 50u}) {
        const auto start = std::chrono::steady_clock::now();
        Sleep(ms);
        const auto slept = std::chrono::steady_clock::now() - start;
        Line("Sleep(%u) returned early = %d", static_cast<unsigned>(ms),
             slept < std::chrono::milliseconds(ms) ? 1 : 0);
    }
}

void ObserveMessageBox() {
    Line("-- MessageBoxW");
    DriverAnswerNextMessageBox(IDOK);
    Line("MessageBoxW(MB_OK, answered OK) = %d",
         MessageBoxW(nullptr, TEXT("probe"), TEXT("probe box"), MB_OK));
}

}  // namespace

int RunProbe(HINSTANCE instance) {
    Line("probe start");
    ObserveResources(instance);
    const HWND window = ObserveWindowCreation(instance);
    ObserveQueueOrder(window);
    ObserveKeys();
    ObserveStylus(window);
    ObserveClose(window);
    ObserveThreads();
    ObserveSleep();
    ObserveMessageBox();
    Line("probe end");
    return 0;
}
