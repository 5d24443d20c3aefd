// Window classes and windows.

#include <windows.h>

#include <new>
#include <string>

#include "platform/device.h"
#include "platform/src/display.h"
#include "platform/src/host.h"
#include "platform/src/memory_shortage.h"
#include "platform/src/message_queue.h"
#include "platform/src/resources.h"
#include "platform/src/termination.h"
#include "platform/src/thread_record.h"
#include "platform/src/trace.h"
#include "platform/src/window_system.h"

namespace {

using platform::Hex;
using platform::Quoted;
using platform::TraceLine;
using platform::Window;
using platform::WindowSystem;

constexpr ATOM kFirstAtom = 0xC000;

// What WM_CREATE's lParam points to, laid out as the platform's CREATESTRUCTW.
struct CreateStruct {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
};

// Class names compare without regard to case, as on the platform.
bool SameName(const std::u16string& a, LPCWSTR b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != 0; ++i) {
        const auto lower = [](char16_t c) {
            return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return i == a.size() && b[i] == 0;
}

const platform::WindowClass* FindClass(const WindowSystem& ws, LPCWSTR name) {
    for (const platform::WindowClass& c : ws.classes) {
        if (IS_INTRESOURCE(name) ? c.atom == reinterpret_cast<uintptr_t>(name)
                                 : SameName(c.name, name)) {
            return &c;
        }
    }
    return nullptr;
}

std::string Coordinate(int value) {
    return value == CW_USEDEFAULT ? "0x80000000" : std::to_string(value);
}

LRESULT Send(HWND window, WNDPROC procedure, UINT message, WPARAM wParam, LPARAM lParam,
             const char* lParamText = nullptr) {
    const LRESULT result = platform::CallProcedure(procedure, window, message, wParam, lParam);
    std::string text = platform::DescribeMessage(window, message, wParam, lParam);
    if (lParamText != nullptr) {
        text = platform::MessageName(message) + "(hwnd=" + Hex(window) + ", wParam=" + Hex(wParam) +
               ", lParam=" + lParamText + ")";
    }
    TraceLine("send %s = %ld", text.c_str(), static_cast<long>(result));
    return result;
}

// WM_DESTROY straight to the procedure, then the window is gone. No
// WM_NCDESTROY, and messages already queued for it stay in the queue: the
// handheld's DestroyWindow neither sends the one nor flushes the other.
BOOL Destroy(HWND handle) {
    WindowSystem& ws = platform::Windows();
    WNDPROC procedure = nullptr;
    {
        const std::lock_guard<std::mutex> lock(ws.mutex);
        Window* window = platform::LiveWindow(ws, handle);
        if (window == nullptr || window->destroying || window->owner != platform::CurrentThread()) {
            return FALSE;
        }
        window->destroying = true;
        procedure = window->procedure;
    }
    Send(handle, procedure, WM_DESTROY, 0, 0);
    bool mainWindowGone = false;
    {
        const std::lock_guard<std::mutex> lock(ws.mutex);
        Window* window = platform::LiveWindow(ws, handle);
        window->alive = false;
        window->visible = false;
        if (handle == ws.mainWindow) {
            ws.mainWindowAlive = false;
            ws.stylusDown = false;
            mainWindowGone = true;
        }
    }
    if (mainWindowGone) {
        platform::WakeHost();
    }
    return TRUE;
}

}  // namespace

extern "C" {

ATOM WINAPI RegisterClassW(const WNDCLASSW* windowClass) try {
    const platform::TerminationDeferred deferred;
    WindowSystem& ws = platform::Windows();
    ATOM atom = 0;
    if (windowClass != nullptr && windowClass->lpfnWndProc != nullptr &&
        windowClass->lpszClassName != nullptr && !IS_INTRESOURCE(windowClass->lpszClassName)) {
        const std::lock_guard<std::mutex> lock(ws.mutex);
        if (FindClass(ws, windowClass->lpszClassName) == nullptr) {
            atom = static_cast<ATOM>(kFirstAtom + ws.classes.size());
            ws.classes.push_back(
                {windowClass->lpszClassName, atom, windowClass->lpfnWndProc, windowClass->hIcon});
        }
    }
    if (windowClass == nullptr) {
        TraceLine("RegisterClassW(0) = 0");
    } else {
        TraceLine(
            "RegisterClassW(class=%s, style=%s, icon=%s, cursor=%s, background=%s, "
            "instance=%s) = %s",
            Quoted(windowClass->lpszClassName).c_str(), Hex(windowClass->style).c_str(),
            Hex(windowClass->hIcon).c_str(), Hex(windowClass->hCursor).c_str(),
            Hex(windowClass->hbrBackground).c_str(), Hex(windowClass->hInstance).c_str(),
            Hex(atom).c_str());
    }
    return atom;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("RegisterClassW");
}

HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) try {
    const platform::TerminationDeferred deferred;
    WindowSystem& ws = platform::Windows();
    HWND handle = nullptr;
    WNDPROC procedure = nullptr;
    {
        const std::lock_guard<std::mutex> lock(ws.mutex);
        const platform::WindowClass* windowClass = FindClass(ws, className);
        if (windowClass != nullptr) {
            Window window{};
            window.owner = platform::CurrentThread();
            window.procedure = procedure = windowClass->procedure;
            window.classIcon = windowClass->icon;
            window.exStyle = exStyle;
            window.style = style;
            window.title = windowName != nullptr ? windowName : u"";
            // Default placement: the top-left corner, the whole screen.
            window.x = x == CW_USEDEFAULT ? 0 : x;
            window.y = x == CW_USEDEFAULT || y == CW_USEDEFAULT ? 0 : y;
            window.width = width == CW_USEDEFAULT ? platform::DisplayWidth() : width;
            window.height = width == CW_USEDEFAULT || height == CW_USEDEFAULT
                                ? platform::DisplayHeight()
                                : height;
            window.parent = parent;
            ws.windows.push_back(window);
            handle = reinterpret_cast<HWND>(static_cast<uintptr_t>(ws.windows.size()));
        }
    }
    if (handle != nullptr) {
        CreateStruct create{
            param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
            windowName, className, exStyle};
        if (Send(handle, procedure, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create),
                 "&CREATESTRUCT") == -1) {
            Destroy(handle);
        }
        bool becameMain = false;
        {
            const std::lock_guard<std::mutex> lock(ws.mutex);
            Window* window = platform::LiveWindow(ws, handle);
            if (window == nullptr) {
                handle = nullptr;
            } else if (parent == nullptr && ws.mainWindow == nullptr) {
                ws.mainWindow = handle;
                ws.mainWindowAlive = true;
                ws.mainTitle = window->title;
                ws.mainIcon = window->classIcon;
                becameMain = true;
            }
        }
        if (becameMain) {
            platform::WakeHost();
        }
    }
    TraceLine(
        "CreateWindowExW(ex=%s, class=%s, title=%s, style=%s, x=%s, y=%s, w=%s, h=%s, "
        "parent=%s, menu=%s, instance=%s, param=%s) = %s",
        Hex(exStyle).c_str(), Quoted(className).c_str(), Quoted(windowName).c_str(),
        Hex(style).c_str(), Coordinate(x).c_str(), Coordinate(y).c_str(), Coordinate(width).c_str(),
        Coordinate(height).c_str(), Hex(parent).c_str(), Hex(menu).c_str(), Hex(instance).c_str(),
        Hex(param).c_str(), Hex(handle).c_str());
    return handle;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("CreateWindowExW");
}

BOOL WINAPI ShowWindow(HWND window, int showCommand) try {
    const platform::TerminationDeferred deferred;
    WindowSystem& ws = platform::Windows();
    BOOL wasVisible = FALSE;
    {
        const std::lock_guard<std::mutex> lock(ws.mutex);
        if (Window* w = platform::LiveWindow(ws, window)) {
            wasVisible = w->visible ? TRUE : FALSE;
            w->visible = showCommand != SW_HIDE;
        }
    }
    TraceLine("ShowWindow(hwnd=%s, show=%d) = %d", Hex(window).c_str(), showCommand, wasVisible);
    return wasVisible;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("ShowWindow");
}

BOOL WINAPI UpdateWindow(HWND window) try {
    const platform::TerminationDeferred deferred;
    WindowSystem& ws = platform::Windows();
    WNDPROC procedure = nullptr;
    {
        const std::lock_guard<std::mutex> lock(ws.mutex);
        if (Window* w = platform::LiveWindow(ws, window)) {
            procedure = w->procedure;
        }
    }
    if (procedure != nullptr) {
        Send(window, procedure, WM_PAINT, 0, 0);
    }
    const BOOL result = procedure != nullptr ? TRUE : FALSE;
    TraceLine("UpdateWindow(hwnd=%s) = %d", Hex(window).c_str(), result);
    return result;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("UpdateWindow");
}

BOOL WINAPI DestroyWindow(HWND window) try {
    const platform::TerminationDeferred deferred;
    const BOOL result = Destroy(window);
    TraceLine("DestroyWindow(hwnd=%s) = %d", Hex(window).c_str(), result);
    return result;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("DestroyWindow");
}

LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) try {
    const platform::TerminationDeferred deferred;
    if (message == WM_CLOSE) {
        DestroyWindow(window);
    }
    TraceLine("DefWindowProcW(%s) = 0",
              platform::DescribeMessage(window, message, wParam, lParam).c_str());
    return 0;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("DefWindowProcW");
}

}  // extern "C"

namespace device {

std::u16string MainWindowTitle() {
    WindowSystem& ws = platform::Windows();
    const platform::TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(ws.mutex);
    return ws.mainTitle;
}

const Resource* ProgramIcon() {
    WindowSystem& ws = platform::Windows();
    const platform::TerminationDeferred deferred;
    HICON classIcon = nullptr;
    {
        const std::lock_guard<std::mutex> lock(ws.mutex);
        classIcon = ws.mainIcon;
    }
    if (const Resource* icon = platform::IconGroupOf(classIcon)) {
        return icon;
    }
    return platform::ExecutableIcon();
}

bool MainWindowExists() {
    WindowSystem& ws = platform::Windows();
    const platform::TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(ws.mutex);
    return ws.mainWindowAlive;
}

}  // namespace device
