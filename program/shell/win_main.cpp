#include <windows.h>

#include "display/display_access.h"
#include "shell/shell.h"

namespace {
constexpr DWORD kRenderStackBytes = 4096;
// Every message waits this long before it is handled.
constexpr DWORD kMessageDelayMs = 40;
// Exit code for a start-up failure; a normal stop returns the quit code.
constexpr int kStartupFailed = 1;
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previousInstance*/, LPWSTR /*commandLine*/,
                   int showCommand) {
    if (!OpenDisplay()) {
        MessageBoxW(nullptr, TEXT("GXOpenDisplay failed"), TEXT(""), MB_OK);
        return kStartupFailed;
    }
    if (!CreateMainWindow(showCommand, instance)) {
        return kStartupFailed;
    }
    gRenderThread =
        CreateThread(nullptr, kRenderStackBytes, RenderThreadProc, nullptr, 0, &gRenderThreadId);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        Sleep(kMessageDelayMs);
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // Leave no sound of ours playing.
    PlaySoundW(nullptr, instance, 0);
    return static_cast<int>(message.wParam);
}
