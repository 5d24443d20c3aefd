#pragma once
// The handheld's core library, as far as this project uses it: window classes
// and windows, the message queue, threads, interlocked values, sleeping and
// the message box.
// Names, values and signatures are the platform's; on the device its own
// header takes this one's place.

#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK
#define TEXT(quote) u##quote

typedef int BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint16_t ATOM;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef uintptr_t UINT_PTR;
typedef uintptr_t ULONG_PTR;
typedef intptr_t LONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef char16_t WCHAR;  // text handed to the platform is UTF-16
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef void* LPVOID;
typedef DWORD* LPDWORD;

typedef void* HANDLE;
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef struct HICON__* HICON;
typedef HICON HCURSOR;
typedef struct HBRUSH__* HBRUSH;
typedef struct HMENU__* HMENU;
typedef void* HGDIOBJ;

#define TRUE 1
#define FALSE 0

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT;

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *LPMSG;

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagWNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
} WNDCLASSW;

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(LPVOID);

#define MAKEINTRESOURCEW(i) (reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define IS_INTRESOURCE(r) ((reinterpret_cast<ULONG_PTR>(r) >> 16) == 0)
#define LOWORD(l) (static_cast<WORD>(static_cast<ULONG_PTR>(l) & 0xFFFF))
#define HIWORD(l) (static_cast<WORD>((static_cast<ULONG_PTR>(l) >> 16) & 0xFFFF))
#define MAKELPARAM(l, h)                                             \
    (static_cast<LPARAM>(static_cast<DWORD>((static_cast<WORD>(l)) | \
                                            (static_cast<DWORD>(static_cast<WORD>(h)) << 16))))

// Messages
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define MK_LBUTTON 0x0001

// Virtual keys (letters and digits are their upper-case ASCII codes)
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28

// Window styles and placement
#define WS_CAPTION 0x00C00000L
#define WS_SYSMENU 0x00080000L
#define CW_USEDEFAULT (static_cast<int>(0x80000000))
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOW 5

// Stock objects
#define WHITE_BRUSH 0
#define BLACK_BRUSH 4

// Message boxes
#define MB_OK 0x00000000L
#define IDOK 1
#define IDCANCEL 2

// Threads
#define STILL_ACTIVE 259

// Sounds
#define SND_ASYNC 0x0001

extern "C" {
ATOM WINAPI RegisterClassW(const WNDCLASSW* windowClass);
HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name);
HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name);
HGDIOBJ WINAPI GetStockObject(int object);
HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param);
BOOL WINAPI ShowWindow(HWND window, int showCommand);
BOOL WINAPI UpdateWindow(HWND window);
BOOL WINAPI DestroyWindow(HWND window);
BOOL WINAPI GetMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax);
BOOL WINAPI TranslateMessage(const MSG* message);
LRESULT WINAPI DispatchMessageW(const MSG* message);
LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void WINAPI PostQuitMessage(int exitCode);
void WINAPI Sleep(DWORD milliseconds);
HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES attributes, DWORD stackSize,
                           LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                           LPDWORD threadId);
BOOL WINAPI GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
BOOL WINAPI TerminateThread(HANDLE thread, DWORD exitCode);
int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
BOOL WINAPI PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags);

// Interlocked access to a 32-bit value shared between threads: each call is
// one indivisible read-modify-write that orders the memory accesses around
// it. Exchange and compare-exchange return the value before the call,
// increment and decrement the value after it.
LONG WINAPI InterlockedExchange(LONG volatile* target, LONG value);
LONG WINAPI InterlockedCompareExchange(LONG volatile* destination, LONG exchange, LONG comparand);
LONG WINAPI InterlockedIncrement(LONG volatile* addend);
LONG WINAPI InterlockedDecrement(LONG volatile* addend);
}

// The program's entry point, called by the platform's start-up code.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine,
                   int showCommand);
